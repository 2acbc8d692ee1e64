#include "run/source_listing.h"

#include <string>

#include "base/messages.h"
#include "run/source_reading.h"

namespace notora {

InspectionResult InspectSource(std::string_view sourcePath, const RunOptions& parsing,
                               NoteObserver& observer, RunUi& ui, FileSystem& files) {
  // The parser reads every note exactly as a conversion would but alters none.
  const RunOptions options = ReadOnlyOptions(parsing);
  SourceReading reading(options, std::string(sourcePath), &ui, &files, &observer);
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
