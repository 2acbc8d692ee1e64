#include "note/cp932_unicode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

namespace notora::cp932 {
namespace {

// Every code of code page 932 that is a character: single bytes and every
// lead and trail byte pair.
std::vector<std::uint16_t> AllCharacterCodes() {
  std::vector<std::uint16_t> codes;
  for (unsigned code = 0; code <= 0xFCFF; ++code) {
    if (ToUnicode(static_cast<std::uint16_t>(code)) >= 0) {
      codes.push_back(static_cast<std::uint16_t>(code));
    }
  }
  return codes;
}

TEST(Cp932UnicodeTest, DecodesEveryRegionAsWindowsDoes) {
  struct Pair {
    std::uint16_t code;
    std::int32_t unicode;
  };
  for (Pair pair : {Pair{0x41, 0x41}, Pair{0x5C, 0x5C}, Pair{0x7E, 0x7E},  // ASCII kept
                    Pair{0xA1, 0xFF61}, Pair{0xB1, 0xFF71}, Pair{0xDF, 0xFF9F},
                    Pair{0x8140, 0x3000}, Pair{0x8ABF, 0x6F22}, Pair{0x8E9A, 0x5B57},
                    Pair{0x815F, 0xFF3C}, Pair{0x8160, 0xFF5E}, Pair{0x8161, 0x2225},
                    Pair{0x817C, 0xFF0D}, Pair{0x8191, 0xFFE0}, Pair{0x81CA, 0xFFE2},
                    Pair{0xEAA4, 0x7199},                                // last JIS X 0208 kanji
                    Pair{0x8740, 0x2460}, Pair{0x879C, 0x222A},          // NEC row 13
                    Pair{0xED40, 0x7E8A}, Pair{0xEEFC, 0xFF02},          // NEC-selected IBM
                    Pair{0xFA40, 0x2170}, Pair{0xFA5C, 0x7E8A}, Pair{0xFC4B, 0x9ED1},  // IBM
                    Pair{0xF040, 0xE000}, Pair{0xF07E, 0xE03E}, Pair{0xF080, 0xE03F},
                    Pair{0xF9FC, 0xE757}}) {                             // user-defined
    EXPECT_EQ(ToUnicode(pair.code), pair.unicode) << std::hex << pair.code;
  }
}

TEST(Cp932UnicodeTest, CodesThatAreNoCharacter) {
  for (std::uint16_t code : {0x80, 0xA0, 0xFD, 0xFF, 0x8540, 0x86FC, 0x81AD, 0x817F, 0x813F,
                             0x81FD, 0x879D, 0xEB40, 0xEF40, 0xEEED, 0xFC4C, 0xFCFC, 0x8100}) {
    EXPECT_EQ(ToUnicode(code), -1) << std::hex << code;
  }
}

TEST(Cp932UnicodeTest, EncodingPicksTheCodeWindowsPicks) {
  struct Pair {
    std::int32_t unicode;
    std::uint16_t code;
  };
  for (Pair pair : {Pair{0x2235, 0x81E6},   // ∵: JIS before NEC row 13 and IBM
                    Pair{0xFFE2, 0x81CA},   // ¬: JIS before NEC-selected IBM and IBM
                    Pair{0x2252, 0x81E0},   // ≒: JIS before NEC row 13
                    Pair{0x221A, 0x81E3},   // √
                    Pair{0x2160, 0x8754},   // Ⅰ: NEC row 13 before IBM
                    Pair{0x2116, 0x8782},   // №
                    Pair{0x2121, 0x8784},   // ℡
                    Pair{0x3231, 0x878A},   // ㈱
                    Pair{0x2170, 0xFA40},   // ⅰ: IBM before NEC-selected IBM
                    Pair{0x7E8A, 0xFA5C},   // 纊
                    Pair{0xFFE4, 0xFA55},   // ￤
                    Pair{0xFF07, 0xFA56},   // ＇
                    Pair{0xFF02, 0xFA57},   // ＂
                    Pair{0x9ED1, 0xFC4B},   // 黑
                    Pair{0x2460, 0x8740},   // ① only in NEC row 13
                    Pair{0x6F22, 0x8ABF},   // 漢
                    Pair{0xFF71, 0xB1},     // ｱ
                    Pair{0x5C, 0x5C}, Pair{0x7E, 0x7E}, Pair{0, 0},
                    Pair{0xE000, 0xF040}, Pair{0xE03F, 0xF080}, Pair{0xE757, 0xF9FC}}) {
    EXPECT_EQ(FromUnicode(pair.unicode), pair.code) << std::hex << pair.unicode;
  }
}

TEST(Cp932UnicodeTest, CharactersWithoutCodeStayWithout) {
  // No near-enough character is chosen for any of these.
  for (std::int32_t unicode : {0xA5, 0x203E, 0x301C, 0x2212, 0x2016, 0xA2, 0xA3, 0xAC, 0x80,
                               0xA0, 0xF8F0, 0xE758, 0x20AC, 0xFFFD, 0x1F600, 0x10FFFF, -1}) {
    EXPECT_EQ(FromUnicode(unicode), -1) << std::hex << unicode;
  }
}

TEST(Cp932UnicodeTest, EveryCharacterEncodesToACodeOfItself) {
  const std::vector<std::uint16_t> codes = AllCharacterCodes();
  // ASCII, 63 half-width katakana, 7724 two-byte characters of Windows'
  // table and 1880 user-defined ones.
  EXPECT_EQ(codes.size(), 128u + 63u + 7724u + 1880u);
  std::set<std::int32_t> characters;
  int keptCodes = 0;
  for (std::uint16_t code : codes) {
    const std::int32_t unicode = ToUnicode(code);
    characters.insert(unicode);
    const std::int32_t encoded = FromUnicode(unicode);
    ASSERT_GE(encoded, 0) << std::hex << code;
    ASSERT_EQ(ToUnicode(static_cast<std::uint16_t>(encoded)), unicode) << std::hex << code;
    if (encoded == code) ++keptCodes;
  }
  // 398 codes are second codes of a character: 9 of NEC row 13 (≒ ≡ ∫ √ ⊥
  // ∠ ∵ ∩ ∪), 374 NEC-selected IBM ones and 15 IBM ones (Ⅰ-Ⅹ № ℡ ㈱ ∵ ¬).
  EXPECT_EQ(static_cast<std::size_t>(keptCodes), characters.size());
  EXPECT_EQ(codes.size() - characters.size(), 398u);
}

}  // namespace
}  // namespace notora::cp932
