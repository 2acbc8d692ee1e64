#include "iges/directory_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace notora {
namespace {

// The copied columns come back entity by entity as they were kept, whatever
// changed from one entity to the next: nothing, one column, a whole word, or
// everything; also across the many growths of the table's memory.
TEST(DirectoryTableTest, CopiedColumnsComeBackAsKept) {
  constexpr int kEntities = 60000;
  DirectoryTable table;
  std::vector<std::string> kept;
  std::uint32_t random = 12345;
  auto next = [&random] { return random = random * 1103515245u + 12345u; };
  std::string columns(kCopiedColumnsWidth, ' ');
  for (int k = 1; k <= kEntities; ++k) {
    switch (next() % 4) {
      case 0:
        break;  // as the entity before
      case 1:
        columns[next() % kCopiedColumnsWidth] = static_cast<char>('0' + next() % 10);
        break;
      case 2:
        for (std::size_t i = 0; i < 8; ++i) columns[56 + i] = static_cast<char>(next() >> 24);
        break;
      default:
        for (char& c : columns) c = static_cast<char>(next() >> 24);
    }
    DirectoryEntry& entry = table.AddEntry();
    entry.entityType = k;
    table.KeepCopiedColumns(columns.data());
    kept.push_back(columns);
  }
  ASSERT_EQ(table.entityCount(), kEntities);
  DirectoryTable::ColumnReader reader(table);
  for (int k = 1; k <= kEntities; ++k) {
    ASSERT_EQ(std::string(reader.Next(), kCopiedColumnsWidth), kept[k - 1]) << k;
    ASSERT_EQ(table.entry(k).entityType, k);
  }
}

}  // namespace
}  // namespace notora
