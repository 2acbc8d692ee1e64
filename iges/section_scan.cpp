#include "iges/section_scan.h"

#include "base/messages.h"

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

Status ScanSections(RecordReader* reader, SectionScan* scan, RunCounters* counters) {
  reader->Rewind();
  Record record;
  bool inPass = true;
  while (inPass && !reader->atEnd()) {
    NOTORA_RETURN_IF_ERROR(reader->Next(&record));
    switch (record.letter) {
      case 'S':
        scan->startText.append(record.text).push_back('\n');
        ++counters->startRecords;
        break;
      case 'G':
        scan->globalText.append(record.text).push_back('\n');
        if (++counters->globalRecords == 1) TakeDelimiters(record, scan);
        break;
      case 'D':
        ++counters->directoryRecords;
        break;
      case 'T':
        break;
      case 'P':
        // The first P record ends the pass; pass two reads it again.
        inPass = false;
        break;
      default:
        return Status::Error(MessageId::BadSectionLetter, {record.number});
    }
  }
  if (counters->directoryRecords % 2 != 0) {
    return Status::Error(MessageId::OddDirectoryCount);
  }
  return Status::Ok();
}

}  // namespace notora
