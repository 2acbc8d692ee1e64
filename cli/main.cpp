// notora-cli: the command-line twin of the notora dialog, one subcommand
// per folder of cli/ (convert, inspect, preview, batch) over what they share
// (cli/shared).
//
// convert exit status: 0 output written; 1 nothing to convert (no file
// made); 2 the run ended on an error, a refusal or a cancel; 64 bad usage.
// inspect, preview and batch: 0 done, 2 failed, 64 bad usage.
// --version prints "notora-cli <version>" and exits 0.

#include <CLI/CLI.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "base/version.h"
#include "cli/batch/batch_command.h"
#include "cli/convert/convert_command.h"
#include "cli/inspect/inspect_command.h"
#include "cli/preview/preview_command.h"
#include "cli/shared/console.h"
#include "cli/shared/exit_status.h"

int main(int argc, char** argv) {
  CLI::App app{
      "notora-cli: rewrites the text of General Notes (IGES entity 212) in an IGES file.\n"
      "Converts Shift-JIS text to JIS-code notation (font 2001) and back, makes vertical\n"
      "strings horizontal, and treats negative character widths. The source is never\n"
      "changed; the output is a new file beside it, never written over an existing one.",
      "notora-cli"};
  // Options are written the same way on every system ("/x" is a path on
  // Windows too, never an option).
  app.allow_windows_style_options(false);
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("notora-cli ") + notora::kVersion,
                       "Print the version and exit");

  notora::ConvertCommand convert(&app);
  notora::InspectCommand inspect(&app);
  notora::PreviewCommand preview(&app);
  notora::BatchCommand batch(&app);

  const std::vector<std::string> arguments = notora::CommandLineArguments(argc, argv);
  std::vector<const char*> argumentPointers;
  for (const std::string& argument : arguments) argumentPointers.push_back(argument.c_str());
  try {
    app.parse(static_cast<int>(argumentPointers.size()), argumentPointers.data());
  } catch (const CLI::ParseError& error) {
    // Help and usage errors go out through the console like every message.
    std::ostringstream out, err;
    const int status = app.exit(error, out, err);
    notora::WriteToConsole(notora::ConsoleStream::kOut, out.str());
    notora::WriteToConsole(notora::ConsoleStream::kError, err.str());
    return status == 0 ? notora::kExitSuccess : notora::kExitUsage;
  }

  if (inspect.chosen()) return inspect.Run();
  if (preview.chosen()) return preview.Run();
  if (batch.chosen()) return batch.Run();
  return convert.Run();
}
