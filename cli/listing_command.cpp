#include "cli/listing_command.h"

#include <CLI/CLI.hpp>

#include <cstdio>

#include "cli/conversion_flags.h"
#include "cli/exit_status.h"
#include "cli/listing_text.h"
#include "cli/note_listing.h"
#include "cli/source_path.h"
#include "cli/terminal_ui.h"
#include "run/source_listing.h"

namespace notora {
namespace {

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

InspectCommand::InspectCommand(CLI::App* app) {
  command_ = app->add_subcommand(
      "inspect",
      "List every General Note of SOURCE: entry and D number, and for each string NC, box\n"
      "width and height, font code, slant, rotation, mirror, VH, start point and the text\n"
      "in Unicode. Reads with the checks of a conversion; changes nothing.\n"
      "Exit status: 0 listed, 2 error, 64 usage.");
  command_->add_option("SOURCE", source_, "the IGES file to read")->required();
  command_->add_flag("--json", json_,
                     "one JSON object per note and line, then one line with the counters");
  AddAllowZeroColumnsFlag(command_, &allowZeroColumns_);
}

bool InspectCommand::chosen() const { return command_->parsed(); }

int InspectCommand::Run() const {
  RunOptions parsing;
  parsing.zeroColumnsIsError = !allowZeroColumns_;
  NoteListing listing;
  TerminalUi::InstallInterruptHandler();
  TerminalUi ui;
  const InspectionResult result = InspectSource(MakeAbsolute(source_), parsing, listing, ui);
  if (!result.completed) return kExitFailed;

  if (json_) {
    for (const ListedNote& note : listing.notes()) Print(NoteJson(note) + "\n");
    Print(CountersJson(listing.notes(), result.counters) + "\n");
  } else {
    Print(InspectionTable(listing.notes()));
    Print("\n");
    Print(InspectionCounters(listing.notes(), result.counters));
  }
  std::fflush(stdout);
  return kExitWritten;
}

}  // namespace notora
