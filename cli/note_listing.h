// NoteListing: every General Note of a source, string by string, as an
// inspection or a preview shows it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "iges/record_format.h"
#include "note/note_observer.h"
#include "note/note_string.h"

namespace notora {

struct ListedString {
  // From 1 to the note's NS.
  std::int32_t number = 0;
  // The fields as they stand in the file (WT and HT before any option).
  NoteString fields;
  // TEXT decoded to UTF-8 (DecodeNoteText).
  std::string text;
};

struct ListedNote {
  // Entry k of the Directory Entry section: D records 2k-1 and 2k.
  std::int32_t entry = 0;
  std::int64_t directoryNumber() const { return FirstDirectoryRecord(entry); }
  // NS as read.
  std::int32_t stringCount = 0;
  std::vector<ListedString> strings;
};

// Collects what a NoteObserver is shown. A note with no strings is never
// shown to an observer, so it is not listed.
class NoteListing : public NoteObserver {
 public:
  void OnNoteString(const GeneralNoteEntity& entity, std::int32_t stringNumber,
                    std::int32_t stringCount, const NoteString& asRead,
                    std::string_view text) override;

  // The notes in file order.
  const std::vector<ListedNote>& notes() const { return notes_; }

 private:
  std::vector<ListedNote> notes_;
};

// The number of strings of all `notes`.
std::int64_t CountStrings(const std::vector<ListedNote>& notes);

}  // namespace notora
