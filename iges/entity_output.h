// EntityOutput: where the Parameter Data section hands every entity as it is
// read, for the output (OutputWriter) or for tests that look at the texts.
//
// For each entity the section asks once, at its first record, where its
// records go (Route). An entity that streams hands every record over as it
// is read (StreamLine) and ends with EntityStreamed; one held hands its
// whole text over when it is complete (EntityText); one dropped hands
// nothing. A General Note is always assembled, and handed over as a text
// unless it is dropped. After every record, RecordsPassed.
#pragma once

#include <cstdint>
#include <string_view>

#include "iges/directory_table.h"
#include "iges/section_scan.h"

namespace notora {

// What becomes of an entity's records as they are read.
enum class EntityRoute {
  kStream,  // the output waits for it: each record goes out as it is read
  kHold,    // its text is assembled and handed over when it is complete
  kDrop,    // nothing needs it
};

class EntityOutput {
 public:
  virtual ~EntityOutput() = default;
  // The first P record has been read: the sections before it are those of
  // `scan`, and the `entities` entities of `*table` are final but for their
  // output line counts. Both must stay until the output ends.
  virtual void Begin(const SectionScan& scan, const DirectoryTable* table,
                     std::int32_t entities) = 0;
  // Where the records of entity k go.
  virtual EntityRoute Route(std::int32_t k) const = 0;
  // One record of the entity that streams: columns 1-64 at `data`.
  virtual void StreamLine(const char* data) = 0;
  // The entity that streams is complete.
  virtual void EntityStreamed(std::int32_t k) = 0;
  // Entity k is complete with `text`, which is to fill `lineCount` records.
  virtual void EntityText(std::int32_t k, std::string_view text, std::int32_t lineCount) = 0;
  // P record `recordNumber` has been handled.
  virtual void RecordsPassed(std::int32_t recordNumber) = 0;
};

}  // namespace notora
