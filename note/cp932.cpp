#include "note/cp932.h"

namespace notora::cp932 {
namespace {

// Full-width characters of the half-width bytes 0xA1-0xDF, in byte order.
constexpr std::uint16_t kWideOfHalfWidth[0xDF - 0xA1 + 1] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145,                  // A1-A5: 。「」、・
    0x8392,                                                  // A6: ヲ
    0x8340, 0x8342, 0x8344, 0x8346, 0x8348,                  // A7-AB: ァィゥェォ
    0x8383, 0x8385, 0x8387,                                  // AC-AE: ャュョ
    0x8362,                                                  // AF: ッ
    0x815B,                                                  // B0: ー
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349,                  // B1-B5: アイウエオ
    0x834A, 0x834C, 0x834E, 0x8350, 0x8352,                  // B6-BA: カキクケコ
    0x8354, 0x8356, 0x8358, 0x835A, 0x835C,                  // BB-BF: サシスセソ
    0x835E, 0x8360, 0x8363, 0x8365, 0x8367,                  // C0-C4: タチツテト
    0x8369, 0x836A, 0x836B, 0x836C, 0x836D,                  // C5-C9: ナニヌネノ
    0x836E, 0x8371, 0x8374, 0x8377, 0x837A,                  // CA-CE: ハヒフヘホ
    0x837D, 0x837E, 0x8380, 0x8381, 0x8382,                  // CF-D3: マミムメモ
    0x8384, 0x8386, 0x8388,                                  // D4-D6: ヤユヨ
    0x8389, 0x838A, 0x838B, 0x838C, 0x838D,                  // D7-DB: ラリルレロ
    0x838F, 0x8393,                                          // DC-DD: ワン
    0x814A, 0x814B,                                          // DE-DF: ゛゜
};

constexpr bool InJisRange(unsigned byte) { return byte >= 0x21 && byte <= 0x7E; }

}  // namespace

std::uint16_t ShiftJisToJis(std::uint16_t code) {
  unsigned lead = code >> 8;
  unsigned trail = code & 0xFF;
  if (!((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF))) return 0;
  if (!IsTrailByte(static_cast<unsigned char>(trail))) return 0;
  // Each lead byte covers two JIS rows: trail bytes below 0x9F the odd row,
  // the others the even row.
  unsigned row = (lead - (lead <= 0x9F ? 0x70 : 0xB0)) * 2;
  unsigned cell;
  if (trail < 0x9F) {
    row -= 1;
    cell = trail - (trail < 0x7F ? 0x1F : 0x20);
  } else {
    cell = trail - 0x7E;
  }
  if (!InJisRange(row) || !InJisRange(cell)) return 0;
  return static_cast<std::uint16_t>(row << 8 | cell);
}

std::uint16_t JisToShiftJis(std::uint16_t code) {
  unsigned row = code >> 8;
  unsigned cell = code & 0xFF;
  if (!InJisRange(row) || !InJisRange(cell)) return 0;
  unsigned trail;
  if (row & 1) {
    trail = cell + (cell < 0x60 ? 0x1F : 0x20);  // skips the trail byte 0x7F
  } else {
    trail = cell + 0x7E;
  }
  unsigned lead = ((row + 1) >> 1) + (row < 0x5F ? 0x70 : 0xB0);
  return static_cast<std::uint16_t>(lead << 8 | trail);
}

std::uint16_t ReadJisCode(std::string_view digits) {
  if (digits.size() != 4) return 0;
  unsigned code = 0;
  for (char c : digits) {
    const int value = HexDigitValue(c);
    if (value < 0) return 0;
    code = code << 4 | static_cast<unsigned>(value);
  }
  return static_cast<std::uint16_t>(code);
}

std::uint16_t WidenHalfWidth(unsigned char byte) {
  if (!IsHalfWidthKatakana(byte)) return 0;
  return kWideOfHalfWidth[byte - 0xA1];
}

std::int64_t CountCharacters(std::string_view text) {
  std::int64_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i]))) ++i;
    ++count;
  }
  return count;
}

}  // namespace notora::cp932
