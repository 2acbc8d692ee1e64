// Note text as a person reads it: the TEXT of a General Note string decoded
// from code page 932 to Unicode, for every front end that shows notes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "iges/record_format.h"

namespace notora {

// The TEXT of a string with font code `FC`, as UTF-8. Shift-JIS text is
// decoded as code page 932, vendor extensions included; with FC
// kJisCodeFont (2001) every four hexadecimal digits are a JIS X 0208 code,
// taken to its Shift-JIS character and decoded the same way. A character
// with no Unicode counterpart, a group of digits that is no JIS X 0208 code
// and a lone lead byte each become U+FFFD.
std::string DecodeNoteText(std::string_view text, std::int32_t FC);

}  // namespace notora
