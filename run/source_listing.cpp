#include "run/source_listing.h"

#include <string>

#include "base/messages.h"
#include "run/source_reading.h"

namespace notora {
namespace {

// Options under which the parser reads every note exactly as a conversion
// would but alters none: no text conversion, no vertical strings made
// horizontal, negative widths kept, box values left where they are, text
// read in the source encoding and written in none.
RunOptions ReadOnly(const RunOptions& parsing) {
  RunOptions options = parsing;
  options.conversionMode = 2;
  options.verticalToHorizontal = 0;
  options.negativeWidthMode = 1;
  options.verticalValueOutput = options.verticalValueInput;
  options.outputEncoding = TextEncoding::kShiftJis;
  return options;
}

}  // namespace

InspectionResult InspectSource(std::string_view sourcePath, const RunOptions& parsing,
                               NoteObserver& observer, RunUi& ui, FileSystem& files,
                               bool fieldsOnly) {
  const RunOptions options = ReadOnly(parsing);
  SourceReading reading(options, std::string(sourcePath), &ui, &files, &observer,
                        fieldsOnly ? TextHandling::kFieldsOnly : TextHandling::kInspect);
  Status status = Status::Ok();
  if (sourcePath.empty()) {
    status = Status::Error(MessageId::NoSourceSelected);
  } else if (!files.Exists(std::string(sourcePath), /*followLinks=*/true)) {
    status = Status::Error(MessageId::SourceMissing);
  }
  if (status.ok()) status = reading.Open();
  if (status.ok()) status = reading.Read();
  if (status.ok()) status = reading.Close();
  InspectionResult result;
  result.completed = status.ok();
  result.counters = reading.counters();
  reading.End(&status);
  return result;
}

}  // namespace notora
