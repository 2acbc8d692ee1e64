#include "run/conversion_run.h"

#include "iges/output_writer.h"
#include "base/messages.h"
#include "run/report.h"
#include "run/source_reading.h"

namespace notora {
namespace {

// One run: its phases in order, each of which succeeds or ends the run with
// its message, and one way out (SourceReading::End) that shows that message,
// closes the source and takes the wait cursor down. Everything the run holds
// is owned here and released when the object goes.
class ConversionRun {
 public:
  ConversionRun(const RunOptions& options, std::string_view sourcePath, RunUi* ui,
                FileSystem* files)
      : options_(options),
        ui_(ui),
        files_(files),
        reading_(options, std::string(sourcePath), ui, files, /*observer=*/nullptr,
                 /*readBack=*/true),
        sourcePath_(sourcePath) {}

  RunResult Execute() {
    Status status = CheckRequest();
    if (status.ok()) status = reading_.Open();
    if (status.ok()) status = reading_.Read();
    if (status.ok()) status = reading_.Close();
    if (status.ok()) {
      if (reading_.counters().convertedEntities < 1) {
        ShowReport(/*written=*/false);
        result_.outcome = RunOutcome::kNothingConverted;
      } else {
        status = WriteOutput(result_.outputPath, reading_.scan(), reading_.table(),
                             &reading_.counters(), OutputLineEnd(), files_, ui_,
                             reading_.replay());
        if (status.ok()) {
          ShowReport(/*written=*/true);
          result_.outcome = RunOutcome::kWritten;
        }
      }
    }
    result_.counters = reading_.counters();
    reading_.End(&status);
    result_.status = status;
    return result_;
  }

 private:
  // The option set and the two names, before anything is opened.
  Status CheckRequest() {
    if (ChangesNothing(options_)) return Status::Error(MessageId::NothingRequested);
    NOTORA_RETURN_IF_ERROR(CheckSource(sourcePath_, *files_));
    if (options_.outputName.empty()) return Status::Error(MessageId::NoOutputName);
    result_.outputPath = BuildOutputPath(sourcePath_, options_.outputName);
    // A link at the output path counts as a file even when it dangles: the
    // output is never written through one.
    if (files_->Exists(result_.outputPath, /*followLinks=*/false)) {
      return Status::Error(MessageId::OutputExists);
    }
    return Status::Ok();
  }

  // The line end of the output's records: the options' choice, or, when
  // they ask for the source's, the end of the source's first record (the
  // options' choice when that record has none).
  LineEnd OutputLineEnd() const {
    if (options_.lineEndFromSource) {
      const std::string_view sourceEnd = reading_.scan().firstLineEnd;
      if (sourceEnd == "\r\n") return LineEnd::kCrLf;
      if (sourceEnd == "\n") return LineEnd::kLf;
    }
    return options_.outputLineEnd;
  }

  void ShowReport(bool written) {
    ui_->ShowMessage(MessageKind::kReport, BuildReport(reading_.counters(), written));
  }

  const RunOptions& options_;
  RunUi* ui_;
  FileSystem* files_;
  SourceReading reading_;
  const std::string sourcePath_;
  RunResult result_;
};

}  // namespace

std::string BuildOutputPath(std::string_view sourcePath, std::string_view outputName,
                            PathStyle style) {
  std::size_t separator = sourcePath.size();
  while (separator > 0 && !IsPathSeparator(sourcePath[separator - 1], style)) --separator;
  std::string path;
  char separatorChar = PreferredPathSeparator(style);
  if (separator > 0) {
    --separator;
    separatorChar = sourcePath[separator];
    if (separator > 1) path = sourcePath.substr(0, separator);
  }
  path += separatorChar;
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
