// EntityHandler: where the Parameter Data section hands each complete General
// Note (entity type 212) for parsing and conversion, and, when the handler
// asks for them, every other entity as well.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"
#include "iges/directory_table.h"

namespace notora {

// One complete entity as assembled from its P records.
struct ParameterEntity {
  // Index k of its Directory Entry (D records 2k-1 and 2k).
  std::int32_t entryIndex = 0;
  // Columns 1-64 of its P records joined, 64 bytes per record, as read.
  std::string_view parameterText;
  // N: the parameter line count of its Directory Entry, as read.
  std::int32_t parameterLineCount = 0;
  // L: the P sequence number of the entity's last record.
  std::int32_t lastRecordNumber = 0;
  // The Directory Entries of the file, for what an entity's pointers name
  // (null when nobody knows them).
  const DirectoryTable* table = nullptr;
};

// What became of an entity handed over.
struct RebuiltNote {
  // True when the note was changed; the fields below then replace its text.
  bool changed = false;
  // The new parameter text, 64 bytes per P record.
  std::string parameterText;
  // parameterText.size() / 64.
  std::int32_t lineCount = 0;
};

class EntityHandler {
 public:
  virtual ~EntityHandler() = default;
  // Parses, checks and converts one General Note. Returns an error (with the
  // message the user is shown) when the note is faulty; on success fills
  // `rebuilt` (rebuilt->changed false: the entity keeps its text as read).
  virtual Status HandleGeneralNote(const ParameterEntity& entity, RebuiltNote* rebuilt) = 0;

  // True when every entity of another type is to be handed to HandleEntity
  // too: their texts are then assembled, whatever the output does with them.
  virtual bool HandlesEveryEntity() const { return false; }
  // Reads one entity that is not a General Note, of type `entityType`, as
  // HandleGeneralNote reads a note.
  virtual Status HandleEntity(const ParameterEntity& /*entity*/, std::int32_t /*entityType*/,
                              RebuiltNote* /*rebuilt*/) {
    return Status::Ok();
  }
};

}  // namespace notora
