#include "run/inspection.h"

#include <string>

#include "note/note_text.h"
#include "run/source_reading.h"

namespace notora {

InspectionResult InspectSource(std::string_view sourcePath, const RunOptions& parsing,
                               NoteObserver& observer, RunUi& ui, FileSystem& files) {
  // The parser reads every note exactly as a conversion would but alters none.
  const RunOptions options = ReadOnlyOptions(parsing);
  SourceReading reading(options, std::string(sourcePath), &ui, &files, &observer);
  Status status = CheckSource(sourcePath, files);
  if (status.ok()) status = reading.Open();
  if (status.ok()) status = reading.Read();
  if (status.ok()) status = reading.Close();
  InspectionResult result;
  result.completed = status.ok();
  result.counters = reading.counters();
  reading.End(&status);
  return result;
}

void InspectedNotes::OnNoteString(const GeneralNoteEntity& entity, std::int32_t stringNumber,
                                  std::int32_t stringCount, const NoteString& asRead,
                                  std::string_view text) {
  if (stringNumber == 1 || notes_.empty() || notes_.back().entry != entity.entryIndex) {
    InspectedNote note;
    note.entry = entity.entryIndex;
    note.stringCount = stringCount;
    notes_.push_back(std::move(note));
  }
  InspectedString inspected;
  inspected.number = stringNumber;
  inspected.fields = asRead;
  inspected.text = DecodeNoteText(text, asRead.FC);
  notes_.back().strings.push_back(std::move(inspected));
}

std::int64_t CountStrings(const std::vector<InspectedNote>& notes) {
  std::int64_t total = 0;
  for (const InspectedNote& note : notes) total += static_cast<std::int64_t>(note.strings.size());
  return total;
}

}  // namespace notora
