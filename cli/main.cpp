// notora-cli: the command-line twin of the notora dialog.
//
// convert exit status: 0 output written; 1 nothing to convert (no file
// made); 2 the run ended on an error, a refusal or a cancel; 64 bad usage.
// inspect, preview and batch: 0 done, 2 failed, 64 bad usage.
// --version prints "notora-cli <version>" and exits 0.

#include <CLI/CLI.hpp>

#include <string>

#include "base/version.h"
#include "cli/batch_command.h"
#include "cli/conversion_flags.h"
#include "cli/exit_status.h"
#include "cli/listing_command.h"
#include "cli/preview_command.h"
#include "cli/source_path.h"
#include "cli/terminal_ui.h"
#include "run/conversion_run.h"

namespace {

int ExitStatusOf(notora::RunOutcome outcome) {
  switch (outcome) {
    case notora::RunOutcome::kWritten:
      return notora::kExitWritten;
    case notora::RunOutcome::kNothingConverted:
      return notora::kExitNothingConverted;
    case notora::RunOutcome::kFailed:
      break;
  }
  return notora::kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "notora-cli: rewrites the text of General Notes (IGES entity 212) in an IGES file.\n"
      "Converts Shift-JIS text to JIS-code notation (font 2001) and back, makes vertical\n"
      "strings horizontal, and treats negative character widths. The source is never\n"
      "changed; the output is a new file beside it, never written over an existing one.",
      "notora-cli"};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("notora-cli ") + notora::kVersion,
                       "Print the version and exit");

  notora::ConversionFlags flags;
  std::string source;
  std::string outputName;
  CLI::App* convert = app.add_subcommand(
      "convert",
      "Convert SOURCE into <directory of SOURCE>/OUTPUT_NAME.igs.\n"
      "Exit status: 0 written, 1 nothing to convert (no file made), 2 error, 64 usage.");
  flags.AddTo(convert);
  convert->add_option("SOURCE", source, "the IGES file to read")->required();
  convert->add_option("OUTPUT_NAME", outputName,
                      "name of the output file, without directory; \".igs\" is appended")
      ->required();
  notora::InspectCommand inspect(&app);
  notora::PreviewCommand preview(&app);
  notora::BatchCommand batch(&app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? 0 : notora::kExitUsage;
  }

  if (inspect.chosen()) return inspect.Run();
  if (preview.chosen()) return preview.Run();
  if (batch.chosen()) return batch.Run();

  notora::RunOptions options = flags.ToRunOptions();
  options.outputName = outputName;
  notora::TerminalUi::InstallInterruptHandler();
  notora::TerminalUi ui;
  const notora::RunResult result =
      notora::RunConversion(options, notora::MakeAbsolute(source), ui);
  return ExitStatusOf(result.outcome);
}
