// Tests on single bytes of the source: decimal and hexadecimal digits, and
// the classes code page 932 (Shift-JIS) gives a byte, the trail byte of a
// two-byte character among them. Every layer reads bytes with these; none
// writes a test of its own.
#pragma once

namespace notora {

// '0' to '9'.
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a hexadecimal digit ('0'-'9', 'A'-'F', 'a'-'f'), or -1.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

constexpr bool IsHexDigit(char c) { return HexDigitValue(c) >= 0; }

namespace cp932 {

// The first byte of a two-byte character: 0x81-0x9F or 0xE0-0xFC.
constexpr bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The second byte of a two-byte character: 0x40-0x7E or 0x80-0xFC.
constexpr bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// A half-width katakana or katakana punctuation character: 0xA1-0xDF.
constexpr bool IsHalfWidthKatakana(unsigned char byte) { return byte >= 0xA1 && byte <= 0xDF; }

// A printable single-byte character: 0x20-0x7E.
constexpr bool IsPrintable(unsigned char byte) { return byte >= 0x20 && byte <= 0x7E; }

// A byte that marks Japanese text: a lead byte or a half-width katakana.
constexpr bool IsJapaneseByte(unsigned char byte) {
  return IsLeadByte(byte) || IsHalfWidthKatakana(byte);
}

}  // namespace cp932
}  // namespace notora
