#include "iges/source_sweep.h"

#include "base/fault_order.h"
#include "base/messages.h"
#include "iges/parameter_section.h"

namespace notora {

SourceSweep::SourceSweep(RecordReader* reader, RunCounters* counters)
    : reader_(reader), counters_(counters), directory_(&table_) {}

Status SourceSweep::ReadHead() {
  // A fault of the records' own ends the head at once; the first fault in
  // a D record's fields is held, and shown once the records before the
  // first P record have passed their own checks.
  FaultOrder faults;
  while (!reader_->atEnd()) {
    NOTORA_RETURN_IF_ERROR(reader_->Next(&record_));
    if (record_.number == 1) scan_.firstLineEnd = record_.lineEnd;
    switch (record_.letter) {
      case 'S':
        scan_.startText.append(record_.text).push_back('\n');
        ++counters_->startRecords;
        kanjiSeen_ = false;
        break;
      case 'G':
        scan_.globalText.append(record_.text).push_back('\n');
        if (++counters_->globalRecords == 1) TakeDelimiters(record_, &scan_);
        kanjiSeen_ = false;
        break;
      case 'D':
        ++counters_->directoryRecords;
        kanjiSeen_ = false;
        if (!faults.failed()) {
          faults.Report(FaultRank::kDirectoryField, directory_.HandleRecord(record_));
        }
        break;
      case 'T':
        kanjiSeen_ = kanjiSeen_ || record_.hasJapaneseByte;
        break;
      case 'P':
        atParameters_ = true;
        break;
      default:
        return Status::Error(MessageId::BadSectionLetter, {record_.number});
    }
    if (atParameters_) break;
  }
  if (counters_->directoryRecords % 2 != 0) {
    faults.Report(FaultRank::kSourceRecords, Status::Error(MessageId::OddDirectoryCount));
  }
  if (!faults.failed()) directory_.CloseSection();
  return faults.result();
}

Status SourceSweep::ReadEntities(EntityHandler* notes, EntityOutput* output) {
  ParameterSection parameters(&table_, counters_, notes, output, scan_.parameterDelimiter,
                              counters_->directoryRecords);
  // The layout of the output is known from the first P record on.
  if (output != nullptr && atParameters_) {
    output->Begin(scan_, &table_, counters_->directoryRecords / 2);
  }
  bool pending = atParameters_;
  if (kanjiSeen_) parameters.MarkKanjiSeen();
  while (pending || !reader_->atEnd()) {
    if (!pending) NOTORA_RETURN_IF_ERROR(reader_->Next(&record_));
    pending = false;
    parameters.NoteRecordBytes(record_);
    switch (record_.letter) {
      case 'D':
        parameters.ClearKanjiSeen();
        NOTORA_RETURN_IF_ERROR(directory_.HandleRecord(record_));
        break;
      case 'P':
        NOTORA_RETURN_IF_ERROR(parameters.HandleRecord(record_));
        break;
      case 'S':
      case 'G':
        // Those after the first P record do not reach the output.
        parameters.ClearKanjiSeen();
        break;
      case 'T':
        break;
      default:
        return Status::Error(MessageId::BadSectionLetter, {record_.number});
    }
  }
  return Status::Ok();
}

}  // namespace notora
