// Inspecting a source: reading it as a conversion would (the same record
// reader, section checks and General Note parser) while changing nothing and
// writing nothing, with an observer that sees every string of every note;
// and InspectedNotes, the observer that keeps what it sees for a front end
// to show.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/run_counters.h"
#include "base/run_options.h"
#include "base/run_ui.h"
#include "iges/file_system.h"
#include "iges/record_format.h"
#include "note/note_observer.h"
#include "note/note_string.h"

namespace notora {

struct InspectionResult {
  // True when the whole source was read and closed without a fault.
  bool completed = false;
  // As they stood when the reading ended; convertedEntities stays 0.
  RunCounters counters;
};

// Reads `sourcePath` through `files`, handing every note and every string of
// every General Note to `observer` in file order. Of `parsing` only what
// decides how a note is read counts (zeroColumnsIsError, verticalValueInput,
// sourceEncoding, fullWidthFallback); nothing is converted whatever its
// conversion choices say. A fault (no source, an unreadable source, a faulty
// record, section or note, a cancel) is shown through `ui` with the message
// a conversion would show, and ends the reading with `completed` false; a
// TEXT whose bytes are invalid in the source encoding is no fault (the
// observer judges it). With `fieldsOnly` the TEXT of a string is not read at
// all, only handed to the observer. unconvertibleChars counts the characters
// without a code page 932 counterpart. No report is shown: the caller
// presents the counters.
InspectionResult InspectSource(std::string_view sourcePath, const RunOptions& parsing,
                               NoteObserver& observer, RunUi& ui,
                               FileSystem& files = SystemFileSystem(), bool fieldsOnly = false);

struct InspectedString {
  // From 1 to the note's NS.
  std::int32_t number = 0;
  // The fields as they stand in the file (WT and HT before any option).
  NoteString fields;
  // TEXT decoded to UTF-8 (DecodeNoteText).
  std::string text;
  // False when TEXT holds a byte sequence that is invalid in the encoding it
  // was read in.
  bool validText = true;
};

// An entity a note's pointer leads to.
struct InspectedPointer {
  std::int32_t d = 0;  // the sequence number of its first D record
  std::int32_t type = 0;
  std::int32_t form = 0;
};

struct InspectedNote {
  // Entry k of the Directory Entry section: D records 2k-1 and 2k.
  std::int32_t entry = 0;
  std::int64_t directoryNumber() const { return FirstDirectoryRecord(entry); }
  // NS as read.
  std::int32_t stringCount = 0;
  std::vector<InspectedString> strings;
  // The pointers after its last string, when they could be read: the
  // associativities that point back to it, and its properties.
  std::vector<InspectedPointer> backPointers;
  std::vector<InspectedPointer> properties;
};

// One text of the drawing besides the notes' strings.
struct InspectedText {
  DrawingTextPlace place;
  // Decoded to UTF-8 as a note's text is (DecodeNoteText).
  std::string text;
  // False when it holds a byte sequence that is invalid in the encoding it
  // was read in.
  bool validText = true;
};

// Keeps every General Note an inspection shows, those with no strings
// included, string by string, its text decoded from `encoding`; with
// `drawingTexts`, every other text of the drawing as well.
class InspectedNotes : public NoteObserver {
 public:
  explicit InspectedNotes(TextEncoding encoding = TextEncoding::kShiftJis,
                          bool drawingTexts = false)
      : encoding_(encoding), drawingTexts_(drawingTexts) {}

  void OnNote(const ParameterEntity& entity, std::int32_t stringCount) override;
  void OnNoteString(const ParameterEntity& entity, std::int32_t stringNumber,
                    std::int32_t stringCount, const NoteString& asRead,
                    std::string_view text) override;

  void OnNoteTail(const ParameterEntity& entity, const NoteTail& tail) override;
  bool WantsDrawingTexts() const override { return drawingTexts_; }
  void OnDrawingText(const DrawingTextPlace& place, std::string_view text) override;

  // The notes in file order.
  const std::vector<InspectedNote>& notes() const { return notes_; }
  // The other texts: the Start section's, the Global section's, then entity
  // by entity its label and its strings.
  std::vector<InspectedText> texts() const;

 private:
  TextEncoding encoding_;
  bool drawingTexts_;
  std::vector<InspectedNote> notes_;
  std::vector<InspectedText> texts_;
};

// The number of strings of all `notes`.
std::int64_t CountStrings(const std::vector<InspectedNote>& notes);

}  // namespace notora
