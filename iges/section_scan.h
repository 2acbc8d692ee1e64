// SectionScan: what the records before the first P record give the run
// besides the Directory Entries: the Start and Global records kept for the
// output, and the delimiters named by the first Global record.
#pragma once

#include <string>
#include <string_view>

#include "iges/record_format.h"
#include "iges/record_reader.h"

namespace notora {

struct SectionScan {
  // Every S record's characters followed by a line feed, in file order.
  std::string startText;
  // Every G record's characters followed by a line feed, in file order.
  std::string globalText;
  // From the first G record; the IGES defaults when there is none.
  char parameterDelimiter = kDefaultParameterDelimiter;
  char recordDelimiter = kDefaultRecordDelimiter;
  // How the first record ended: "\n", "\r\n", or nothing.
  std::string_view firstLineEnd;
};

// The delimiters named by `firstGlobalRecord`: "1H" in columns 1-2 gives the
// parameter delimiter in column 3, and then "1H" in columns 5-6 the record
// delimiter in column 7; otherwise column 1 is the parameter delimiter and
// ";" the record delimiter.
void TakeDelimiters(const Record& firstGlobalRecord, SectionScan* scan);

}  // namespace notora
