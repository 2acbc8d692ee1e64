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
                             FileSystem* files, NoteObserver* observer, bool readBack)
    : options_(options),
      sourcePath_(std::move(sourcePath)),
      ui_(ui),
      files_(files),
      observer_(observer),
      readBack_(readBack) {}

SourceReading::~SourceReading() = default;

Status SourceReading::Open() {
  file_ = files_->OpenInput(sourcePath_);
  if (file_ == nullptr) return Status::Error(MessageId::SourceOpenFailed);
  if (readBack_) {
    readBackFile_ = file_->Duplicate();
    if (readBackFile_ == nullptr) {
      // The source cannot be read back: as good as not opened.
      file_->Close();
      file_.reset();
      return Status::Error(MessageId::SourceOpenFailed);
    }
  }
  source_ = std::make_unique<SourceStream>(file_.get(), &sums_);
  sourceOpen_ = true;
  counters_ = RunCounters();
  return Status::Ok();
}

Status SourceReading::Read() {
  ui_->BeginWaitCursor();
  waitCursorUp_ = true;
  RecordReader reader(source_.get(), ui_);
  NOTORA_RETURN_IF_ERROR(ScanSections(&reader, &scan_, &counters_));
  table_.emplace(counters_.directoryRecords / 2);
  GeneralNoteConverter notes(options_, counters_, scan_.parameterDelimiter, scan_.recordDelimiter);
  notes.SetObserver(observer_);
  return ReadEntities(&reader, scan_, &*table_, &counters_, &notes);
}

Status SourceReading::Close() {
  sourceOpen_ = false;
  // The stream (its blocks and its thread) goes on with the second handle,
  // for the output; the source itself is no longer read.
  source_->SwitchFile(readBackFile_.get());
  if (!file_->Close()) return Status::Error(MessageId::SourceCloseFailed);
  return Status::Ok();
}

SourceReplay* SourceReading::replay() {
  if (!replay_ && readBackFile_ != nullptr && table_) replay_.emplace(source_.get(), &*table_);
  return replay_ ? &*replay_ : nullptr;
}

void SourceReading::End(Status* status) {
  if (!status->ok()) {
    // The source is closed before the message is shown, so that a close that
    // fails after the error can be shown after it.
    if (sourceOpen_) {
      sourceOpen_ = false;
      source_.reset();
      if (!file_->Close()) status->FollowedBy(MessageId::SourceCloseFailedAfterError);
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
  replay_.reset();
  table_.reset();
  source_.reset();
  // The second handle only read: a failing close loses nothing.
  if (readBackFile_ != nullptr) readBackFile_->Close();
  readBackFile_.reset();
  file_.reset();
}

}  // namespace notora
