#include "note/note_text.h"

#include <gtest/gtest.h>

namespace notora {
namespace {

TEST(DecodeNoteTextTest, ShiftJisTextIsDecodedAsCodePage932) {
  // 図面ABC漢字
  EXPECT_EQ(DecodeNoteText("\x90\x7d\x96\xca" "ABC" "\x8a\xbf\x8e\x9a", 1), "図面ABC漢字");
  // Backslash and tilde stay ASCII, as code page 932 has them.
  EXPECT_EQ(DecodeNoteText("a\\b~c", 1), "a\\b~c");
}

TEST(DecodeNoteTextTest, HalfWidthKatakanaStayHalfWidth) {
  // ｶﾞｷﾞ｡: the voiced-sound mark is a character of its own.
  EXPECT_EQ(DecodeNoteText("\xb6\xde\xb7\xde\xa1", 1), "ｶﾞｷﾞ｡");
  EXPECT_EQ(DecodeNoteText("\xb6\xde", 1), "\uFF76\uFF9E");
}

TEST(DecodeNoteTextTest, VendorExtensionsAreDecoded) {
  EXPECT_EQ(DecodeNoteText("\x87\x40", 1), "\u2460");  // ① (NEC special)
  EXPECT_EQ(DecodeNoteText("\xfa\x40", 1), "\u2170");  // ⅰ (IBM extension)
  EXPECT_EQ(DecodeNoteText("\xed\x40", 1), "\u7E8A");  // 纊 (NEC-selected IBM)
  EXPECT_EQ(DecodeNoteText("\x81\x60", 1), "\uFF5E");  // ～ as code page 932 maps it
}

TEST(DecodeNoteTextTest, UndecodableCharactersBecomeReplacementCharacters) {
  // 0x8540 lies in an unassigned row; a lead byte at the end has no trail.
  EXPECT_EQ(DecodeNoteText("A\x85\x40" "B", 1), "A\uFFFD" "B");
  EXPECT_EQ(DecodeNoteText("AB\x8a", 1), "AB\uFFFD");
}

TEST(DecodeNoteTextTest, JisCodeTextGoesThroughShiftJis) {
  EXPECT_EQ(DecodeNoteText("34413b7a", kJisCodeFont), "漢字");
  EXPECT_EQ(DecodeNoteText("34413B7A", kJisCodeFont), "漢字");
  EXPECT_EQ(DecodeNoteText("2522", kJisCodeFont), "ア");
  EXPECT_EQ(DecodeNoteText("2121", kJisCodeFont), "\u3000");
}

TEST(DecodeNoteTextTest, JisCodesWithoutCharacterBecomeReplacementCharacters) {
  // FFFF is no JIS X 0208 code; 2F21 is one in an unassigned row; a group of
  // fewer than four digits is incomplete.
  EXPECT_EQ(DecodeNoteText("3441FFFF3b7a", kJisCodeFont), "漢\uFFFD字");
  EXPECT_EQ(DecodeNoteText("2F21", kJisCodeFont), "\uFFFD");
  EXPECT_EQ(DecodeNoteText("344134", kJisCodeFont), "漢\uFFFD");
}

}  // namespace
}  // namespace notora
