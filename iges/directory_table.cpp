#include "iges/directory_table.h"

#include <cstring>
#include <type_traits>

namespace notora {

DirectoryTable::DirectoryTable() {
  static_assert(std::is_trivially_copyable_v<DirectoryEntry>);
  entries_.push_back(DirectoryEntry());
}

DirectoryEntry& DirectoryTable::AddEntry() {
  entries_.push_back(DirectoryEntry());
  return entries_.back();
}

void DirectoryTable::KeepCopiedColumns(const char* columns) {
  char changes[2 + kCopiedColumnsWidth];
  std::size_t length = 2;
  std::uint16_t mask = 0;
  for (std::size_t word = 0; word < kWords; ++word) {
    if (std::memcmp(columns + 8 * word, lastColumns_ + 8 * word, 8) != 0) {
      mask = static_cast<std::uint16_t>(mask | (1u << word));
      std::memcpy(changes + length, columns + 8 * word, 8);
      length += 8;
    }
  }
  std::memcpy(changes, &mask, sizeof mask);
  columnChanges_.Append(changes, length);
  std::memcpy(lastColumns_, columns, kCopiedColumnsWidth);
}

const char* DirectoryTable::ColumnReader::Next() {
  std::uint16_t mask;
  std::memcpy(&mask, &table_.columnChanges_[position_], sizeof mask);
  position_ += sizeof mask;
  for (std::size_t word = 0; word < kWords; ++word) {
    if ((mask & (1u << word)) != 0) {
      std::memcpy(columns_ + 8 * word, &table_.columnChanges_[position_], 8);
      position_ += 8;
    }
  }
  return columns_;
}

}  // namespace notora
