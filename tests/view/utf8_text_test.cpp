#include "view/utf8_text.h"

#include <gtest/gtest.h>

namespace notora {
namespace {

TEST(DisplayWidthTest, WideAndFullwidthCharactersTakeTwoColumns) {
  EXPECT_EQ(DisplayWidth("ABC"), 3);
  EXPECT_EQ(DisplayWidth("漢字"), 4);
  EXPECT_EQ(DisplayWidth("ｶﾀｶﾅ"), 4);    // half-width katakana: one each
  EXPECT_EQ(DisplayWidth("ＡＢ"), 4);     // fullwidth Latin
  EXPECT_EQ(DisplayWidth("\u3000"), 2);  // ideographic space
  EXPECT_EQ(DisplayWidth("\u2460"), 1);  // ① is ambiguous: one
  EXPECT_EQ(DisplayWidth("\xff" "A"), 2); // an invalid byte counts one
}

TEST(ToValidUtf8Test, InvalidSequencesBecomeReplacementCharacters) {
  EXPECT_EQ(ToValidUtf8("漢A"), "漢A");
  EXPECT_EQ(ToValidUtf8("A\x8a\xbf" "B"), "A\uFFFD\uFFFD" "B");
  EXPECT_EQ(ToValidUtf8("\xe6\xbc"), "\uFFFD\uFFFD");          // cut short
  EXPECT_EQ(ToValidUtf8("\xc0\xaf"), "\uFFFD\uFFFD");          // overlong
  EXPECT_EQ(ToValidUtf8("\xed\xa0\x80"), "\uFFFD\uFFFD\uFFFD");  // surrogate
}

}  // namespace
}  // namespace notora
