#include "run/source_reading.h"

#include "iges/record_reader.h"
#include "iges/second_pass.h"
#include "note/general_note.h"
#include "base/messages.h"

namespace notora {

Status CheckSource(std::string_view sourcePath, FileSystem& files) {
  if (sourcePath.empty()) return Status::Error(MessageId::NoSourceSelected);
  if (!files.Exists(std::string(sourcePath), /*followLinks=*/true)) {
    return Status::Error(MessageId::SourceMissing);
  }
  return Status::Ok();
}

SourceReading::SourceReading(const RunOptions& options, std::string sourcePath, RunUi* ui,
                             FileSystem* files, NoteObserver* observer)
    : options_(options),
      sourcePath_(std::move(sourcePath)),
      ui_(ui),
      files_(files),
      observer_(observer) {}

SourceReading::~SourceReading() = default;

Status SourceReading::Open() {
  std::unique_ptr<InputFile> file = files_->OpenInput(sourcePath_);
  if (file == nullptr) return Status::Error(MessageId::SourceOpenFailed);
  source_ = std::make_unique<SourceBuffer>(std::move(file));
  sourceOpen_ = true;
  counters_ = RunCounters();
  return Status::Ok();
}

Status SourceReading::Read() {
  ui_->BeginWaitCursor();
  waitCursorUp_ = true;
  RecordReader reader(source_.get(), ui_);
  NOTORA_RETURN_IF_ERROR(ScanSections(&reader, &scan_, &counters_));
  table_.emplace(source_.get(), counters_.directoryRecords / 2);
  GeneralNoteConverter notes(options_, counters_, scan_.parameterDelimiter, scan_.recordDelimiter);
  notes.SetObserver(observer_);
  return ReadEntities(&reader, scan_, &*table_, &counters_, &notes);
}

Status SourceReading::Close() {
  sourceOpen_ = false;
  if (!source_->Close()) return Status::Error(MessageId::SourceCloseFailed);
  return Status::Ok();
}

void SourceReading::End(Status* status) {
  if (!status->ok()) {
    // The source is closed before the message is shown, so that a close that
    // fails after the error can be shown after it.
    if (sourceOpen_) {
      sourceOpen_ = false;
      if (!source_->Close()) status->FollowedBy(MessageId::SourceCloseFailedAfterError);
    }
    ui_->ShowMessage(MessageKind::kError, status->message());
    if (status->hasFollowUp()) {
      ui_->ShowMessage(MessageKind::kError, FormatMessage(status->followUp()));
    }
  }
  if (waitCursorUp_) {
    waitCursorUp_ = false;
    ui_->EndWaitCursor();
  }
  table_.reset();
  source_.reset();
}

}  // namespace notora
