// The General Note (IGES entity type 212) parser and converter.
//
// GeneralNoteConverter reads a note's fields one by one, checks them, counts
// the strings with JIS-code text, vertical writing and negative widths, cuts
// every string's TEXT into segments and converts each into a text block
// (ConvertNoteSegment). A note in which anything changed is closed by the
// parameter data emitter and its new parameter text replaces the old one; a
// note with no change keeps its text as read. Every fault in a note ends the
// run with one message naming the P record of the fault.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "iges/entity_handler.h"
#include "note/cp932.h"
#include "note/field_reader.h"
#include "note/note_observer.h"
#include "note/note_string.h"
#include "note/note_tail.h"
#include "note/parameter_emitter.h"
#include "note/parameter_lines.h"
#include "base/run_counters.h"
#include "base/run_options.h"
#include "base/status.h"

namespace notora {

// One General Note while it is parsed.
struct GeneralNote {
  // The entity's parameter text as read, and where it lies in the section.
  std::string_view parameterText;
  ParameterLines lines;
  FieldCursor cursor;
  // NS, the number of text strings.
  std::int32_t NS = 0;
  // The rebuilt parameter text: a header record, written when the note is
  // closed, and the text blocks after it.
  ParameterEmitter emitter;
  // Text blocks written so far; the NS of the rebuilt note.
  std::int32_t emittedStrings = 0;
  // Characters of the current string's TEXT (vertical strings only).
  std::int32_t stringChars = 0;
  // Non-zero once anything of the note has been altered.
  std::int32_t changeCount = 0;
  // A vertical string of the note is made horizontal: the strings after it
  // take other numbers.
  bool madeHorizontal = false;
  // The pointers after the last string, when they are read.
  NoteTail tail;
  // The current string's TEXT in code page 932 when it was read in another
  // encoding, and for each of its bytes the index in TEXT of the character
  // it came from.
  std::string cp932Text;
  std::vector<std::int32_t> sourceIndices;
  // The current string's TEXT as the output encoding writes it.
  std::string outputText;
};

// What the converter does with the TEXT of each string.
enum class TextHandling {
  // Read in the source encoding, walked and converted; a byte sequence that
  // is invalid in the source encoding is a fault.
  kConvert,
  // Read and walked with the checks of a conversion, for an inspection: a
  // TEXT with an invalid byte sequence is no fault and is not walked (the
  // observer sees it as it stands), and no change is made.
  kInspect,
  // Neither read nor walked: only the fields are read and checked.
  kFieldsOnly,
};

class GeneralNoteConverter : public EntityHandler {
 public:
  // `options` and `counters` must outlive the converter. The delimiters are
  // the file's, from its Global section.
  GeneralNoteConverter(const RunOptions& options, RunCounters& counters,
                       char parameterDelimiter, char recordDelimiter);

  // Sees every string of every note from now on; null (the default) for none.
  // The observer must outlive its use here.
  void SetObserver(NoteObserver* observer) { observer_ = observer; }

  // How the TEXT of every string is treated from now on; kConvert unless set.
  void SetTextHandling(TextHandling handling) { textHandling_ = handling; }

  // Parses, checks and converts one note. Counts jisCodeElements,
  // verticalElements, negativeWidthElements, unconvertibleChars and, for a
  // rebuilt note, convertedEntities.
  Status HandleGeneralNote(const ParameterEntity& entity, RebuiltNote* rebuilt) override;

 private:
  Status ReadInteger(MessageId fieldName, std::int32_t* value);
  Status ReadReal(MessageId fieldName, double* value);
  // Reads, checks and converts the next string of the note.
  Status ConvertString(const ParameterEntity& entity, std::int32_t stringNumber);
  // Reads the TEXT `text` of `string` (which starts at the cursor) into
  // code page 932 and walks it.
  Status ReadText(NoteString* string, std::string_view text);
  // Walks `text`, the code page 932 form of the TEXT of `sourceLength`
  // bytes at the cursor, and converts it segment by segment; leaves the
  // cursor on the byte after TEXT. With `transcoded`, note_.sourceIndices
  // tells where each byte came from.
  Status WalkText(NoteString* string, std::string_view text, std::int32_t sourceLength,
                  bool transcoded);
  // Moves the cursor past the TEXT of `sourceLength` bytes at the cursor.
  void SkipText(std::int32_t sourceLength);
  void EmitSegment(NoteString* string, std::string_view text, std::int32_t start,
                   std::int32_t length, cp932::CharClass charClass);
  // An error `id` naming the P record of byte `index`.
  Status NoteError(MessageId id, std::int64_t index) const;
  // Closes the rebuilt note: its tail checked (and, with keepPointers,
  // carried over) and its header written.
  Status CloseNote(const ParameterEntity& entity);

  const RunOptions& options_;
  RunCounters& counters_;
  const char parameterDelimiter_;
  const char recordDelimiter_;
  NoteObserver* observer_ = nullptr;
  TextHandling textHandling_ = TextHandling::kConvert;
  // Reused from note to note, so that its storage is allocated once.
  GeneralNote note_;
  // Bytes of rebuilt text per byte of parameter text in the note rebuilt
  // last: the room the next note's text is given up front, so that it seldom
  // has to grow.
  double rebuiltGrowth_ = 0.0;
};

}  // namespace notora
