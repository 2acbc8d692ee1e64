#include "iges/output_writer.h"

#include <limits>

#include "base/counting.h"
#include "iges/record_format.h"

namespace notora {

OutputWriter::OutputWriter(FileSystem* files, std::string outputPath, LineEnd lineEnd,
                           bool lineEndFromSource, RunUi* ui)
    : files_(files),
      outputPath_(std::move(outputPath)),
      lineEnd_(lineEnd),
      lineEndFromSource_(lineEndFromSource),
      ui_(ui) {}

OutputWriter::~OutputWriter() { Discard(); }

void OutputWriter::Open() {
  opened_ = true;
  file_ = files_->CreateOutput(outputPath_);
  // Where the name is reserved at the start, something that came to stand
  // there since the run's own check refuses it.
  if (file_ == nullptr && files_->Exists(outputPath_, /*followLinks=*/false)) {
    openFault_ = MessageId::OutputExists;
  }
}

void OutputWriter::Begin(const SectionScan& scan, const DirectoryTable* table,
                         std::int32_t entities) {
  if (lineEndFromSource_) {
    if (scan.firstLineEnd == "\r\n") lineEnd_ = LineEnd::kCrLf;
    if (scan.firstLineEnd == "\n") lineEnd_ = LineEnd::kLf;
  }
  if (!opened_) Open();
  if (file_ == nullptr) return;
  lineEndBytes_ = LineEndBytes(LineEndText(lineEnd_));
  head_ = std::make_unique<HeadLayout>(scan, *table, entities, LineEndText(lineEnd_), file_.get());
  order_ = std::make_unique<EntityOrder>(table, entities, files_, outputPath_, heldMemoryBudget_);
  blocks_ = std::make_unique<BlockWriter>(file_.get(), head_.get());
  blocks_->MoveTo(head_->size());
  live_ = true;
  tail_.Set(FirstDirectoryRecord(order_->next()));
  ResolveNext(0);
}

EntityRoute OutputWriter::Route(std::int32_t k) const {
  if (!live_) return EntityRoute::kDrop;
  return k == order_->next() ? EntityRoute::kStream : EntityRoute::kHold;
}

void OutputWriter::AdvanceNext() {
  order_->Advance();
  writtenBeforeNext_ = written_;
  // Every entity before the next one is written: their D records are final.
  blocks_->MarkReady(order_->next() - 1);
  if (order_->next() <= order_->entities()) tail_.Set(FirstDirectoryRecord(order_->next()));
}

void OutputWriter::ResolveNext(std::int64_t recordNumber) {
  std::string text;
  std::int32_t lineCount = 0;
  while (live_ && order_->next() <= order_->entities()) {
    switch (order_->TakeNext(&text, &lineCount)) {
      case EntityOrder::Taken::kTaken:
        WriteEntity(text, lineCount);
        continue;
      case EntityOrder::Taken::kUnreadable:
        Stop(WriteFault());
        return;
      case EntityOrder::Taken::kNone:
        break;
    }
    if (order_->nextHasNoRecords()) {
      AdvanceNext();
      continue;
    }
    // Its last record has been read, and did not complete it: it never will,
    // and its text does not fill its line count.
    if (recordNumber >= order_->nextLastRecord()) {
      Stop(MessageId::OutputTextLengthMismatch);
      return;
    }
    break;
  }
}

void OutputWriter::Stop(MessageId fault) {
  live_ = false;
  stopped_ = true;
  fault_ = fault;
  // The records of the entity that failed are not counted as written.
  written_ = writtenBeforeNext_;
  order_->Clear();
}

void OutputWriter::PutParameterRecord(const char* data) {
  if (written_ + 1 >= SequenceColumns::kLimit) {
    // A P sequence number beyond seven columns would make a record wider
    // than 80: such an output is refused, never written.
    Stop(MessageId::OutputTooManyRecords);
    return;
  }
  sequence_.Set(++written_);
  char* out = blocks_->Reserve(RecordText::kRoom);
  blocks_->Commit(tail_.PutRecord(out, data, sequence_, lineEndBytes_));
}

void OutputWriter::StreamLine(const char* data) {
  if (live_) PutParameterRecord(data);
}

void OutputWriter::EntityStreamed(std::int32_t k) {
  if (!live_ || k != order_->next()) return;
  AdvanceNext();
  ResolveNext(lastRecord_);
}

void OutputWriter::WriteEntity(std::string_view text, std::int32_t lineCount) {
  if (lineCount < 0 || std::uint64_t(lineCount) * kParameterDataWidth != text.size()) {
    Stop(MessageId::OutputTextLengthMismatch);
    return;
  }
  for (std::size_t at = 0; live_ && at < text.size(); at += kParameterDataWidth) {
    PutParameterRecord(text.data() + at);
  }
  if (live_) AdvanceNext();
}

void OutputWriter::EntityText(std::int32_t k, std::string_view text, std::int32_t lineCount) {
  if (!live_ || k < order_->next()) return;
  if (k > order_->next()) {
    order_->Hold(k, text, lineCount);
    return;
  }
  WriteEntity(text, lineCount);
  ResolveNext(lastRecord_);
}

void OutputWriter::RecordsPassed(std::int32_t recordNumber) {
  lastRecord_ = recordNumber;
  if (live_ && recordNumber >= order_->nextLastRecord()) ResolveNext(recordNumber);
}

Status OutputWriter::FinishHead() {
  // What the writing thread did not take is written here; the user may
  // still cancel while the last section is written.
  blocks_->Drain();
  bool written = !blocks_->failed();
  for (std::int32_t k = 1; k <= order_->entities(); ++k) {
    written = written && head_->CatchUp(k);
    if (ui_->PollCancel()) return Status::Error(MessageId::Cancelled);
  }
  if (!(written && head_->Flush())) blocks_->Fail();
  return Status::Ok();
}

Status OutputWriter::Finish(RunCounters* counters) {
  if (file_ == nullptr) return Status::Error(openFault_);
  ResolveNext(std::numeric_limits<std::int64_t>::max());
  counters->parameterRecords = SaturateToInt32(written_);
  if (stopped_) {
    Discard();
    return Status::Error(fault_);
  }
  // The Terminate record closes the Parameter Data section.
  const std::int32_t sectionCounts[] = {head_->startRecords(), head_->globalRecords(),
                                        counters->directoryRecords, counters->parameterRecords};
  char* out = blocks_->Reserve(RecordText::kRoom);
  blocks_->Commit(PutTerminateRecord(out, sectionCounts, lineEndBytes_));
  Status status = FinishHead();
  if (status.ok() && blocks_->failed()) status = Status::Error(WriteFault());
  if (status.ok()) {
    // The flush of a large output onto a disk may take a while: the user
    // interface is polled meanwhile, and a cancel ends the run after it.
    bool cancelled = false;
    const bool synced = blocks_->Sync([&] { cancelled = cancelled || ui_->PollCancel(); });
    if (cancelled) {
      status = Status::Error(MessageId::Cancelled);
    } else if (!synced) {
      status = Status::Error(WriteFault());
    }
  }
  if (!status.ok()) {
    Discard();
    return status;
  }
  // Every entity is written: the scratch file, if any, goes before the
  // output is named.
  order_->Clear();
  blocks_.reset();
  const PublishResult published = file_->Publish();
  file_.reset();
  live_ = false;
  switch (published) {
    case PublishResult::kPublished:
      return Status::Ok();
    case PublishResult::kNameTaken:
      return Status::Error(MessageId::OutputExists);
    case PublishResult::kFailed:
      break;
  }
  return Status::Error(MessageId::OutputCloseFailed);
}

MessageId OutputWriter::WriteFault() {
  return blocks_ != nullptr && blocks_->outOfMemory() ? MessageId::OutOfMemory
                                                      : MessageId::OutputWriteError;
}

void OutputWriter::Discard() {
  live_ = false;
  if (order_ != nullptr) order_->Clear();
  // No block is written once the file is given up.
  blocks_.reset();
  if (file_ != nullptr) file_->Discard();
  file_.reset();
}

}  // namespace notora
