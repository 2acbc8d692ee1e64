// ParameterSection: checks the P records in the second pass against the
// DirectoryTable, assembles each entity's parameter text (columns 1-64 of its
// records joined), counts the entities holding Japanese bytes, and hands
// every complete General Note to an EntityHandler.
#pragma once

#include <cstdint>
#include <string>

#include "iges/directory_table.h"
#include "iges/entity_handler.h"
#include "iges/record_reader.h"
#include "base/run_counters.h"
#include "base/status.h"

namespace notora {

class ParameterSection {
 public:
  // All pointers must outlive this object. `notes` receives every complete
  // entity of type 212; `parameterDelimiter` is the file's.
  ParameterSection(DirectoryTable* table, RunCounters* counters, EntityHandler* notes,
                   char parameterDelimiter, std::int32_t directoryRecords);

  // Handles one P record (80 characters). Fails with the message of the
  // first check that fails, or with the message of a faulty General Note.
  Status HandleRecord(const Record& record);

  // Set when a Japanese byte has been read since the flag was last cleared;
  // D, S and G records and the completion of an entity clear it.
  void NoteRecordBytes(const Record& record) { kanjiSeen_ = kanjiSeen_ || record.hasJapaneseByte; }
  void ClearKanjiSeen() { kanjiSeen_ = false; }

 private:
  // The text of the entity being assembled: a run of consecutive records of
  // the source (the usual case, no copy), or an owned string.
  struct AssembledText {
    bool owned = false;
    std::uint64_t firstOffset = 0;       // the run's first record
    std::int32_t lines = 0;              // records in the run
    std::int32_t lastRecordNumber = 0;   // the run's last record, by number in the file
    std::string text;                    // when owned
    std::uint64_t length() const { return owned ? text.size() : std::uint64_t(lines) * kParameterDataWidth; }
  };

  void Append(const Record& record, std::int32_t linesRead);
  void Materialize();
  Status CompleteEntity(std::int32_t k, std::int32_t lastRecordNumber);

  DirectoryTable* table_;
  RunCounters* counters_;
  EntityHandler* notes_;
  char parameterDelimiter_;
  std::int32_t directoryRecords_;

  std::int32_t currentEntry_ = 0;
  std::int32_t entityLinesRead_ = 0;
  AssembledText assembled_;
  std::string noteScratch_;  // a note's text when its records must be joined
  bool kanjiSeen_ = false;
};

}  // namespace notora
