// SourceSweep: the one reading of the source, record by record from the
// first to the last, with one record reader.
//
// The records before the first P record (ReadHead) are checked for their
// length and section letter, S and G records kept for the output, the
// delimiters taken from the first G record, D records counted and checked
// into the DirectoryTable. A fault of those records' own, or an odd count of
// D records, wins over a fault in a D record's fields however early that
// stood: a field fault is held until the first P record (or the end of the
// file) shows that none of those comes before it. From the first P record
// on (ReadEntities) every record is checked in file order, and each fault
// ends the sweep where it stands.
#pragma once

#include <cstdint>

#include "base/run_counters.h"
#include "base/status.h"
#include "iges/directory_section.h"
#include "iges/directory_table.h"
#include "iges/entity_handler.h"
#include "iges/entity_output.h"
#include "iges/record_reader.h"
#include "iges/section_scan.h"

namespace notora {

class SourceSweep {
 public:
  // `*reader` and `*counters` must outlive the sweep.
  SourceSweep(RecordReader* reader, RunCounters* counters);

  // Reads up to the first P record, or to the end of the file when there is
  // none, counting startRecords, globalRecords and directoryRecords. Fails
  // with the fault that comes first as described above.
  Status ReadHead();
  // What ReadHead found; valid after it succeeded.
  const SectionScan& scan() const { return scan_; }
  // The same, for a run that lays the Start and Global records out anew
  // before the output begins.
  SectionScan* mutableScan() { return &scan_; }
  // Hands every Directory Entry's label to `*labels` (DirectorySection).
  void SetLabels(DirectoryLabels* labels) { directory_.SetLabels(labels); }
  DirectoryTable* table() { return &table_; }
  // True when the head ended at a P record (which ReadEntities handles
  // first).
  bool atParameters() const { return atParameters_; }

  // Reads the rest of the file: P records checked and assembled, every
  // General Note handed to `*notes`, every entity to `output` (may be null),
  // which is begun first when the head ended at a P record: from there on
  // the output's layout is known. Counts parameterRecords and
  // kanjiEntities.
  Status ReadEntities(EntityHandler* notes, EntityOutput* output);

 private:
  RecordReader* reader_;
  RunCounters* counters_;
  SectionScan scan_;
  DirectoryTable table_;
  DirectorySection directory_;
  Record record_;
  bool atParameters_ = false;
  // Set by a Japanese byte of a T record since the last S, G or D record.
  bool kanjiSeen_ = false;
};

}  // namespace notora
