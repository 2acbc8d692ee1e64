#include "iges/second_pass.h"

#include "iges/directory_section.h"
#include "iges/parameter_section.h"
#include "base/messages.h"

namespace notora {

Status ReadEntities(RecordReader* reader, const SectionScan& scan, DirectoryTable* table,
                    RunCounters* counters, EntityHandler* notes) {
  DirectorySection directory(table, counters->directoryRecords);
  ParameterSection parameters(table, counters, notes, scan.parameterDelimiter,
                              counters->directoryRecords, reader->source());
  // The blocks' sums are kept: the output pass reads the records again and
  // must find them as they were checked here.
  reader->Rewind(/*watchJapaneseBytes=*/true, SourceStream::Check::kRecord);
  Record record;
  while (!reader->atEnd()) {
    NOTORA_RETURN_IF_ERROR(reader->Next(&record));
    parameters.NoteRecordBytes(record);
    switch (record.letter) {
      case 'D':
        parameters.ClearKanjiSeen();
        NOTORA_RETURN_IF_ERROR(directory.HandleRecord(record));
        break;
      case 'P':
        NOTORA_RETURN_IF_ERROR(parameters.HandleRecord(record));
        break;
      case 'S':
      case 'G':
        parameters.ClearKanjiSeen();
        break;
      case 'T':
        break;
      default:
        return Status::Error(MessageId::BadSectionLetter, {record.number});
    }
  }
  return Status::Ok();
}

}  // namespace notora
