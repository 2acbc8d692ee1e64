#include "run/conversion_run.h"

#include <memory>
#include <optional>

#include "iges/directory_table.h"
#include "iges/output_writer.h"
#include "iges/record_reader.h"
#include "iges/second_pass.h"
#include "iges/section_scan.h"
#include "iges/source_buffer.h"
#include "note/general_note.h"
#include "run/messages.h"
#include "run/report.h"

namespace notora {
namespace {

// One run: its phases in order, each of which succeeds or ends the run with
// its message, and one way out (Finish) that shows that message, closes the
// source and takes the wait cursor down. Everything the run holds is owned
// here and released when the object goes.
class ConversionRun {
 public:
  ConversionRun(const RunOptions& options, std::string_view sourcePath, RunUi* ui,
                FileSystem* files)
      : options_(options), sourcePath_(sourcePath), ui_(ui), files_(files) {}

  RunResult Execute() {
    Status status = CheckRequest();
    if (status.ok()) status = OpenSource();
    if (status.ok()) {
      ui_->BeginWaitCursor();
      waitCursorUp_ = true;
      status = ReadSource();
    }
    if (status.ok()) status = CloseSource();
    if (status.ok()) {
      if (counters_.convertedEntities < 1) {
        ShowReport(/*written=*/false);
        result_.outcome = RunOutcome::kNothingConverted;
      } else if (WriteOutputFile()) {
        ShowReport(/*written=*/true);
        result_.outcome = RunOutcome::kWritten;
      }
    }
    Finish(status);
    return result_;
  }

 private:
  // The option set and the two names, before anything is opened.
  Status CheckRequest() {
    if (options_.conversionMode == 2 && options_.verticalToHorizontal == 0 &&
        options_.verticalValueInput == options_.verticalValueOutput &&
        options_.negativeWidthMode == 1) {
      return Status::Error(FormatMessage(MessageId::NothingRequested));
    }
    if (sourcePath_.empty()) return Status::Error(FormatMessage(MessageId::NoSourceSelected));
    if (!files_->Exists(sourcePath_, /*followLinks=*/true)) {
      return Status::Error(FormatMessage(MessageId::SourceMissing));
    }
    if (options_.outputName.empty()) return Status::Error(FormatMessage(MessageId::NoOutputName));
    result_.outputPath = BuildOutputPath(sourcePath_, options_.outputName);
    // A link at the output path counts as a file even when it dangles: the
    // output is never written through one.
    if (files_->Exists(result_.outputPath, /*followLinks=*/false)) {
      return Status::Error(FormatMessage(MessageId::OutputExists));
    }
    return Status::Ok();
  }

  Status OpenSource() {
    std::unique_ptr<InputFile> file = files_->OpenInput(sourcePath_);
    if (file == nullptr) return Status::Error(FormatMessage(MessageId::SourceOpenFailed));
    source_ = std::make_unique<SourceBuffer>(std::move(file));
    sourceOpen_ = true;
    counters_ = RunCounters();
    return Status::Ok();
  }

  // Both passes: the section scan, then the entities.
  Status ReadSource() {
    RecordReader reader(source_.get(), ui_);
    NOTORA_RETURN_IF_ERROR(ScanSections(&reader, &scan_, &counters_));
    table_.emplace(source_.get(), counters_.directoryRecords / 2);
    GeneralNoteConverter notes(options_, counters_, scan_.parameterDelimiter,
                               scan_.recordDelimiter);
    return ReadEntities(&reader, scan_, &*table_, &counters_, &notes);
  }

  Status CloseSource() {
    sourceOpen_ = false;
    if (!source_->Close()) return Status::Error(FormatMessage(MessageId::SourceCloseFailed));
    return Status::Ok();
  }

  bool WriteOutputFile() {
    OutputFailure failure;
    if (WriteOutput(result_.outputPath, scan_, &*table_, &counters_, files_, ui_, &failure)) {
      return true;
    }
    ui_->ShowMessage(MessageKind::kError, failure.message);
    if (!failure.closeMessage.empty()) ui_->ShowMessage(MessageKind::kError, failure.closeMessage);
    return false;
  }

  void ShowReport(bool written) {
    ui_->ShowMessage(MessageKind::kReport, BuildReport(counters_, written));
  }

  // The one way out of a run.
  void Finish(const Status& status) {
    if (!status.ok()) {
      ui_->ShowMessage(MessageKind::kError, status.message());
      if (sourceOpen_) {
        sourceOpen_ = false;
        if (!source_->Close()) {
          ui_->ShowMessage(MessageKind::kError, FormatMessage(MessageId::SourceCloseFailedAfterError));
        }
      }
    }
    if (waitCursorUp_) ui_->EndWaitCursor();
    result_.counters = counters_;
    table_.reset();
    source_.reset();
  }

  const RunOptions& options_;
  const std::string sourcePath_;
  RunUi* ui_;
  FileSystem* files_;

  std::unique_ptr<SourceBuffer> source_;
  bool sourceOpen_ = false;
  bool waitCursorUp_ = false;
  RunCounters counters_;
  SectionScan scan_;
  std::optional<DirectoryTable> table_;
  RunResult result_;
};

}  // namespace

std::string BuildOutputPath(std::string_view sourcePath, std::string_view outputName) {
  const std::size_t separator = sourcePath.rfind('/');
  std::string path;
  if (separator != std::string_view::npos && separator > 1) path = sourcePath.substr(0, separator);
  path += '/';
  path += outputName;
  path += ".igs";
  return path;
}

RunResult RunConversion(const RunOptions& options, std::string_view sourcePath, RunUi& ui,
                        FileSystem& files) {
  ConversionRun run(options, sourcePath, &ui, &files);
  return run.Execute();
}

}  // namespace notora
