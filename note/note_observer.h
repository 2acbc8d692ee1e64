// NoteObserver: a read-only view of every text string a General Note holds,
// and, for an observer that asks for them, of every other text of the
// drawing.
#pragma once

#include <cstdint>
#include <string_view>

#include "iges/entity_handler.h"
#include "note/note_string.h"
#include "note/note_tail.h"

namespace notora {

// Where a text of the drawing other than a General Note's string stands.
struct DrawingTextPlace {
  enum class Section {
    kStart,   // an S record's text: `field` is the record's number
    kGlobal,  // a string of the Global section: `field` is its parameter's number
    kEntity,  // a string of entity `entry`: `field` is its parameter's number
    kLabel,   // the label of entity `entry`
  };
  Section section = Section::kStart;
  std::int32_t field = 0;
  // Entry k of the Directory Entry section, and its entity type.
  std::int32_t entry = 0;
  std::int32_t entityType = 0;
};

class NoteObserver {
 public:
  virtual ~NoteObserver() = default;

  // Called once for every General Note whose string count `stringCount` (NS)
  // has been read and accepted, before any of its strings; also for a note
  // with no strings, which no OnNoteString follows.
  virtual void OnNote(const ParameterEntity& /*entity*/, std::int32_t /*stringCount*/) {}

  // Called once for every text string of a General Note, in order, after its
  // fields have been read and checked and before its TEXT is walked and
  // converted. `stringNumber` runs from 1 to `stringCount`. `asRead` holds the
  // fields as they stand in the file: NC as written, WT and HT before the
  // negative-width and vertical-value options are applied. `text` is the
  // string's TEXT as it stands in the file, in the source encoding, a view
  // into entity.parameterText valid during the call.
  virtual void OnNoteString(const ParameterEntity& entity, std::int32_t stringNumber,
                            std::int32_t stringCount, const NoteString& asRead,
                            std::string_view text) = 0;

  // Called for every General Note whose tail (the pointers after its last
  // string) is of the form ReadNoteTail reads, after its strings; an
  // inspection only.
  virtual void OnNoteTail(const ParameterEntity& /*entity*/, const NoteTail& /*tail*/) {}

  // True when the observer is to see every other text of the drawing too
  // (OnDrawingText): the reading then assembles every entity.
  virtual bool WantsDrawingTexts() const { return false; }
  // One text of the drawing, as it stands in the file (in the source
  // encoding), at `place`: the text of every S record that is not blank,
  // every string of the Global section and of every entity but the General
  // Notes, every label that is not blank; each in file order within its
  // section. A view valid during the call.
  virtual void OnDrawingText(const DrawingTextPlace& /*place*/, std::string_view /*text*/) {}
};

}  // namespace notora
