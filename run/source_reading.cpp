#include "run/source_reading.h"

#include "base/messages.h"
#include "note/drawing_text.h"
#include "note/general_note.h"

namespace notora {

Status CheckSource(std::string_view sourcePath, FileSystem& files) {
  if (sourcePath.empty()) return Status::Error(MessageId::NoSourceSelected);
  if (!files.Exists(std::string(sourcePath), /*followLinks=*/true)) {
    return Status::Error(MessageId::SourceMissing);
  }
  return Status::Ok();
}

SourceReading::SourceReading(const RunOptions& options, std::string sourcePath, RunUi* ui,
                             FileSystem* files, NoteObserver* observer,
                             TextHandling textHandling)
    : options_(options),
      sourcePath_(std::move(sourcePath)),
      ui_(ui),
      files_(files),
      observer_(observer),
      textHandling_(textHandling) {}

SourceReading::~SourceReading() = default;

Status SourceReading::Open() {
  file_ = files_->OpenInput(sourcePath_);
  if (file_ == nullptr) return Status::Error(MessageId::SourceOpenFailed);
  source_ = std::make_unique<SourceStream>(file_.get());
  sourceOpen_ = true;
  counters_ = RunCounters();
  return Status::Ok();
}

Status SourceReading::Read(EntityOutput* output) {
  ui_->BeginWaitCursor();
  waitCursorUp_ = true;
  reader_ = std::make_unique<RecordReader>(source_.get(), ui_, /*watchJapaneseBytes=*/true);
  sweep_ = std::make_unique<SourceSweep>(reader_.get(), &counters_);
  // Every text of the drawing is read when it is written in another
  // encoding, or an observer asks to see them all.
  const bool observesDrawing = observer_ != nullptr && observer_->WantsDrawingTexts();
  if (observesDrawing || TranscodesDrawing(options_)) {
    drawing_ = std::make_unique<DrawingTexts>(options_, counters_,
                                              observesDrawing ? observer_ : nullptr);
    sweep_->SetLabels(drawing_.get());
  }
  // The forms of the entries say which properties a note's pointers lead
  // to: kept when pointers are carried over or shown.
  if (options_.keepPointers || observer_ != nullptr) sweep_->table()->KeepForms();
  NOTORA_RETURN_IF_ERROR(sweep_->ReadHead());
  if (drawing_ != nullptr) NOTORA_RETURN_IF_ERROR(drawing_->HandleHead(sweep_->mutableScan()));
  const SectionScan& scan = sweep_->scan();
  GeneralNoteConverter noteConverter(options_, counters_, scan.parameterDelimiter,
                                     scan.recordDelimiter);
  noteConverter.SetObserver(observer_);
  noteConverter.SetTextHandling(textHandling_);
  if (drawing_ == nullptr) return sweep_->ReadEntities(&noteConverter, output);
  drawing_->SetNotes(&noteConverter);
  const Status status = sweep_->ReadEntities(drawing_.get(), output);
  drawing_->SetNotes(nullptr);  // the converter ends here
  return status;
}

Status SourceReading::Close() {
  sourceOpen_ = false;
  source_->Stop();
  if (!file_->Close()) return Status::Error(MessageId::SourceCloseFailed);
  return Status::Ok();
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
  sweep_.reset();
  drawing_.reset();
  reader_.reset();
  source_.reset();
  file_.reset();
}

}  // namespace notora
