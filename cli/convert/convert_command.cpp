#include "cli/convert/convert_command.h"

#include <CLI/CLI.hpp>

#include "cli/shared/conversion_flags_cli.h"
#include "cli/shared/exit_status.h"
#include "cli/shared/source_path.h"
#include "cli/shared/terminal_ui.h"
#include "run/conversion_run.h"

namespace notora {
namespace {

int ExitStatusOf(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::kWritten:
      return kExitWritten;
    case RunOutcome::kNothingConverted:
      return kExitNothingConverted;
    case RunOutcome::kFailed:
      break;
  }
  return kExitFailed;
}

}  // namespace

ConvertCommand::ConvertCommand(CLI::App* app) {
  command_ = app->add_subcommand(
      "convert",
      "Convert SOURCE into <directory of SOURCE>/OUTPUT_NAME.igs.\n"
      "Exit status: 0 written, 1 nothing to convert (no file made), 2 error, 64 usage.");
  AddConversionFlags(command_, &flags_);
  command_->add_option("SOURCE", source_, "the IGES file to read")->required();
  command_->add_option("OUTPUT_NAME", outputName_,
                       "name of the output file, without directory; \".igs\" is appended")
      ->required();
}

bool ConvertCommand::chosen() const { return command_->parsed(); }

int ConvertCommand::Run() const {
  RunOptions options = flags_.ToRunOptions();
  options.outputName = outputName_;
  TerminalUi::InstallInterruptHandler();
  TerminalUi ui;
  const RunResult result = RunConversion(options, MakeAbsolute(source_), ui);
  return ExitStatusOf(result.outcome);
}

}  // namespace notora
