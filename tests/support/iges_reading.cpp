#include "tests/support/iges_reading.h"

#include <memory>

#include "iges/directory_table.h"
#include "iges/memory_file_system.h"
#include "iges/record_reader.h"
#include "iges/second_pass.h"
#include "iges/source_buffer.h"
#include "note/general_note.h"

namespace notora::testing {
namespace {

// A RunUi that shows nothing and never cancels.
class QuietUi : public RunUi {
 public:
  void ShowMessage(MessageKind, std::string_view) override {}
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  void ShowProgress(std::int32_t) override {}
  bool PollCancel() override { return false; }
};

// Notes kept as read, or converted; either way it remembers which changed.
class RecordingNotes : public EntityHandler {
 public:
  RecordingNotes(const RunOptions* options, RunCounters& counters, const SectionScan& scan) {
    if (options != nullptr) {
      converter_ = std::make_unique<GeneralNoteConverter>(*options, counters, scan.parameterDelimiter,
                                                          scan.recordDelimiter);
    }
  }
  Status HandleGeneralNote(const GeneralNoteEntity& entity, RebuiltNote* rebuilt) override {
    if (converter_ == nullptr) return Status::Ok();
    Status status = converter_->HandleGeneralNote(entity, rebuilt);
    if (status.ok() && rebuilt->changed) changed.push_back(entity.entryIndex);
    return status;
  }
  std::vector<std::int32_t> changed;

 private:
  std::unique_ptr<GeneralNoteConverter> converter_;
};

}  // namespace

IgesReading ReadIgesBytes(std::string_view bytes, const RunOptions* options) {
  IgesReading reading;
  SourceBuffer source(OpenMemoryInput(std::string(bytes)));
  QuietUi ui;
  RecordReader reader(&source, &ui);
  reading.status = ScanSections(&reader, &reading.scan, &reading.counters);
  if (!reading.status.ok()) return reading;
  DirectoryTable table(&source, reading.counters.directoryRecords / 2);
  RecordingNotes notes(options, reading.counters, reading.scan);
  reading.status = ReadEntities(&reader, reading.scan, &table, &reading.counters, &notes);
  if (!reading.status.ok()) return reading;

  // The T record: the last record whose letter is T.
  std::string_view all = source.bytes();
  for (std::size_t end = all.size(); end > 0;) {
    std::size_t start = all.rfind('\n', end - 1);
    start = start == std::string_view::npos ? 0 : start + 1;
    std::string_view line = all.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() >= kSectionLetterColumn && line[kSectionLetterColumn - 1] == 'T') {
      reading.terminateRecord = std::string(line);
      break;
    }
    if (start == 0) break;
    end = start - 1;
  }

  for (std::int32_t k = 1; k <= table.entityCount(); ++k) {
    const DirectoryEntry& entry = table.entry(k);
    EntityReading entity;
    entity.entityType = entry.entityType;
    entity.lineCount = entry.outputLineCount;
    entity.copiedDirectoryFields = std::string(table.fields3to9(k)) +
                                   std::string(table.fields12to13(k)) +
                                   std::string(table.fields15to19(k));
    entity.parameterText = table.Text(k);
    reading.entities.push_back(std::move(entity));
  }
  for (std::int32_t k : notes.changed) reading.entities[static_cast<std::size_t>(k) - 1].changed = true;
  return reading;
}

}  // namespace notora::testing
