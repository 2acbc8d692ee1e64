#include "cli/batch/batch_command.h"

#include <CLI/CLI.hpp>

#include <thread>

#include "cli/batch/batch_run.h"
#include "cli/shared/console.h"
#include "cli/shared/conversion_flags_cli.h"
#include "cli/shared/exit_status.h"
#include "cli/shared/terminal_ui.h"

namespace notora {

BatchCommand::BatchCommand(CLI::App* app) {
  command_ = app->add_subcommand(
      "batch",
      "Convert each SOURCE into <SOURCE without its extension><SUFFIX>.igs beside it, N at a\n"
      "time, each exactly as `convert` would (its messages prefixed by its name), never over\n"
      "an existing file; then print a summary table.\n"
      "Exit status: 0 every file written or nothing to convert, 2 any failed, 64 usage.");
  AddConversionFlags(command_, &flags_);
  command_->add_option("--suffix", suffix_,
                       "put after each source's name without extension (\".igs\" follows)")
      ->required();
  command_->add_option("-j,--jobs", jobs_, "conversions at a time (default: the number of cores)")
      ->check(CLI::PositiveNumber);
  command_->add_option("SOURCE", sources_, "the IGES files to convert")->required();
}

bool BatchCommand::chosen() const { return command_->parsed(); }

int BatchCommand::Run() const {
  int jobs = jobs_;
  if (jobs < 1) jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  TerminalUi::InstallInterruptHandler();
  const std::vector<BatchFileResult> results =
      RunBatch(flags_.ToRunOptions(), sources_, suffix_, jobs);
  const std::string summary = BatchSummary(results);
  WriteToConsole(ConsoleStream::kOut, summary);
  return BatchSucceeded(results) ? kExitSuccess : kExitFailed;
}

}  // namespace notora
