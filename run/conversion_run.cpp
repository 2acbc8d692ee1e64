#include "run/conversion_run.h"

#include "base/fault_order.h"
#include "base/memory_guard.h"
#include "base/messages.h"
#include "iges/output_writer.h"
#include "run/report.h"
#include "run/source_reading.h"

#include <memory>

namespace notora {
namespace {

// One run: its phases in order, each of which succeeds or ends the run with
// its message, and one way out (SourceReading::End) that shows that message,
// closes the source and takes the wait cursor down. The output is written
// aside while the source is read and given its name only at the end; on
// every other way out it is given up. Everything the run holds is owned
// here and released when the object goes.
class ConversionRun {
 public:
  ConversionRun(const RunOptions& options, std::string_view sourcePath, RunUi* ui,
                FileSystem* files)
      : options_(options),
        ui_(ui),
        files_(files),
        reading_(options, std::string(sourcePath), ui, files),
        sourcePath_(sourcePath) {}

  RunResult Execute() {
    Status status = CheckRequest();
    if (status.ok()) status = reading_.Open();
    if (status.ok()) status = GuardMemory([this] { return ReadAndWrite(); });
    result_.counters = reading_.counters();
    if (!status.ok() && output_) output_->Discard();
    reading_.End(&status);
    output_.reset();
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

  // The sweep over the source with the output written beside it, the close
  // of the source, and the end of the output or the report that nothing was
  // converted.
  // Each step runs only while no fault that outranks it is in (FaultOrder);
  // the output's own faults are kept by the writer until Finish.
  Status ReadAndWrite() {
    FaultOrder faults;
    output_ = std::make_unique<OutputWriter>(files_, result_.outputPath, options_.outputLineEnd,
                                             options_.lineEndFromSource, ui_);
    output_->Open();
    // The sweep stops at the source's fault that ranks first.
    faults.Report(FaultRank::kSourceEntities, reading_.Read(output_.get()));
    if (!faults.Decided(FaultRank::kSourceClose)) {
      faults.Report(FaultRank::kSourceClose, reading_.Close());
    }
    // Texts before the Parameter Data that were carried over make an
    // output too, once it has begun.
    const RunCounters& counters = reading_.counters();
    const bool converted = counters.convertedEntities > 0 ||
                           (counters.transcodedHeadTexts > 0 && output_->begun());
    if (!faults.Decided(FaultRank::kNothingConverted) && !converted) {
      output_->Discard();
      ShowReport(/*written=*/false);
      result_.outcome = RunOutcome::kNothingConverted;
      return Status::Ok();
    }
    if (!faults.Decided(FaultRank::kOutput)) {
      faults.Report(FaultRank::kOutput, output_->Finish(&reading_.counters()));
    }
    if (faults.failed()) return faults.result();
    ShowReport(/*written=*/true);
    result_.outcome = RunOutcome::kWritten;
    return Status::Ok();
  }

  void ShowReport(bool written) {
    ui_->ShowMessage(MessageKind::kReport, BuildReport(reading_.counters(), written));
  }

  const RunOptions& options_;
  RunUi* ui_;
  FileSystem* files_;
  SourceReading reading_;
  std::unique_ptr<OutputWriter> output_;
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
