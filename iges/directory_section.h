// DirectorySection: checks the D records and fills the DirectoryTable, one
// entry per pair of records, with the columns the output copies.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "iges/directory_table.h"
#include "iges/record_reader.h"
#include "iges/sequence_columns.h"

namespace notora {

// What a run does with the label of each Directory Entry before the entry
// is kept.
class DirectoryLabels {
 public:
  virtual ~DirectoryLabels() = default;
  // The label of entity k of type `entityType` (`label`, the columns of
  // kEntityLabelColumns as read), whose second D record is record
  // `recordNumber` of the section. May rewrite the label in place; a fault
  // ends the reading of the record with its message.
  virtual Status HandleLabel(std::int32_t k, std::int32_t entityType, std::int32_t recordNumber,
                             char* label) = 0;
};

class DirectorySection {
 public:
  // `*table` must outlive this object.
  explicit DirectorySection(DirectoryTable* table);

  // The first P record has been read: every D record after it stands after
  // the Parameter Data section's start.
  void CloseSection() { closed_ = true; }

  // Handles one D record (80 characters). Fails with the message of the
  // first check that fails; every message quotes the D record's number
  // within the section.
  Status HandleRecord(const Record& record);

  // Hands every entry's label to `*labels` from now on (null: none).
  void SetLabels(DirectoryLabels* labels) { labels_ = labels; }

 private:
  DirectoryTable* table_;
  DirectoryLabels* labels_ = nullptr;
  bool closed_ = false;
  std::int32_t directoryRecordNumber_ = 0;
  // The sequence number the next record must have, as its columns.
  SequenceColumns expectedSequence_;
  // Columns 1-8 of the last odd-numbered record, whose type the entry holds.
  std::uint64_t firstTypeColumns_ = 0;
  // The copied columns of the pair being read.
  char copied_[kCopiedColumnsWidth] = {};
};

}  // namespace notora
