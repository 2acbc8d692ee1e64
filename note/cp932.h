// Code page 932 (Shift-JIS) byte classes and character codes.
//
// notora works on the bytes of Shift-JIS text as they stand in the file. These
// helpers classify the byte that starts a character of note text (the byte
// classes themselves are in base/byte_classes.h), convert between two-byte
// Shift-JIS codes and JIS X 0208 codes by their arithmetic relation, widen
// half-width katakana to their full-width characters and count the
// characters of a string. They hold no state and never allocate.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/byte_classes.h"

namespace notora::cp932 {

// The class of a byte that starts a character of note text.
enum class CharClass : int {
  kPlain = 0,      // printable single byte, 0x20-0x7E
  kHalfWidth = 1,  // half-width katakana or punctuation, 0xA1-0xDF
  kDoubleByte = 2, // lead byte of a two-byte character
  kRefused = -1,   // anything else: not accepted in note text
};

constexpr CharClass ClassifyByte(unsigned char byte) {
  if (IsLeadByte(byte)) return CharClass::kDoubleByte;
  if (IsHalfWidthKatakana(byte)) return CharClass::kHalfWidth;
  if (IsPrintable(byte)) return CharClass::kPlain;
  return CharClass::kRefused;
}

// The JIS X 0208 code of the two-byte Shift-JIS character `code` (lead byte
// in the high byte), or 0 when it has none: the lead byte must be 0x81-0x9F
// or 0xE0-0xEF and the trail byte 0x40-0x7E or 0x80-0xFC.
std::uint16_t ShiftJisToJis(std::uint16_t code);

// The two-byte Shift-JIS code of the JIS X 0208 code `code`, or 0 unless both
// of its bytes lie in 0x21-0x7E.
std::uint16_t JisToShiftJis(std::uint16_t code);

// The code that four hexadecimal digits of JIS-code notation write ("3441"
// gives 0x3441, either case), or 0 when `digits` are not four hex digits.
std::uint16_t ReadJisCode(std::string_view digits);

// The full-width two-byte character of a half-width byte 0xA1-0xDF (0xB1
// gives 0x8341, 0xA4 gives 0x8141); 0 for any other byte. Each byte widens on
// its own: a voiced-sound mark stays a character of its own.
std::uint16_t WidenHalfWidth(unsigned char byte);

// The number of characters of `text`: a lead byte and the byte after it count
// once (a lead byte in the last position counts once on its own).
std::int64_t CountCharacters(std::string_view text);

}  // namespace notora::cp932
