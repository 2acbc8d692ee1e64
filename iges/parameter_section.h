// ParameterSection: checks the P records in the second pass against the
// DirectoryTable, assembles each entity's parameter text (columns 1-64 of its
// records joined), counts the entities holding Japanese bytes, and hands
// every complete General Note to an EntityHandler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "iges/directory_table.h"
#include "iges/entity_handler.h"
#include "iges/record_reader.h"
#include "iges/sequence_columns.h"
#include "iges/source_stream.h"
#include "base/run_counters.h"
#include "base/status.h"

namespace notora {

class ParameterSection {
 public:
  // All pointers must outlive this object. `notes` receives every complete
  // entity of type 212; `parameterDelimiter` is the file's. `source` is the
  // stream the records come from (for the rare note text that must be
  // joined from records read long before).
  ParameterSection(DirectoryTable* table, RunCounters* counters, EntityHandler* notes,
                   char parameterDelimiter, std::int32_t directoryRecords, SourceStream* source);

  // Handles one P record (80 characters). Fails with the message of the
  // first check that fails, or with the message of a faulty General Note.
  Status HandleRecord(const Record& record);

  // Set when a Japanese byte has been read since the flag was last cleared;
  // D, S and G records and the completion of an entity clear it.
  void NoteRecordBytes(const Record& record) { kanjiSeen_ = kanjiSeen_ || record.hasJapaneseByte; }
  void ClearKanjiSeen() { kanjiSeen_ = false; }

 private:
  // The text of the entity being assembled, as pieces: runs of consecutive
  // records of the source (the usual case is one run, no copy) and owned
  // bytes (a rebuilt note that a later record found left in the text).
  struct AssembledText {
    std::vector<TextPiece> pieces;
    std::vector<std::string> owned;
    std::uint64_t length = 0;
    // The last piece is a run ending at this record (by number in the file):
    // the record after it extends the run.
    std::int32_t runEndsAt = -1;
    void Clear() {
      pieces.clear();
      owned.clear();
      length = 0;
      runEndsAt = -1;
    }
  };

  void Append(const Record& record, std::int32_t linesRead);
  void Cut(std::uint64_t target);
  // Joins the assembled text into noteText_ from its pieces, reading runs
  // back from the source; fails with a read error on record `recordNumber`.
  Status JoinNoteText(std::int32_t recordNumber);
  Status CompleteEntity(std::int32_t k, const Record& record);

  DirectoryTable* table_;
  RunCounters* counters_;
  EntityHandler* notes_;
  char parameterDelimiter_;
  std::int32_t directoryRecords_;
  SourceStream* source_;

  // The sequence number the next record must have, as its columns.
  SequenceColumns expectedSequence_;
  // The last pointer read (0: none yet) and its columns as they stood.
  std::int32_t lastPointer_ = 0;
  std::uint64_t lastPointerColumns_ = 0;

  std::int32_t currentEntry_ = 0;
  std::int32_t entityLinesRead_ = 0;
  AssembledText assembled_;
  // The assembled text's bytes, kept while tracking_ (from the first record
  // of a General Note on): what the note parser reads.
  std::string noteText_;
  bool tracking_ = false;
  bool kanjiSeen_ = false;
};

}  // namespace notora
