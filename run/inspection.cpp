#include "run/inspection.h"

#include <algorithm>
#include <string>
#include <tuple>

#include "base/memory_guard.h"
#include "note/note_text.h"
#include "run/source_reading.h"

namespace notora {

InspectionResult InspectSource(std::string_view sourcePath, const RunOptions& parsing,
                               NoteObserver& observer, RunUi& ui, FileSystem& files,
                               bool fieldsOnly) {
  // The parser reads every note exactly as a conversion would but alters none.
  const RunOptions options = ReadOnlyOptions(parsing);
  SourceReading reading(options, std::string(sourcePath), &ui, &files, &observer,
                        fieldsOnly ? TextHandling::kFieldsOnly : TextHandling::kInspect);
  Status status = CheckSource(sourcePath, files);
  if (status.ok()) status = reading.Open();
  if (status.ok()) status = GuardMemory([&reading] { return reading.Read(/*output=*/nullptr); });
  if (status.ok()) status = reading.Close();
  InspectionResult result;
  result.completed = status.ok();
  result.counters = reading.counters();
  reading.End(&status);
  return result;
}

void InspectedNotes::OnNote(const ParameterEntity& entity, std::int32_t stringCount) {
  InspectedNote note;
  note.entry = entity.entryIndex;
  note.stringCount = stringCount;
  notes_.push_back(std::move(note));
}

void InspectedNotes::OnNoteString(const ParameterEntity& entity, std::int32_t stringNumber,
                                  std::int32_t stringCount, const NoteString& asRead,
                                  std::string_view text) {
  if (notes_.empty() || notes_.back().entry != entity.entryIndex) OnNote(entity, stringCount);
  InspectedString inspected;
  inspected.number = stringNumber;
  inspected.fields = asRead;
  inspected.text = DecodeNoteText(text, asRead.FC, encoding_, &inspected.validText);
  notes_.back().strings.push_back(std::move(inspected));
}

void InspectedNotes::OnNoteTail(const ParameterEntity& entity, const NoteTail& tail) {
  if (notes_.empty() || notes_.back().entry != entity.entryIndex) return;
  const auto lead = [&](const std::vector<NoteTail::Pointer>& pointers,
                        std::vector<InspectedPointer>* out) {
    for (const NoteTail::Pointer& pointer : pointers) {
      InspectedPointer inspected;
      inspected.d = pointer.value;
      const std::int32_t k = (pointer.value + 1) / 2;
      if (entity.table != nullptr && k <= entity.table->entityCount()) {
        inspected.type = entity.table->entry(k).entityType;
        inspected.form = entity.table->form(k);
      }
      out->push_back(inspected);
    }
  };
  lead(tail.backPointers, &notes_.back().backPointers);
  lead(tail.properties, &notes_.back().properties);
}

void InspectedNotes::OnDrawingText(const DrawingTextPlace& place, std::string_view text) {
  InspectedText inspected;
  inspected.place = place;
  inspected.text = DecodeNoteText(text, /*FC=*/0, encoding_, &inspected.validText);
  texts_.push_back(std::move(inspected));
}

std::vector<InspectedText> InspectedNotes::texts() const {
  // Labels are seen with the Directory Entry section, before the Start and
  // Global texts; each section's own texts come in file order.
  const auto order = [](const DrawingTextPlace& place) {
    using Section = DrawingTextPlace::Section;
    const int section = place.section == Section::kStart    ? 0
                        : place.section == Section::kGlobal ? 1
                                                            : 2;
    const int within = place.section == Section::kLabel ? -1 : place.field;
    return std::tuple(section, place.entry, within);
  };
  std::vector<InspectedText> sorted = texts_;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [&](const InspectedText& a, const InspectedText& b) {
                     return order(a.place) < order(b.place);
                   });
  return sorted;
}

std::int64_t CountStrings(const std::vector<InspectedNote>& notes) {
  std::int64_t total = 0;
  for (const InspectedNote& note : notes) total += static_cast<std::int64_t>(note.strings.size());
  return total;
}

}  // namespace notora
