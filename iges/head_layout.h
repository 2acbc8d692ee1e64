// HeadLayout: the sections before the Parameter Data in the output: the
// Start and Global records the scan holds (as the source had them, or laid
// out anew by the run), and the Directory Entry
// section with each entity's new parameter pointer and line count.
//
// The head's size is known at the first P record: the Start and Global
// records are kept, and every pointer and line count fills its eight
// columns (the output refuses a Parameter Data section past 9,999,999
// records, so none is wider). The Parameter Data goes out from there on.
// An entity's D records are final once it and every entity before it are
// written: CatchUp formats them and writes them to their place, on the
// writing thread while the run goes on, or at the end.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "iges/block_writer.h"
#include "iges/directory_table.h"
#include "iges/file_system.h"
#include "iges/record_text.h"
#include "iges/section_scan.h"

namespace notora {

class HeadLayout : public BackgroundWork {
 public:
  // The head for `entities` entities of `table` after the sections of
  // `scan`, written to `*file` with lines ended by `lineEnd`. The
  // references must outlive the layout; `table` must not change but for the
  // output line counts of entities not yet written.
  HeadLayout(const SectionScan& scan, const DirectoryTable& table, std::int32_t entities,
             std::string_view lineEnd, OutputFile* file);

  // The bytes of the head: where the Parameter Data starts.
  std::uint64_t size() const { return size_; }
  // The Start and Global records it writes, for the Terminate record.
  std::int32_t startRecords() const { return startRecords_; }
  std::int32_t globalRecords() const { return globalRecords_; }

  // Writes the Start and Global records, then the D records of every entity
  // up to `mark`, each of which has its final output line count; false on
  // a write error (nothing more is written then). Called on one thread at
  // a time.
  bool CatchUp(std::int64_t mark) override;
  // Writes what CatchUp holds; false on a write error.
  bool Flush();

 private:
  void AppendLines(std::string_view lines);
  bool Reserve(std::size_t size);

  const SectionScan& scan_;
  const DirectoryTable& table_;
  const std::int32_t entities_;
  const LineEndBytes lineEndBytes_;
  OutputFile* file_;
  std::uint64_t size_ = 0;
  std::int32_t startRecords_ = 0;
  std::int32_t globalRecords_ = 0;

  bool failed_ = false;
  bool sectionsWritten_ = false;  // the Start and Global records
  std::int32_t written_ = 0;      // entities whose D records are written
  // Pointers are summed in 64 bits: line counts as read may add up to more
  // than a 32-bit number holds.
  std::int64_t pointer_ = 1;
  DirectoryTable::ColumnReader columns_;
  RepeatedField entityType_;
  SequenceColumns directorySequence_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  std::uint64_t offset_ = 0;  // where the buffer's first byte goes
};

}  // namespace notora
