// ParameterSection: checks the P records against the DirectoryTable,
// assembles each entity's parameter text (columns 1-64 of its records
// joined), counts the entities holding Japanese bytes, hands every complete
// General Note to an EntityHandler, and hands every entity to the output as
// it completes: an unchanged entity that the output is waiting for goes out
// record by record, without its text being held.
#pragma once

#include <cstdint>
#include <string>

#include "base/run_counters.h"
#include "base/status.h"
#include "iges/directory_table.h"
#include "iges/entity_handler.h"
#include "iges/entity_output.h"
#include "iges/record_reader.h"
#include "iges/sequence_columns.h"

namespace notora {

class ParameterSection {
 public:
  // All pointers must outlive this object; `output` may be null (nothing is
  // written). `notes` receives every complete entity of type 212, and every
  // other one when it asks for them;
  // `parameterDelimiter` is the file's, `directoryRecords` the number of D
  // records before the first P record.
  ParameterSection(DirectoryTable* table, RunCounters* counters, EntityHandler* notes,
                   EntityOutput* output, char parameterDelimiter, std::int32_t directoryRecords);

  // Handles one P record (80 characters). Fails with the message of the
  // first check that fails, or with the message of a faulty General Note.
  Status HandleRecord(const Record& record);

  // Set when a Japanese byte has been read since the flag was last cleared;
  // D, S and G records and the completion of an entity clear it.
  void NoteRecordBytes(const Record& record) { kanjiSeen_ = kanjiSeen_ || record.hasJapaneseByte; }
  void ClearKanjiSeen() { kanjiSeen_ = false; }
  void MarkKanjiSeen() { kanjiSeen_ = true; }

 private:
  // What becomes of the records of the entity being read.
  enum class Keeping {
    kText,    // its text is assembled (a General Note, or one the output holds)
    kStream,  // its records go to the output as they come
    kNone,    // nothing needs them
  };

  Status CompleteEntity(std::int32_t k);
  // True when entity k's text is assembled for `notes`.
  bool Handled(const DirectoryEntry& entry) const {
    return handlesEvery_ || entry.entityType == kGeneralNoteType;
  }
  // Where the output wants entity k's records (dropped without an output).
  EntityRoute Route(std::int32_t k) const {
    return output_ != nullptr ? output_->Route(k) : EntityRoute::kDrop;
  }

  DirectoryTable* table_;
  RunCounters* counters_;
  EntityHandler* notes_;
  EntityOutput* output_;
  char parameterDelimiter_;
  std::int32_t directoryRecords_;
  const bool handlesEvery_;

  // The sequence number the next record must have, as its columns.
  SequenceColumns expectedSequence_;
  // The last pointer read (0: none yet) and its columns as they stood.
  std::int32_t lastPointer_ = 0;
  std::uint64_t lastPointerColumns_ = 0;

  std::int32_t currentEntry_ = 0;
  std::int32_t entityLinesRead_ = 0;
  Keeping keeping_ = Keeping::kNone;
  // The text of the entity being read (kText).
  std::string text_;
  // The first 64 bytes of the entity's text, and of the last entity
  // completed (its final text: a rebuilt note's own). An entity entered
  // after its first record, through a record that names it but is not at
  // its pointer, starts from what the last one left: its first 64 bytes.
  char firstLine_[kParameterDataWidth] = {};
  char lastFirstLine_[kParameterDataWidth] = {};
  bool haveLast_ = false;
  bool kanjiSeen_ = false;
};

}  // namespace notora
