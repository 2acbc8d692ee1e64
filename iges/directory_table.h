// DirectoryEntry and DirectoryTable: the Directory Entry section as held in
// memory, one entry per pair of D records, filled as the D records are read.
//
// Memory grows with the entities, not with their bytes: an entry holds the
// numbers a run needs, and the columns the output copies from the two D
// records are kept as their difference from the entity before (most
// entities differ from the one before in a few columns only).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/system_vector.h"
#include "iges/record_format.h"

namespace notora {

// All zero is an entry as it starts: no entity read.
struct DirectoryEntry {
  std::int32_t entityType = 0;          // columns 1-8 of both records
  std::int32_t parameterPointer = 0;    // columns 9-16 of the first record
  std::int32_t parameterLineCount = 0;  // columns 25-32 of the second record, as read
  // The P records the entity has in the output: its count as read, or the
  // count of its rebuilt text.
  std::int32_t outputLineCount = 0;
};

// The columns of an entity's two D records that the output copies as they
// stand: 17-72 of the first, then 9-24 and 33-72 of the second.
inline constexpr std::size_t kCopiedColumnsWidth = kFirstRecordCopiedColumns.width() +
                                                   kSecondRecordCopiedColumnsBefore.width() +
                                                   kSecondRecordCopiedColumnsAfter.width();

class DirectoryTable {
 public:
  // A table with entry 0 alone, which holds no entity.
  DirectoryTable();

  // Entities read so far.
  std::int32_t entityCount() const { return static_cast<std::int32_t>(entries_.size()) - 1; }
  DirectoryEntry& entry(std::int32_t k) { return entries_[static_cast<std::size_t>(k)]; }
  const DirectoryEntry& entry(std::int32_t k) const {
    return entries_[static_cast<std::size_t>(k)];
  }

  // Adds entity entityCount() + 1 and returns it.
  DirectoryEntry& AddEntry();

  // Keeps every entity's form number from now on (before the first entry):
  // a run that asks which properties a note has keeps them, others do not.
  void KeepForms() { keepsForms_ = true; }
  bool keepsForms() const { return keepsForms_; }
  // Sets the form of the entity just added, when forms are kept.
  void SetForm(std::int32_t form) {
    if (keepsForms_) forms_.push_back(form);
  }
  // The form of entity k; 0 when forms are not kept or it was not read.
  std::int32_t form(std::int32_t k) const {
    const auto index = static_cast<std::size_t>(k) - 1;
    return keepsForms_ && index < forms_.size() ? forms_[index] : 0;
  }
  // Keeps the copied columns of the entity just added (`columns`,
  // kCopiedColumnsWidth bytes).
  void KeepCopiedColumns(const char* columns);

  // Reads the copied columns back, entity by entity from the first.
  class ColumnReader {
   public:
    explicit ColumnReader(const DirectoryTable& table) : table_(table) {}
    // The columns of the next entity (kCopiedColumnsWidth bytes, valid until
    // the next call).
    const char* Next();

   private:
    const DirectoryTable& table_;
    std::size_t position_ = 0;
    char columns_[kCopiedColumnsWidth] = {};
  };

 private:
  static constexpr std::size_t kWords = kCopiedColumnsWidth / 8;
  static_assert(kCopiedColumnsWidth % 8 == 0 && kWords <= 16);

  SystemVector<DirectoryEntry> entries_;
  bool keepsForms_ = false;
  SystemVector<std::int32_t> forms_;  // entity k at k - 1, when kept
  // Per entity: a 16-bit mask of the 8-byte words that differ from the
  // entity before (all zero bytes before the first), then those words.
  SystemVector<char> columnChanges_;
  char lastColumns_[kCopiedColumnsWidth] = {};
};

}  // namespace notora
