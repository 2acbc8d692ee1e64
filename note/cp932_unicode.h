// Code page 932 and Unicode: the one mapping every build uses.
//
// The characters of code page 932 are those Windows gives it: ASCII
// (0x00-0x7F, with 0x5C the backslash and 0x7E the tilde), the half-width
// katakana 0xA1-0xDF (U+FF61-U+FF9F), the JIS X 0208 characters, NEC row 13
// (lead byte 0x87), the NEC-selected IBM extensions (0xED40-0xEEFC), the IBM
// extensions (0xFA40-0xFC4B) and the user-defined area 0xF040-0xF9FC
// (U+E000-U+E757). The single bytes 0x80, 0xA0 and 0xFD-0xFF are no
// characters here: note text never holds them.
//
// Decoding is a function of the code. Some characters have more than one
// code; encoding picks the one Windows picks: a JIS X 0208 code before a NEC
// row 13 code (∵ U+2235 is 0x81E6, not 0x879A or 0xFA5B), NEC row 13 before
// the IBM extensions (Ⅰ U+2160 is 0x8754, not 0xFA4A), and the IBM extensions
// before the NEC-selected IBM extensions (ⅰ U+2170 is 0xFA40, not 0xEEEF;
// 纊 U+7E8A is 0xFA5C, not 0xED40). Characters without a code (¥ U+00A5,
// 〜 U+301C, − U+2212, ...) have none: no near-enough character is chosen.
#pragma once

#include <cstdint>

namespace notora::cp932 {

// A code: a single byte 0x00-0x7F or 0xA1-0xDF, or a two-byte character with
// its lead byte in the high byte (0x8ABF is 漢).

// The Unicode character of `code`, or -1 when the code is no character.
std::int32_t ToUnicode(std::uint16_t code);

// The code of Unicode character `character` that Windows picks, or -1 when
// code page 932 has none.
std::int32_t FromUnicode(std::int32_t character);

}  // namespace notora::cp932
