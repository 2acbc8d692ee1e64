#include "iges/section_scan.h"

namespace notora {

void TakeDelimiters(const Record& first, SectionScan* scan) {
  if (first.column(1) == '1' && first.column(2) == 'H') {
    scan->parameterDelimiter = first.column(3);
    scan->recordDelimiter =
        first.column(5) == '1' && first.column(6) == 'H' ? first.column(7) : kDefaultRecordDelimiter;
  } else {
    scan->parameterDelimiter = first.column(1);
    scan->recordDelimiter = kDefaultRecordDelimiter;
  }
}

}  // namespace notora
