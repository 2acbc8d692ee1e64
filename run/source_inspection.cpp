#include "run/source_inspection.h"

#include <memory>
#include <optional>
#include <string>

#include "iges/directory_table.h"
#include "iges/record_reader.h"
#include "iges/second_pass.h"
#include "iges/section_scan.h"
#include "iges/source_buffer.h"
#include "note/general_note.h"
#include "run/messages.h"

namespace notora {
namespace {

// The reading phases of a conversion run in the same order and with the same
// messages, up to the closing of the source; what follows it in a conversion
// (the output and the report) is left out.
class SourceInspection {
 public:
  SourceInspection(const RunOptions& parsing, std::string_view sourcePath,
                   NoteObserver* observer, RunUi* ui, FileSystem* files)
      : options_(ReadOnly(parsing)),
        sourcePath_(sourcePath),
        observer_(observer),
        ui_(ui),
        files_(files) {}

  InspectionResult Execute() {
    Status status = CheckSource();
    if (status.ok()) status = OpenSource();
    if (status.ok()) {
      ui_->BeginWaitCursor();
      waitCursorUp_ = true;
      status = ReadSource();
    }
    if (status.ok()) status = CloseSource();
    Finish(status);
    return result_;
  }

 private:
  // Options under which the parser reads every note exactly as a conversion
  // would but alters none: no text conversion, no vertical strings made
  // horizontal, negative widths kept, box values left where they are.
  static RunOptions ReadOnly(const RunOptions& parsing) {
    RunOptions options = parsing;
    options.conversionMode = 2;
    options.verticalToHorizontal = 0;
    options.negativeWidthMode = 1;
    options.verticalValueOutput = options.verticalValueInput;
    return options;
  }

  Status CheckSource() {
    if (sourcePath_.empty()) return Status::Error(FormatMessage(MessageId::NoSourceSelected));
    if (!files_->Exists(sourcePath_, /*followLinks=*/true)) {
      return Status::Error(FormatMessage(MessageId::SourceMissing));
    }
    return Status::Ok();
  }

  Status OpenSource() {
    std::unique_ptr<InputFile> file = files_->OpenInput(sourcePath_);
    if (file == nullptr) return Status::Error(FormatMessage(MessageId::SourceOpenFailed));
    source_ = std::make_unique<SourceBuffer>(std::move(file));
    sourceOpen_ = true;
    return Status::Ok();
  }

  Status ReadSource() {
    RecordReader reader(source_.get(), ui_);
    NOTORA_RETURN_IF_ERROR(ScanSections(&reader, &scan_, &result_.counters));
    table_.emplace(source_.get(), result_.counters.directoryRecords / 2);
    GeneralNoteConverter notes(options_, result_.counters, scan_.parameterDelimiter,
                               scan_.recordDelimiter);
    notes.SetObserver(observer_);
    return ReadEntities(&reader, scan_, &*table_, &result_.counters, &notes);
  }

  Status CloseSource() {
    sourceOpen_ = false;
    if (!source_->Close()) return Status::Error(FormatMessage(MessageId::SourceCloseFailed));
    return Status::Ok();
  }

  void Finish(const Status& status) {
    if (status.ok()) {
      result_.completed = true;
    } else {
      ui_->ShowMessage(MessageKind::kError, status.message());
      if (sourceOpen_) {
        sourceOpen_ = false;
        if (!source_->Close()) {
          ui_->ShowMessage(MessageKind::kError,
                           FormatMessage(MessageId::SourceCloseFailedAfterError));
        }
      }
    }
    if (waitCursorUp_) ui_->EndWaitCursor();
    table_.reset();
    source_.reset();
  }

  const RunOptions options_;
  const std::string sourcePath_;
  NoteObserver* observer_;
  RunUi* ui_;
  FileSystem* files_;

  std::unique_ptr<SourceBuffer> source_;
  bool sourceOpen_ = false;
  bool waitCursorUp_ = false;
  SectionScan scan_;
  std::optional<DirectoryTable> table_;
  InspectionResult result_;
};

}  // namespace

InspectionResult InspectSource(std::string_view sourcePath, const RunOptions& parsing,
                               NoteObserver& observer, RunUi& ui, FileSystem& files) {
  SourceInspection inspection(parsing, sourcePath, &observer, &ui, &files);
  return inspection.Execute();
}

}  // namespace notora
