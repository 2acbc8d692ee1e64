#include "cli/preview/preview_command.h"

#include <CLI/CLI.hpp>


#include "cli/shared/console.h"
#include "cli/shared/conversion_flags_cli.h"
#include "cli/shared/exit_status.h"
#include "cli/shared/source_path.h"
#include "cli/shared/terminal_ui.h"
#include "iges/memory_file_system.h"
#include "run/conversion_run.h"
#include "run/inspection.h"
#include "view/note_picture.h"

namespace notora {
namespace {

// The output name of the conversion that a preview runs in memory. Any name
// does whose path is not the source's own (which the conversion would refuse
// as an existing output).
std::string PreviewOutputName(const std::string& sourcePath) {
  std::string name = "notora-preview";
  if (BuildOutputPath(sourcePath, name) == sourcePath) name += "-2";
  return name;
}

// Passes a run's errors on and keeps its report back: the preview's own
// conversion writes no file, so its closing report would not be true.
class ErrorsOnlyUi : public RunUi {
 public:
  explicit ErrorsOnlyUi(RunUi* ui) : ui_(ui) {}
  void ShowMessage(MessageKind kind, std::string_view text) override {
    if (kind == MessageKind::kError) ui_->ShowMessage(kind, text);
  }
  void BeginWaitCursor() override { ui_->BeginWaitCursor(); }
  void EndWaitCursor() override { ui_->EndWaitCursor(); }
  void ShowProgress(std::int32_t recordNumber) override { ui_->ShowProgress(recordNumber); }
  bool PollCancel() override { return ui_->PollCancel(); }

 private:
  RunUi* ui_;
};

void ShowError(const std::string& text) {
  WriteToConsole(ConsoleStream::kError, "notora-cli preview: " + text + "\n");
}

// Writes `svg` aside and gives it the name `path` once it is whole, never
// over anything that stands there; a picture that could not be written
// whole leaves nothing behind.
bool WritePicture(const std::string& path, const std::string& svg) {
  std::unique_ptr<OutputFile> file = SystemFileSystem().CreateOutput(path);
  if (file == nullptr) return false;
  if (!file->WriteAt(0, svg.data(), svg.size()) || !file->Sync()) {
    file->Discard();
    return false;
  }
  return file->Publish() == PublishResult::kPublished;
}

}  // namespace

PreviewCommand::PreviewCommand(CLI::App* app) {
  command_ = app->add_subcommand(
      "preview",
      "Draw every General Note of SOURCE as an SVG picture: text at its start point, turned,\n"
      "slanted and mirrored as its fields say, vertical strings top to bottom, boxes outlined.\n"
      "With any conversion option, also the notes as that conversion would write them,\n"
      "beside the originals (or over them with --overlay). Never writes over a file.\n"
      "Exit status: 0 written, 2 error, 64 usage.");
  AddConversionFlags(command_, &flags_, /*withLineEnd=*/false);
  command_->add_option("SOURCE", source_, "the IGES file to read")->required();
  command_->add_option("-o,--output", picture_, "the SVG picture to write (must not exist)")
      ->required();
  command_->add_flag("--overlay", overlay_,
                     "draw the converted notes over the originals instead of beside them");
}

bool PreviewCommand::chosen() const { return command_->parsed(); }

int PreviewCommand::Run() const {
  // Anything at the path counts, a link too, dangling or not.
  if (SystemFileSystem().Exists(picture_, /*followLinks=*/false)) {
    ShowError(picture_ + " exists; a picture is never written over a file.");
    return kExitFailed;
  }

  const std::string sourcePath = MakeAbsolute(source_);
  const RunOptions options = flags_.ToRunOptions();
  TerminalUi::InstallInterruptHandler();
  TerminalUi ui;

  NotePictureRequest request;
  request.title = source_;
  request.overlay = overlay_;
  InspectedNotes original(options.sourceEncoding);
  if (!InspectSource(sourcePath, options, original, ui).completed) return kExitFailed;
  request.original = {original.notes(), options.verticalValueInput, "as read"};

  if (AnyConversionFlagGiven(*command_)) {
    // The real conversion, its source read from the disk, its output kept in
    // memory and read back from there with the same parser.
    RunOptions conversion = options;
    conversion.outputName = PreviewOutputName(sourcePath);
    MemoryFileSystem files;
    files.ReadThrough(sourcePath, &SystemFileSystem());
    ErrorsOnlyUi conversionUi(&ui);
    const RunResult converted = RunConversion(conversion, sourcePath, conversionUi, files);
    const std::string caption = "as converted with " + flags_.Describe();
    if (converted.outcome == RunOutcome::kFailed) return kExitFailed;
    if (converted.outcome == RunOutcome::kNothingConverted) {
      request.converted = NoteSet{original.notes(), options.verticalValueInput,
                                  caption + " (nothing to convert)"};
    } else {
      RunOptions parsing = options;
      parsing.verticalValueInput = options.verticalValueOutput;
      parsing.sourceEncoding = options.outputEncoding;
      InspectedNotes rebuilt(parsing.sourceEncoding);
      if (!InspectSource(converted.outputPath, parsing, rebuilt, ui, files).completed) {
        return kExitFailed;
      }
      request.converted = NoteSet{rebuilt.notes(), parsing.verticalValueInput, caption};
    }
  }

  if (!WritePicture(picture_, DrawNotePicture(request))) {
    ShowError(picture_ + " could not be written.");
    return kExitFailed;
  }
  WriteToConsole(ConsoleStream::kOut, picture_ + ": " + std::to_string(original.notes().size()) +
                                         " General Notes drawn\n");
  return kExitSuccess;
}

}  // namespace notora
