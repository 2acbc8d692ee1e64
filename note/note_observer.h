// NoteObserver: a read-only view of every text string a General Note holds.
#pragma once

#include <cstdint>
#include <string_view>

#include "iges/entity_handler.h"
#include "note/note_string.h"

namespace notora {

class NoteObserver {
 public:
  virtual ~NoteObserver() = default;

  // Called once for every General Note whose string count `stringCount` (NS)
  // has been read and accepted, before any of its strings; also for a note
  // with no strings, which no OnNoteString follows.
  virtual void OnNote(const GeneralNoteEntity& /*entity*/, std::int32_t /*stringCount*/) {}

  // Called once for every text string of a General Note, in order, after its
  // fields have been read and checked and before its TEXT is walked and
  // converted. `stringNumber` runs from 1 to `stringCount`. `asRead` holds the
  // fields as they stand in the file: NC as written, WT and HT before the
  // negative-width and vertical-value options are applied. `text` is the
  // string's TEXT as it stands in the file, in the source encoding, a view
  // into entity.parameterText valid during the call.
  virtual void OnNoteString(const GeneralNoteEntity& entity, std::int32_t stringNumber,
                            std::int32_t stringCount, const NoteString& asRead,
                            std::string_view text) = 0;
};

}  // namespace notora
