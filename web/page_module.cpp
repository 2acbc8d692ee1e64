// The module's face to the page: the functions the page's worker calls.
//
// The module is a reactor: the worker instantiates it, calls _initialize,
// then these. Text crosses in the module's memory: the worker asks for room
// (web_argument), writes into it and calls the function that uses it; a
// function that answers with text leaves it at web_result_data()
// (web_result_size() bytes of UTF-8 JSON). The source's bytes come from the
// page as they are read (PageFiles). One job (a file converted, then perhaps
// shown) at a time; a new source ends the job before it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/run_options.h"
#include "dialog/option_exchange.h"
#include "run/conversion_run.h"
#include "run/inspection.h"
#include "view/conversion_flags.h"
#include "view/inspect_text.h"
#include "view/json_writer.h"
#include "view/note_picture.h"
#include "web/dialog_description.h"
#include "web/page_files.h"
#include "web/page_run_ui.h"
#include "web/page_texts.h"

namespace notora::web {
namespace {

struct Job {
  double sourceSize = 0;
  std::unique_ptr<PageFiles> files;
  RunOptions options;
  RunResult result;
  bool converted = false;
};

struct Module {
  HeldControls controls;
  ConversionFlags choices;
  bool windowsLineEnds = false;
  std::string argument;
  std::string result;
  Job job;
};

Module& State() {
  static Module module;
  return module;
}

std::string Quoted(std::string_view text) {
  JsonWriter json;
  json.String(text);
  return json.text();
}

std::string MessagesJson(const PageRunUi& ui) {
  JsonWriter json;
  json.BeginArray();
  for (const ShownMessage& message : ui.messages()) {
    json.BeginObject();
    json.Key("kind");
    json.String(message.kind == MessageKind::kReport ? "report" : "error");
    json.Key("text");
    json.String(message.text);
    json.EndObject();
  }
  json.EndArray();
  return json.text();
}

void EndJob() { State().job = Job(); }

// The options of a run: the dialog's controls as both dialogs read them,
// and the encodings and line end as the command line names them.
RunOptions PageOptions() {
  Module& module = State();
  RunOptions options = module.choices.ToRunOptions();
  if (module.choices.lineEnd == LineEndNames().front() && module.windowsLineEnds) {
    options.outputLineEnd = LineEnd::kCrLf;
  }
  SaveOptions(module.controls, options);
  return options;
}

// The notes of `path`, and the drawing's other texts, as inspect lists
// them, with what was shown on the way; false when the reading did not
// complete.
bool Inspect(const std::string& path, const RunOptions& parsing, FileSystem& files,
             std::vector<InspectedNote>* notes, std::string* table, PageRunUi* ui) {
  InspectedNotes inspected(parsing.sourceEncoding, /*drawingTexts=*/true);
  const InspectionResult result = InspectSource(path, parsing, inspected, *ui, files);
  if (!result.completed) return false;
  *notes = inspected.notes();
  *table = InspectionListing(inspected, result.counters, EncodingName(parsing.sourceEncoding));
  return true;
}

}  // namespace
}  // namespace notora::web

using namespace notora;
using namespace notora::web;

