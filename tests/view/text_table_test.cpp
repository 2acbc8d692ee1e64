#include "view/text_table.h"

#include <gtest/gtest.h>

namespace notora {
namespace {

TEST(TextTableTest, ColumnsAlignByTerminalColumnsNotBytes) {
  TextTable table({"TEXT", "N", "NOTE"});
  table.AlignRight(1);
  table.AddRow({"漢字", "7", "a"});
  table.AddRow({"ｶﾀｶﾅﾃｽﾄ", "12", "b"});
  table.AddRow({"AB", "3", "c"});
  // 漢字 and ｶﾀｶﾅﾃｽﾄ take 4 and 7 columns; every line puts N and NOTE at
  // the same terminal columns.
  EXPECT_EQ(table.Render(),
            "TEXT      N  NOTE\n"
            "漢字      7  a\n"
            "ｶﾀｶﾅﾃｽﾄ  12  b\n"
            "AB        3  c\n");
}

TEST(TextTableTest, LastColumnIsNotPaddedAndMissingCellsAreBlank) {
  TextTable table({"A", "B"});
  table.AddRow({"long value"});
  table.AddRow({"x", "y", "dropped"});
  EXPECT_EQ(table.Render(),
            "A           B\n"
            "long value\n"
            "x           y\n");
}

}  // namespace
}  // namespace notora
