// The first pass over the source: every record up to the first P record is
// checked for its length and section letter; the Start and Global records are
// kept for the output, the delimiters taken from the first Global record, and
// the Directory Entry records counted.
#pragma once

#include <string>

#include "iges/record_format.h"
#include "iges/record_reader.h"
#include "base/run_counters.h"
#include "base/status.h"

namespace notora {

struct SectionScan {
  // Every S record's characters followed by a line feed, in file order.
  std::string startText;
  // Every G record's characters followed by a line feed, in file order.
  std::string globalText;
  // From the first G record; the IGES defaults when there is none.
  char parameterDelimiter = kDefaultParameterDelimiter;
  char recordDelimiter = kDefaultRecordDelimiter;
};

// The delimiters named by `firstGlobalRecord`: "1H" in columns 1-2 gives the
// parameter delimiter in column 3, and then "1H" in columns 5-6 the record
// delimiter in column 7; otherwise column 1 is the parameter delimiter and
// ";" the record delimiter.
void TakeDelimiters(const Record& firstGlobalRecord, SectionScan* scan);

// Runs the first pass with `reader` (rewound here), filling `*scan` and the
// startRecords, globalRecords and directoryRecords of `*counters`. Fails with
// the message of the first fault: a record error, a section letter other
// than S, G, D, P or T, or an odd number of D records.
Status ScanSections(RecordReader* reader, SectionScan* scan, RunCounters* counters);

}  // namespace notora
