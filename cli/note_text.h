// Note text as a person reads it: the TEXT of a General Note string decoded
// to Unicode, and the room UTF-8 text takes on a terminal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "iges/record_format.h"

namespace notora {

// The TEXT of a string with font code `FC`, as UTF-8. Shift-JIS text is
// decoded as code page 932, vendor extensions included; with FC 2001 every
// four hexadecimal digits are a JIS X 0208 code, taken to its Shift-JIS
// character and decoded the same way. A character with no Unicode
// counterpart, a group of digits that is no JIS X 0208 code and a lone lead
// byte each become U+FFFD.
std::string DecodeNoteText(std::string_view text, std::int32_t FC);

// The columns a terminal gives to `utf8`: two for East Asian Wide and
// Fullwidth characters, one for every other character (East Asian Ambiguous
// ones included, as most terminals show them) and for every byte that is not
// part of a valid UTF-8 sequence.
int DisplayWidth(std::string_view utf8);

// `text` with every byte that is not part of a valid UTF-8 sequence replaced
// by U+FFFD, so that it can be written where UTF-8 is required.
std::string ToValidUtf8(std::string_view text);

// The number of characters (code points) of valid UTF-8 `utf8`.
std::size_t CountCodePoints(std::string_view utf8);

}  // namespace notora
