// DirectorySection: checks the D records in the second pass and fills the
// DirectoryTable, one entry per pair of records.
#pragma once

#include <cstdint>

#include "iges/directory_table.h"
#include "iges/record_reader.h"
#include "iges/sequence_columns.h"
#include "base/status.h"

namespace notora {

class DirectorySection {
 public:
  // `*table` must outlive this object; `directoryRecords` is the number of D
  // records the first pass counted before the first P record.
  DirectorySection(DirectoryTable* table, std::int32_t directoryRecords);

  // Handles one D record (80 characters). Fails with the message of the
  // first check that fails; every message quotes the D record's number
  // within the section.
  Status HandleRecord(const Record& record);

 private:
  DirectoryTable* table_;
  std::int32_t directoryRecords_;
  std::int32_t directoryRecordNumber_ = 0;
  std::int32_t entryCount_ = 0;
  // The sequence number the next record must have, as its columns.
  SequenceColumns expectedSequence_;
  // Columns 1-8 of the last odd-numbered record, whose type the entry holds.
  std::uint64_t firstTypeColumns_ = 0;
};

}  // namespace notora
