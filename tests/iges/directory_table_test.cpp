#include "iges/directory_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
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

// Pieced texts (runs of source records and owned bytes) and rebuilt notes
// side by side, for more entities than the first arrays of pieces and
// stored texts hold: each entity keeps its own pieces, in order, after the
// arrays have grown many times.
TEST(DirectoryTableTest, PiecedAndRebuiltTextsKeepTheirPiecesAsTheTablesGrow) {
  constexpr std::int32_t kEntities = 40000;
  DirectoryTable table(kEntities);
  for (std::int32_t k = 1; k <= kEntities; ++k) {
    table.entry(k).parameterLineCount = 3;
    if (k % 3 == 0) {
      const std::vector<std::string> owned = {std::string(kParameterDataWidth, 'a' + k % 26)};
      std::vector<TextPiece> pieces(3);
      pieces[0].offset = std::uint64_t(k) * 1000;
      pieces[0].lines = 1;
      pieces[0].record = k;
      pieces[1].owned = 0;
      pieces[2].offset = std::uint64_t(k) * 1000 + 81;
      pieces[2].lines = 1;
      pieces[2].record = k + 1;
      table.SetPiecedText(k, pieces, owned);
    } else {
      table.SetRebuiltText(k, std::string(std::size_t(k % 5 + 1) * kParameterDataWidth, 'A' + k % 26),
                           k % 5 + 1);
    }
  }
  for (std::int32_t k = 1; k <= kEntities; ++k) {
    std::string seen;
    table.ForEachPiece(k, [&](const TextPiece& piece, std::string_view owned) {
      if (piece.owned >= 0) {
        seen += "owned:" + std::string(owned);
      } else {
        seen += "run:" + std::to_string(piece.offset) + "/" + std::to_string(piece.lines) + "/" +
                std::to_string(piece.record) + ";";
      }
    });
    std::string expected;
    if (k % 3 == 0) {
      expected = "run:" + std::to_string(std::uint64_t(k) * 1000) + "/1/" + std::to_string(k) +
                 ";owned:" + std::string(kParameterDataWidth, 'a' + k % 26) + "run:" +
                 std::to_string(std::uint64_t(k) * 1000 + 81) + "/1/" + std::to_string(k + 1) + ";";
      ASSERT_EQ(table.outputLineCount(k), 3) << k;
      ASSERT_EQ(table.textLength(k), 3u * kParameterDataWidth) << k;
    } else {
      expected = "owned:" + std::string(std::size_t(k % 5 + 1) * kParameterDataWidth, 'A' + k % 26);
      ASSERT_EQ(table.outputLineCount(k), k % 5 + 1) << k;
    }
    ASSERT_EQ(seen, expected) << k;
  }
}

// The table's entries and the stream's blocks come from this: memory that
// starts zeroed, can be written to its last byte, and is refused (null, no
// crash) when the system cannot give it.
TEST(SystemMemoryTest, IsZeroedAndWholeOrRefused) {
  constexpr std::size_t kLargePage = std::size_t{2} << 20;
  for (std::size_t size : {std::size_t{1}, std::size_t{4095}, std::size_t{4097},
                           (std::size_t{256} << 10) - 1, (std::size_t{256} << 10) + 1, kLargePage,
                           kLargePage + 1, 5 * kLargePage + 123}) {
    SystemMemory memory = AllocateSystemMemory(size);
    ASSERT_NE(memory, nullptr) << size;
    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < size; ++i) nonZero += memory[i] != 0;
    EXPECT_EQ(nonZero, 0u) << size;
    std::memset(memory.get(), 0x5A, size);
    EXPECT_EQ(memory[size - 1], 0x5A);
  }
  EXPECT_EQ(AllocateSystemMemory(SIZE_MAX), nullptr);
  EXPECT_EQ(AllocateSystemMemory(SIZE_MAX / 2), nullptr);
}

TEST(DirectoryTableTest, ANewTableHoldsOnlyEmptyEntries) {
  constexpr std::int32_t kEntities = 200000;  // several large pages
  DirectoryTable table(kEntities);
  std::int32_t notEmpty = 0;
  for (std::int32_t k = 0; k <= kEntities; ++k) {
    const DirectoryEntry& e = table.entry(k);
    notEmpty += e.entityType != 0 || e.parameterPointer != 0 || e.parameterLineCount != 0 ||
                e.textLines != 0 || e.storedText != 0 || e.textOffset != 0;
  }
  EXPECT_EQ(notEmpty, 0);
  EXPECT_EQ(table.textLength(kEntities), 0u);
}

}  // namespace
}  // namespace notora