extern "C" {

// Room for a text argument of `size` bytes; its address.
__attribute__((export_name("web_argument"))) char* WebArgument(std::size_t size) {
  State().argument.assign(size, '\0');
  return State().argument.data();
}

// Ends the job before; the next source has `size` bytes, which the page
// hands over through notora.read_source as they are read.
__attribute__((export_name("web_source"))) void WebSource(double size) {
  EndJob();
  State().job.sourceSize = size;
}

__attribute__((export_name("web_result_data"))) const char* WebResultData() {
  return State().result.data();
}

__attribute__((export_name("web_result_size"))) std::size_t WebResultSize() {
  return State().result.size();
}

// The dialog and the page's texts (DescribeDialog, with "texts" added).
__attribute__((export_name("web_describe"))) std::size_t WebDescribe() {
  std::string description = DescribeDialog();
  JsonWriter texts;
  texts.BeginObject();
  for (const PageText& text : PageTexts()) {
    texts.Key(text.key);
    texts.String(text.text);
  }
  texts.EndObject();
  description.pop_back();
  State().result = description + ",\"texts\":" + texts.text() + "}";
  return State().result.size();
}

// A radio button or check box of the dialog, by control id.
__attribute__((export_name("web_set_checked"))) void WebSetChecked(int id, int checked) {
  State().controls.SetChecked(id, checked != 0);
}

// The edit control `id` holds the argument's text.
__attribute__((export_name("web_set_text"))) void WebSetText(int id) {
  State().controls.SetText(id, State().argument);
}

// The encodings and the line end, as positions in the description's lists;
// `windows`: the page runs on Windows, whose text files end lines in CR LF;
// `keepPointers`: rebuilt notes keep the pointers after their strings.
__attribute__((export_name("web_set_choices"))) void WebSetChoices(int sourceEncoding,
                                                                   int outputEncoding,
                                                                   int lineEnd, int windows,
                                                                   int keepPointers) {
  ConversionFlags& choices = State().choices;
  const std::vector<std::string> encodings = EncodingNames();
  const std::vector<std::string> lineEnds = LineEndNames();
  const auto pick = [](const std::vector<std::string>& words, int position) {
    return position >= 0 && static_cast<std::size_t>(position) < words.size()
               ? words[static_cast<std::size_t>(position)]
               : words.front();
  };
  choices.sourceEncoding = pick(encodings, sourceEncoding);
  choices.outputEncoding = pick(encodings, outputEncoding);
  choices.lineEnd = pick(lineEnds, lineEnd);
  choices.keepPointers = keepPointers != 0;
  State().windowsLineEnds = windows != 0;
}

// Converts the source (its name is the argument) with the options set, as
// Execute does. The result: {"outcome":"written"|"nothingConverted"|"failed",
// "messages":[{"kind":"error"|"report","text":...}],"outputName":...}; the
// output's bytes stand at web_output_data().
__attribute__((export_name("web_convert"))) std::size_t WebConvert() {
  Module& module = State();
  Job& job = module.job;
  // No file chosen is an empty source path, as in the dialog.
  const std::string sourcePath = module.argument.empty() ? std::string() : "/" + module.argument;
  job.files = std::make_unique<PageFiles>(sourcePath, static_cast<std::uint64_t>(job.sourceSize));
  job.options = PageOptions();
  PageRunUi ui;
  job.result = RunConversion(job.options, sourcePath, ui, *job.files);
  job.converted = true;
  std::string outcome = "failed";
  if (job.result.outcome == RunOutcome::kWritten) outcome = "written";
  if (job.result.outcome == RunOutcome::kNothingConverted) outcome = "nothingConverted";
  const std::string& outputPath = job.result.outputPath;
  const std::string outputName =
      outputPath.empty() ? std::string() : outputPath.substr(outputPath.rfind('/') + 1);
  module.result = "{\"outcome\":" + Quoted(outcome) + ",\"messages\":" + MessagesJson(ui) +
                  ",\"outputName\":" + Quoted(outputName) + "}";
  return module.result.size();
}

__attribute__((export_name("web_output_data"))) const char* WebOutputData() {
  const Job& job = State().job;
  return job.files && job.result.outcome == RunOutcome::kWritten ? job.files->output().data()
                                                                 : nullptr;
}

__attribute__((export_name("web_output_size"))) std::size_t WebOutputSize() {
  const Job& job = State().job;
  return job.files && job.result.outcome == RunOutcome::kWritten ? job.files->output().size() : 0;
}

// The notes of the job's source and of its output as inspect lists them,
// and the picture preview draws of the two: {"completed":..,"messages":[..],
// "table":..,"convertedTable":..|null,"picture":..}. The argument is the
// picture's title.
__attribute__((export_name("web_inspect"))) std::size_t WebInspect() {
  Module& module = State();
  Job& job = module.job;
  PageRunUi ui;
  std::string table;
  std::string convertedTable;
  NotePictureRequest request;
  request.title = module.argument;
  const std::string sourcePath = "/" + module.argument;
  if (!job.files) {
    job.files = std::make_unique<PageFiles>(sourcePath, static_cast<std::uint64_t>(job.sourceSize));
  }
  const RunOptions& options = job.converted ? job.options : PageOptions();
  bool completed =
      Inspect(sourcePath, options, *job.files, &request.original.notes, &table, &ui);
  request.original.verticalValueInput = options.verticalValueInput;
  request.original.caption = "as read";
  // The converted notes' caption as preview writes it, which names the
  // options as the command line would (preview has no line end to name).
  ConversionFlags flags = ConversionFlags::Of(options);
  flags.lineEnd = ConversionFlags().lineEnd;
  const std::string caption = "as converted with " + flags.Describe();
  if (completed && job.converted && job.result.outcome == RunOutcome::kNothingConverted) {
    request.converted = NoteSet{request.original.notes, options.verticalValueInput,
                                caption + " (nothing to convert)"};
  } else if (completed && job.converted && job.result.outcome == RunOutcome::kWritten) {
    RunOptions parsing = options;
    parsing.verticalValueInput = options.verticalValueOutput;
    parsing.sourceEncoding = options.outputEncoding;
    NoteSet converted{{}, parsing.verticalValueInput, caption};
    completed = Inspect(job.result.outputPath, parsing, *job.files, &converted.notes,
                        &convertedTable, &ui);
    request.converted = std::move(converted);
  }
  module.result = "{\"completed\":" + std::string(completed ? "true" : "false") +
                  ",\"messages\":" + MessagesJson(ui) + ",\"table\":" + Quoted(table) +
                  ",\"convertedTable\":" + (convertedTable.empty() ? "null" : Quoted(convertedTable)) +
                  ",\"picture\":" + (completed ? Quoted(DrawNotePicture(request)) : "null") + "}";
  return module.result.size();
}

}  // extern "C"
