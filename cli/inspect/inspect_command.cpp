#include "cli/inspect/inspect_command.h"

#include <CLI/CLI.hpp>

#include "cli/inspect/encoding_guess.h"
#include "cli/shared/console.h"
#include "cli/shared/conversion_flags_cli.h"
#include "cli/shared/exit_status.h"
#include "cli/shared/source_path.h"
#include "cli/shared/terminal_ui.h"
#include "run/inspection.h"
#include "view/conversion_flags.h"
#include "view/inspect_text.h"
#include "view/json_writer.h"

namespace notora {

InspectCommand::InspectCommand(CLI::App* app) {
  command_ = app->add_subcommand(
      "inspect",
      "List every General Note of SOURCE: entry and D number, and for each string NC, box\n"
      "width and height, font code, slant, rotation, mirror, VH, start point and the text\n"
      "in Unicode; the pointers after a note's strings (back pointers and properties, each\n"
      "with the type and form it leads to); then every other text of the drawing with\n"
      "its place: Start record\n"
      "(S n), Global parameter (G n), an entity's string (D d type field) or label\n"
      "(D d type label). Reads with the checks of a conversion; changes nothing.\n"
      "Exit status: 0 listed, 2 error, 64 usage.");
  command_->add_option("SOURCE", source_, "the IGES file to read")->required();
  command_->add_flag("--json", json_,
                     "one JSON object per note and line, then one line with the counters");
  AddAllowZeroColumnsFlag(command_, &allowZeroColumns_);
  AddSourceEncodingOption(command_, &sourceEncoding_);
  command_->add_flag("--guess-encoding", guessEncoding_,
                     "print only the encoding in which every text of the drawing (notes, "
                     "Start and Global sections, other entities' strings, labels) reads "
                     "without an invalid byte sequence: shift_jis, euc-jp, utf-8, ascii "
                     "(nothing else needed), ambiguous or none");
}

bool InspectCommand::chosen() const { return command_->parsed(); }

int InspectCommand::Run() const {
  RunOptions parsing;
  parsing.zeroColumnsIsError = !allowZeroColumns_;
  parsing.sourceEncoding = EncodingNamed(sourceEncoding_);
  TerminalUi::InstallInterruptHandler();
  TerminalUi ui;
  if (guessEncoding_) return GuessEncoding(parsing, &ui);

  InspectedNotes inspected(parsing.sourceEncoding, /*drawingTexts=*/true);
  const InspectionResult result = InspectSource(MakeAbsolute(source_), parsing, inspected, ui);
  if (!result.completed) return kExitFailed;

  std::string text;
  if (json_) {
    for (const InspectedNote& note : inspected.notes()) text += NoteJson(note) + "\n";
    for (const InspectedText& other : inspected.texts()) text += DrawingTextJson(other) + "\n";
    text += CountersJson(inspected.notes(), result.counters) + "\n";
  } else {
    text = InspectionListing(inspected, result.counters, sourceEncoding_);
  }
  WriteToConsole(ConsoleStream::kOut, text);
  return kExitSuccess;
}

int InspectCommand::GuessEncoding(const RunOptions& parsing, RunUi* ui) const {
  EncodingGuess guess;
  if (!InspectSource(MakeAbsolute(source_), parsing, guess, *ui, SystemFileSystem(),
                     /*fieldsOnly=*/true)
           .completed) {
    return kExitFailed;
  }
  const std::string verdict = guess.Verdict();
  std::string candidates;
  if (verdict == "ambiguous") {
    for (TextEncoding encoding : guess.Candidates()) {
      candidates += (candidates.empty() ? "" : " ") + EncodingName(encoding);
    }
  }
  if (json_) {
    JsonWriter json;
    json.BeginObject();
    json.Key("encoding");
    json.String(verdict);
    json.Key("candidates");
    json.BeginArray();
    if (verdict != "none" && verdict != "ascii") {
      for (TextEncoding encoding : guess.Candidates()) json.String(EncodingName(encoding));
    }
    json.EndArray();
    json.EndObject();
    WriteToConsole(ConsoleStream::kOut, json.text() + "\n");
  } else {
    std::string text = verdict + "\n";
    if (!candidates.empty()) text += "candidates: " + candidates + "\n";
    WriteToConsole(ConsoleStream::kOut, text);
  }
  return kExitSuccess;
}

}  // namespace notora
