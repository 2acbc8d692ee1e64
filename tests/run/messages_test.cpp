#include "base/messages.h"

#include <gtest/gtest.h>

namespace notora {
namespace {

TEST(MessagesTest, CatalogueHasEveryKeyOnceAndNothingElse) {
  EXPECT_EQ(CatalogueProblems(), "");
}

TEST(MessagesTest, PlaceholdersAreFilledInOrderWithPlainDecimals) {
  EXPECT_EQ(FormatMessage(MessageId::FieldNoTerminator, {8, 5, ","}),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ8行目の5文字目以降に区切り文字 , が有りません。\n変換は出来ません。");
  EXPECT_EQ(FormatMessage(MessageId::ReadError, {-12}),
            "-12行目でﾌｧｲﾙの読込みでｴﾗｰが発生しました。\n　変換は出来ません。");
}

TEST(MessagesTest, FileBytesAreShownAsCodePage932Characters) {
  EXPECT_EQ(DescribeFileByte(','), ",");
  EXPECT_EQ(DescribeFileByte('\xb1'), "ｱ");
  EXPECT_EQ(DescribeFileByte('\xa1'), "｡");
  EXPECT_EQ(DescribeFileByte('\xdf'), "ﾟ");
  // A lead byte alone, and bytes that code page 932 leaves undefined.
  EXPECT_EQ(DescribeFileByte('\x8a'), "\xEF\xBF\xBD");
  EXPECT_EQ(DescribeFileByte('\x80'), "\xEF\xBF\xBD");
  EXPECT_EQ(DescribeFileByte('\xa0'), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace notora
