// OutputWriter: the output file, written while the source is read.
//
// The output is the Start and Global sections copied, the Directory Entry
// section rewritten with new parameter pointers and line counts, the
// Parameter Data section renumbered from 1 in the order of the entries, and
// a new Terminate record. The writer composes four parts:
//   - HeadLayout, the sections before the Parameter Data, whose size is
//     known at the first P record (Begin) and whose D records are written
//     as their entities go out;
//   - EntityOrder, which entity goes out next, and the entities held until
//     their turn;
//   - BlockWriter, the blocks and the thread that writes them behind the
//     run;
//   - RecordText, the columns of each record.
// At the end (Finish) the file is flushed to stable storage and given its
// name.
//
// Nothing stands under the output's name until then: any fault, a cancel or
// a source that converts nothing gives the output up (Discard). A fault of
// the output itself (it cannot be created, a written text that does not fit
// its line count, a full disk) is kept while the source is read, and shown
// by Finish only when the source had none.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/messages.h"
#include "base/platform.h"
#include "base/run_counters.h"
#include "base/run_ui.h"
#include "base/status.h"
#include "iges/block_writer.h"
#include "iges/directory_table.h"
#include "iges/entity_order.h"
#include "iges/entity_output.h"
#include "iges/file_system.h"
#include "iges/head_layout.h"
#include "iges/record_text.h"
#include "iges/section_scan.h"
#include "iges/sequence_columns.h"

namespace notora {

class OutputWriter : public EntityOutput {
 public:
  // The output that is to stand at `outputPath`, its lines ended by
  // `lineEnd`, or, with `lineEndFromSource`, as the source's first record
  // ends (by `lineEnd` when that has no line end). The pointers must
  // outlive the writer.
  OutputWriter(FileSystem* files, std::string outputPath, LineEnd lineEnd, bool lineEndFromSource,
               RunUi* ui);
  ~OutputWriter() override;
  OutputWriter(const OutputWriter&) = delete;
  OutputWriter& operator=(const OutputWriter&) = delete;

  // Creates the output aside, before the source is read (where a folder
  // can only name a file by replacing one, its name is reserved now,
  // empty). A failure is kept like the output's other faults: Finish shows
  // it, unless the source had a fault of its own. Begin calls it when
  // nobody did.
  void Open();

  // Entities held until their turn are kept in memory up to `bytes`, and
  // past it in a scratch file beside the output. Before Begin.
  void SetHeldMemoryBudget(std::uint64_t bytes) { heldMemoryBudget_ = bytes; }

  // Creates the output aside, unless Open did, and lays it out for
  // `entities` entities of `*table` after the sections of `scan`. Called
  // once, at the first P record; `*table` and `scan` must stay as they are
  // (but for the output line counts) until Finish.
  void Begin(const SectionScan& scan, const DirectoryTable* table, std::int32_t entities) override;
  // True once Begin laid the output out: only then can it be finished.
  bool begun() const { return head_ != nullptr; }

  // Entity k streams when it is the next entity the output is waiting for;
  // any other is held while the output still goes on.
  EntityRoute Route(std::int32_t k) const override;
  void StreamLine(const char* data) override;
  void EntityStreamed(std::int32_t k) override;
  void EntityText(std::int32_t k, std::string_view text, std::int32_t lineCount) override;
  // An entity waited for whose last record lies at or before
  // `recordNumber` can no longer complete.
  void RecordsPassed(std::int32_t recordNumber) override;

  // After the whole source was read without a fault: writes what is left,
  // flushes the file to stable storage and gives it its name. Fails with the
  // output's fault when it had one, a cancel polled through the user
  // interface, or OutputExists when the name was taken meanwhile; the output
  // is then given up. Sets counters->parameterRecords to the P records
  // written.
  Status Finish(RunCounters* counters);
  // Gives the output up (nothing is left of it). Idempotent.
  void Discard();

 private:
  // Writes entity next's records from `text` and moves on; a text that does
  // not fill its line count is the output's fault.
  void WriteEntity(std::string_view text, std::int32_t lineCount);
  // Moves past the entities that are held or have no records, and stops
  // the output at one that can no longer complete.
  void ResolveNext(std::int64_t recordNumber);
  // Waits for the next entity; the D records of those written may go out.
  void AdvanceNext();
  // One P record of the entity written now: columns 1-64 at `data`.
  void PutParameterRecord(const char* data);
  void Stop(MessageId fault);
  // The message of a failed write or flush: for want of memory, or of the
  // file.
  MessageId WriteFault();
  // Writes the rest of the head; fails on a cancel, polled once for every
  // entity as the last section is finished.
  Status FinishHead();

  FileSystem* files_;
  std::string outputPath_;
  LineEnd lineEnd_;
  bool lineEndFromSource_;
  RunUi* ui_;

  std::unique_ptr<OutputFile> file_;
  std::unique_ptr<HeadLayout> head_;
  std::unique_ptr<EntityOrder> order_;
  std::unique_ptr<BlockWriter> blocks_;
  LineEndBytes lineEndBytes_{"\n"};
  std::uint64_t heldMemoryBudget_ = EntityOrder::kMemoryBudget;
  bool opened_ = false;            // Open was called
  MessageId openFault_ = MessageId::OutputOpenFailed;  // when file_ is null
  bool live_ = false;              // P records still go out
  bool stopped_ = false;           // the output met a fault of its own
  MessageId fault_ = MessageId::OutputWriteError;
  std::int64_t written_ = 0;       // P records written
  std::int64_t writtenBeforeNext_ = 0;  // when the entity written now became next
  std::int32_t lastRecord_ = 0;    // the last source P record handled
  SequenceColumns sequence_;       // of the last P record written
  ParameterRecordTail tail_;       // columns 65-73 of the entity written now
};

}  // namespace notora
