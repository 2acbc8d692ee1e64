#include "cli/note_listing.h"

#include "cli/note_text.h"

namespace notora {

void NoteListing::OnNote(const GeneralNoteEntity& entity, std::int32_t stringCount) {
  ListedNote note;
  note.entry = entity.entryIndex;
  note.stringCount = stringCount;
  notes_.push_back(std::move(note));
}

void NoteListing::OnNoteString(const GeneralNoteEntity& entity, std::int32_t stringNumber,
                               std::int32_t stringCount, const NoteString& asRead,
                               std::string_view text) {
  if (notes_.empty() || notes_.back().entry != entity.entryIndex) OnNote(entity, stringCount);
  ListedString listed;
  listed.number = stringNumber;
  listed.fields = asRead;
  listed.text = DecodeNoteText(text, asRead.FC, encoding_, &listed.validText);
  notes_.back().strings.push_back(std::move(listed));
}

std::int64_t CountStrings(const std::vector<ListedNote>& notes) {
  std::int64_t total = 0;
  for (const ListedNote& note : notes) total += static_cast<std::int64_t>(note.strings.size());
  return total;
}

}  // namespace notora
