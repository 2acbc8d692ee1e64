// EntityOrder: entities that complete before their turn are held, in
// memory up to the budget and past it in a scratch file beside the output,
// and come back whole, in the entries' order, leaving nothing in the folder.
#include "iges/entity_order.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "iges/memory_file_system.h"
#include "tests/support/iges_builder.h"
#include "tests/support/test_platform.h"

namespace notora {
namespace {

constexpr std::int32_t kEntities = 40;
constexpr std::uint64_t kBudget = 200000;

// Entity k has k % 3 + 1 P records, one entity after another.
DirectoryTable Table() {
  DirectoryTable table;
  std::int32_t pointer = 1;
  for (std::int32_t k = 1; k <= kEntities; ++k) {
    DirectoryEntry& entry = table.AddEntry();
    entry.entityType = 110;
    entry.parameterPointer = pointer;
    entry.parameterLineCount = k % 3 + 1;
    entry.outputLineCount = entry.parameterLineCount;
    pointer += entry.parameterLineCount;
  }
  return table;
}

// Texts of 32 to 96 KB, so that the scratch file is written and read in
// several pieces; each byte tells the entity and the place.
std::string Text(std::int32_t k) {
  std::string text(32768 * static_cast<std::size_t>(k % 3 + 1), ' ');
  for (std::size_t at = 0; at < text.size(); ++at) {
    text[at] = static_cast<char>('A' + (k + at) % 26);
  }
  return text;
}

std::size_t EntriesIn(const std::string& folder) {
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++entries;
  }
  return entries;
}

// Holds entities kEntities down to 2 (the P records in reverse), then takes
// them in the entries' order.
void HoldInReverseAndTakeInOrder(FileSystem* files, const std::string& folder, bool spills) {
  const DirectoryTable table = Table();
  EntityOrder order(&table, kEntities, files, folder + "/out.igs", kBudget);
  for (std::int32_t k = kEntities; k >= 2; --k) {
    order.Hold(k, Text(k), k % 3 + 1);
    EXPECT_LE(order.heldInMemory(), spills ? kBudget : UINT64_MAX);
  }
  EXPECT_EQ(order.spilled(), spills);
  // The scratch file has no name in the folder, or loses it at once (but
  // where the system deletes it as it is closed).
  if (!folder.empty()) {
    EXPECT_EQ(EntriesIn(folder), testing::ScratchFilesHaveNames() ? 1u : 0u);
  }
  std::string text;
  std::int32_t lineCount = 0;
  EXPECT_EQ(order.TakeNext(&text, &lineCount), EntityOrder::Taken::kNone);  // entity 1 streams
  order.Advance();
  for (std::int32_t k = 2; k <= kEntities; ++k) {
    SCOPED_TRACE("entity " + std::to_string(k));
    ASSERT_EQ(order.next(), k);
    ASSERT_EQ(order.TakeNext(&text, &lineCount), EntityOrder::Taken::kTaken);
    EXPECT_EQ(text, Text(k));
    EXPECT_EQ(lineCount, k % 3 + 1);
    EXPECT_EQ(order.TakeNext(&text, &lineCount), EntityOrder::Taken::kNone);
    order.Advance();
  }
  EXPECT_EQ(order.heldInMemory(), 0u);
  EXPECT_EQ(order.next(), kEntities + 1);
}

class EntityOrderTest : public ::testing::TestWithParam<testing::PublishWay> {};

TEST_P(EntityOrderTest, TextsPastTheBudgetComeBackFromAScratchFileThatLeavesNothing) {
  testing::TempDir dir;
  HoldInReverseAndTakeInOrder(GetParam().files, dir.path(), /*spills=*/true);
  EXPECT_EQ(EntriesIn(dir.path()), 0u);
}

INSTANTIATE_TEST_SUITE_P(EveryPublishWay, EntityOrderTest,
                         ::testing::ValuesIn(testing::PublishWays()),
                         [](const auto& info) { return info.param.name; });

// File systems without files of their own for it, or that refuse one.
class NoScratchFiles : public MemoryFileSystem {
 public:
  std::unique_ptr<ScratchFile> CreateScratch(const std::string&) override { return nullptr; }
};

class UnreadableScratch : public ScratchFile {
 public:
  bool WriteAt(std::uint64_t, const char*, std::size_t) override { return true; }
  bool ReadAt(std::uint64_t, char*, std::size_t) override { return false; }
};

class UnreadableScratchFiles : public MemoryFileSystem {
 public:
  std::unique_ptr<ScratchFile> CreateScratch(const std::string&) override {
    return std::make_unique<UnreadableScratch>();
  }
};

TEST(EntityOrderFallbackTest, InMemoryScratchOrNoneAtAllKeepsEveryText) {
  MemoryFileSystem memory;
  HoldInReverseAndTakeInOrder(&memory, "", /*spills=*/true);
  NoScratchFiles none;
  HoldInReverseAndTakeInOrder(&none, "", /*spills=*/false);
}

// A scratch file in memory that counts the bytes read from it.
class CountingScratch : public ScratchFile {
 public:
  explicit CountingScratch(std::uint64_t* read) : read_(read) {}
  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    if (offset + size > bytes_.size()) bytes_.resize(offset + size);
    bytes_.replace(offset, size, data, size);
    return true;
  }
  bool ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    if (offset + size > bytes_.size()) return false;
    *read_ += size;
    bytes_.copy(buffer, size, offset);
    return true;
  }

 private:
  std::uint64_t* read_;
  std::string bytes_;
};

class CountingScratchFiles : public MemoryFileSystem {
 public:
  std::unique_ptr<ScratchFile> CreateScratch(const std::string&) override {
    return std::make_unique<CountingScratch>(&read);
  }
  std::uint64_t read = 0;
};

// Texts that come back in the reverse of the order they went in are read
// in windows that hold many of them, not a window for each.
TEST(EntityOrderFallbackTest, TextsInReverseAreReadInFewWindows) {
  CountingScratchFiles files;
  HoldInReverseAndTakeInOrder(&files, "", /*spills=*/true);
  std::uint64_t spilled = 0;
  for (std::int32_t k = 2; k <= kEntities; ++k) spilled += Text(k).size();
  EXPECT_GT(files.read, 0u);
  EXPECT_LT(files.read, 3 * spilled);
}

TEST(EntityOrderFallbackTest, AScratchFileThatCannotBeReadIsReported) {
  UnreadableScratchFiles files;
  const DirectoryTable table = Table();
  EntityOrder order(&table, kEntities, &files, "/out.igs", /*memoryBudget=*/0);
  // The first texts go to the file; the last stay in the write buffer.
  for (std::int32_t k = 2; k <= kEntities; ++k) order.Hold(k, Text(k), k % 3 + 1);
  order.Advance();
  std::string text;
  std::int32_t lineCount = 0;
  EXPECT_EQ(order.TakeNext(&text, &lineCount), EntityOrder::Taken::kUnreadable);
}

}  // namespace
}  // namespace notora
