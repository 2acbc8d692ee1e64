#include "note/cp932.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace notora::cp932 {
namespace {

TEST(Cp932Test, ClassifiesBytesAtTheirBoundaries) {
  EXPECT_EQ(ClassifyByte(0x1F), CharClass::kRefused);
  EXPECT_EQ(ClassifyByte(0x20), CharClass::kPlain);
  EXPECT_EQ(ClassifyByte(0x7E), CharClass::kPlain);
  EXPECT_EQ(ClassifyByte(0x7F), CharClass::kRefused);
  EXPECT_EQ(ClassifyByte(0x80), CharClass::kRefused);
  EXPECT_EQ(ClassifyByte(0x81), CharClass::kDoubleByte);
  EXPECT_EQ(ClassifyByte(0x9F), CharClass::kDoubleByte);
  EXPECT_EQ(ClassifyByte(0xA0), CharClass::kRefused);
  EXPECT_EQ(ClassifyByte(0xA1), CharClass::kHalfWidth);
  EXPECT_EQ(ClassifyByte(0xDF), CharClass::kHalfWidth);
  EXPECT_EQ(ClassifyByte(0xE0), CharClass::kDoubleByte);
  EXPECT_EQ(ClassifyByte(0xFC), CharClass::kDoubleByte);
  EXPECT_EQ(ClassifyByte(0xFD), CharClass::kRefused);
  EXPECT_TRUE(IsJapaneseByte(0xB1));
  EXPECT_TRUE(IsJapaneseByte(0xFC));
  EXPECT_FALSE(IsJapaneseByte(0xA0));
  EXPECT_FALSE(IsJapaneseByte('A'));
}

TEST(Cp932Test, ConvertsKnownCharactersBothWays) {
  struct Pair {
    std::uint16_t shiftJis, jis;
  };
  for (Pair pair : {Pair{0x8ABF, 0x3441},    // 漢
                    Pair{0x8E9A, 0x3B7A},    // 字
                    Pair{0x8341, 0x2522},    // ア
                    Pair{0x8140, 0x2121},    // ideographic space
                    Pair{0x889F, 0x3021},    // 亜, first kanji
                    Pair{0xEAA4, 0x7426},    // last JIS X 0208 kanji
                    Pair{0xEFFC, 0x7E7E}}) { // last code of the arithmetic range
    EXPECT_EQ(ShiftJisToJis(pair.shiftJis), pair.jis) << std::hex << pair.shiftJis;
    EXPECT_EQ(JisToShiftJis(pair.jis), pair.shiftJis) << std::hex << pair.jis;
  }
}

TEST(Cp932Test, RefusesCodesOutsideTheRelation) {
  EXPECT_EQ(ShiftJisToJis(0xF040), 0);  // user-defined area
  EXPECT_EQ(ShiftJisToJis(0xFA57), 0);  // extension outside JIS X 0208
  EXPECT_EQ(ShiftJisToJis(0x8A3F), 0);  // trail byte below 0x40
  EXPECT_EQ(ShiftJisToJis(0x8A7F), 0);
  EXPECT_EQ(ShiftJisToJis(0x8AFD), 0);
  EXPECT_EQ(ShiftJisToJis(0xA0A0), 0);
  EXPECT_EQ(ShiftJisToJis(0x0041), 0);
  EXPECT_EQ(JisToShiftJis(0x2020), 0);
  EXPECT_EQ(JisToShiftJis(0x217F), 0);
  EXPECT_EQ(JisToShiftJis(0x7F21), 0);
  EXPECT_EQ(JisToShiftJis(0xFFFF), 0);
}

TEST(Cp932Test, EveryJisCodeRoundTrips) {
  for (unsigned row = 0x21; row <= 0x7E; ++row) {
    for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
      const auto jis = static_cast<std::uint16_t>(row << 8 | cell);
      const std::uint16_t shiftJis = JisToShiftJis(jis);
      ASSERT_TRUE(IsLeadByte(shiftJis >> 8)) << std::hex << jis;
      ASSERT_EQ(ShiftJisToJis(shiftJis), jis) << std::hex << jis;
    }
  }
  // And every two-byte code that has a JIS code maps back onto itself.
  int codes = 0;
  for (unsigned code = 0x8100; code <= 0xFCFF; ++code) {
    const std::uint16_t jis = ShiftJisToJis(static_cast<std::uint16_t>(code));
    if (jis == 0) continue;
    ++codes;
    ASSERT_EQ(JisToShiftJis(jis), code) << std::hex << code;
  }
  EXPECT_EQ(codes, 94 * 94);
}

TEST(Cp932Test, WidensEveryHalfWidthByteToItsFullWidthCharacter) {
  // JIS codes of the full-width characters of 0xA1-0xDF, in byte order.
  const std::vector<std::uint16_t> expected = {
      0x2123, 0x2156, 0x2157, 0x2122, 0x2126,          // 。「」、・
      0x2572,                                          // ヲ
      0x2521, 0x2523, 0x2525, 0x2527, 0x2529,          // ァィゥェォ
      0x2563, 0x2565, 0x2567, 0x2543,                  // ャュョッ
      0x213C,                                          // ー
      0x2522, 0x2524, 0x2526, 0x2528, 0x252A,          // アイウエオ
      0x252B, 0x252D, 0x252F, 0x2531, 0x2533,          // カキクケコ
      0x2535, 0x2537, 0x2539, 0x253B, 0x253D,          // サシスセソ
      0x253F, 0x2541, 0x2544, 0x2546, 0x2548,          // タチツテト
      0x254A, 0x254B, 0x254C, 0x254D, 0x254E,          // ナニヌネノ
      0x254F, 0x2552, 0x2555, 0x2558, 0x255B,          // ハヒフヘホ
      0x255E, 0x255F, 0x2560, 0x2561, 0x2562,          // マミムメモ
      0x2564, 0x2566, 0x2568,                          // ヤユヨ
      0x2569, 0x256A, 0x256B, 0x256C, 0x256D,          // ラリルレロ
      0x256F, 0x2573,                                  // ワン
      0x212B, 0x212C};                                 // ゛゜
  ASSERT_EQ(expected.size(), 0xDFu - 0xA1u + 1);
  for (unsigned byte = 0xA1; byte <= 0xDF; ++byte) {
    EXPECT_EQ(ShiftJisToJis(WidenHalfWidth(static_cast<unsigned char>(byte))),
              expected[byte - 0xA1])
        << std::hex << byte;
  }
  EXPECT_EQ(WidenHalfWidth(0xB1), 0x8341);
  EXPECT_EQ(WidenHalfWidth(0xA4), 0x8141);
  EXPECT_EQ(WidenHalfWidth(0xA0), 0);
  EXPECT_EQ(WidenHalfWidth('A'), 0);
}

TEST(Cp932Test, CountsTwoByteCharactersOnce) {
  EXPECT_EQ(CountCharacters(""), 0);
  EXPECT_EQ(CountCharacters("AB\x8a\xbf\xb1\x8e\x9a"), 5);  // AB漢ｱ字
  EXPECT_EQ(CountCharacters("A\x8a"), 2);  // a lead byte at the end counts on its own
}

}  // namespace
}  // namespace notora::cp932
