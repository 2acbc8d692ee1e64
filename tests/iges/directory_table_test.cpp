#include "iges/directory_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace notora {
namespace {

std::string TextOf(const DirectoryTable& table, std::int32_t k) {
  std::string text;
  table.ForEachPiece(k, [&](const TextPiece&, std::string_view owned) { text.append(owned); });
  return text;
}

// Rebuilt notes are copied into blocks shared by many: every text stays
// whole and its own, across the blocks' ends and beyond a block's size.
TEST(DirectoryTableTest, RebuiltTextsStayWholeAcrossTheirBlocks) {
  constexpr std::int32_t kEntities = 3000;
  DirectoryTable table(kEntities);
  std::vector<std::string> texts;
  for (std::int32_t k = 1; k <= kEntities; ++k) {
    const std::size_t lines = k == 1500 ? 20000 : static_cast<std::size_t>(k % 37);  // 1.2 MB once
    std::string text(lines * kParameterDataWidth, static_cast<char>('A' + k % 26));
    if (!text.empty()) text.front() = text.back() = static_cast<char>('0' + k % 10);
    table.SetRebuiltText(k, text, static_cast<std::int32_t>(lines));
    texts.push_back(std::move(text));
  }
  for (std::int32_t k = 1; k <= kEntities; ++k) {
    const std::string& text = texts[static_cast<std::size_t>(k) - 1];
    ASSERT_EQ(TextOf(table, k), text) << k;
    EXPECT_EQ(table.textLength(k), text.size());
    EXPECT_EQ(table.outputLineCount(k),
              static_cast<std::int32_t>(text.size() / kParameterDataWidth));
  }
}

}  // namespace
}  // namespace notora
