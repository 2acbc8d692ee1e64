// Note text as a person reads it: the TEXT of a General Note string decoded
// to Unicode, for every front end that shows notes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "iges/record_format.h"
#include "base/run_options.h"

namespace notora {

// The TEXT of a string with font code `FC`, as UTF-8. Text is read in
// `encoding`, Shift-JIS as code page 932 with its vendor extensions
// (cp932_unicode.h); with FC kJisCodeFont (2001) every four hexadecimal
// digits are a JIS X 0208 code, taken to its Shift-JIS character and decoded
// the same way. A character with no Unicode counterpart, a group of digits
// that is no JIS X 0208 code and an invalid byte sequence (a lone lead byte,
// say) each become U+FFFD. `*valid`, when not null, is set to false when the
// text held an invalid byte sequence.
std::string DecodeNoteText(std::string_view text, std::int32_t FC,
                           TextEncoding encoding = TextEncoding::kShiftJis,
                           bool* valid = nullptr);

}  // namespace notora
