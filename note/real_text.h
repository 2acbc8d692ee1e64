// The text of a real field of a rebuilt General Note.
//
// A value is written with at most 15 significant digits in the shortest form
// ("%.15g") when that text reads back as exactly the value; otherwise with 15
// digits after the point, in exponent form for magnitudes below 0.001 or
// from 1000 on, in fixed form between. Exponents carry a sign and at least
// three digits (1e+020). An infinite value is written as the largest finite
// double of its sign and a NaN as 0, so no file ever receives "inf" or "nan".
#pragma once

#include <cstddef>

namespace notora {

// The room FormatRealText needs: the longest text takes 23 bytes
// ("-1.797693134862316e+308").
inline constexpr std::size_t kRealTextRoom = 32;

// Writes the text of `value` at `out` (kRealTextRoom bytes, of which those
// after the text may be overwritten); returns its length.
std::size_t FormatRealText(double value, char* out);

}  // namespace notora
