#include "tests/support/iges_reading.h"

#include <algorithm>
#include <memory>

#include <map>

#include "iges/directory_table.h"
#include "iges/numeric_field.h"
#include "iges/record_format.h"
#include "iges/record_reader.h"
#include "iges/source_stream.h"
#include "iges/source_sweep.h"
#include "note/drawing_text.h"
#include "note/general_note.h"
#include "tests/support/faulty_files.h"

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

// Notes kept as read, or converted; under options that write another
// encoding, every other text of the drawing as a run carries it over. Either
// way it remembers which entities changed.
class RecordingNotes : public EntityHandler {
 public:
  RecordingNotes(const RunOptions* options, RunCounters& counters) {
    if (options != nullptr && TranscodesDrawing(*options)) {
      drawing_ = std::make_unique<DrawingTexts>(*options, counters, /*observer=*/nullptr);
    }
  }
  // The run's head texts and labels first; the notes' converter once the
  // delimiters are known.
  DrawingTexts* drawing() { return drawing_.get(); }
  void BeginEntities(const RunOptions* options, RunCounters& counters, const SectionScan& scan) {
    if (options == nullptr) return;
    converter_ = std::make_unique<GeneralNoteConverter>(*options, counters, scan.parameterDelimiter,
                                                        scan.recordDelimiter);
    if (drawing_ != nullptr) drawing_->SetNotes(converter_.get());
  }
  Status HandleGeneralNote(const ParameterEntity& entity, RebuiltNote* rebuilt) override {
    if (converter_ == nullptr) return Status::Ok();
    return Keep(entity, rebuilt, converter_->HandleGeneralNote(entity, rebuilt));
  }
  bool HandlesEveryEntity() const override { return drawing_ != nullptr; }
  Status HandleEntity(const ParameterEntity& entity, std::int32_t entityType,
                      RebuiltNote* rebuilt) override {
    return Keep(entity, rebuilt, drawing_->HandleEntity(entity, entityType, rebuilt));
  }
  // The rebuilt text of every changed entity, by its entry.
  std::map<std::int32_t, std::string> changed;

 private:
  Status Keep(const ParameterEntity& entity, const RebuiltNote* rebuilt, Status status) {
    if (status.ok() && rebuilt->changed) changed[entity.entryIndex] = rebuilt->parameterText;
    return status;
  }

  std::unique_ptr<DrawingTexts> drawing_;
  std::unique_ptr<GeneralNoteConverter> converter_;
};

// The records of `bytes` that passed the structure checks, as lines without
// their line ends.
std::vector<std::string_view> RecordsOf(std::string_view bytes) {
  std::vector<std::string_view> records;
  while (!bytes.empty()) {
    std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    records.push_back(line);
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
  return records;
}

}  // namespace

IgesReading ReadIgesBytes(std::string_view bytes, const RunOptions* options) {
  IgesReading reading;
  StringInput file{std::string(bytes)};
  SourceStream source(&file);
  QuietUi ui;
  RecordReader reader(&source, &ui, /*watchJapaneseBytes=*/true);
  SourceSweep sweep(&reader, &reading.counters);
  RecordingNotes notes(options, reading.counters);
  if (notes.drawing() != nullptr) sweep.SetLabels(notes.drawing());
  reading.status = sweep.ReadHead();
  if (!reading.status.ok()) return reading;
  if (notes.drawing() != nullptr) {
    reading.status = notes.drawing()->HandleHead(sweep.mutableScan());
    if (!reading.status.ok()) return reading;
  }
  reading.scan = sweep.scan();
  notes.BeginEntities(options, reading.counters, reading.scan);
  reading.status = sweep.ReadEntities(&notes, /*output=*/nullptr);
  if (!reading.status.ok()) return reading;

  // The copied columns of the D records as the table keeps them (labels as
  // a run writes them); from the records themselves, as the checks passed
  // them, the texts of the P records by the entity they name, and the last
  // T record.
  const DirectoryTable& table = *sweep.table();
  reading.entities.resize(static_cast<std::size_t>(table.entityCount()));
  DirectoryTable::ColumnReader columns(table);
  for (EntityReading& entity : reading.entities) {
    entity.copiedDirectoryFields.assign(columns.Next(), kCopiedColumnsWidth);
  }
  std::string_view all = bytes.substr(0, std::min(bytes.size(), bytes.find('\x1a')));
  for (std::string_view record : RecordsOf(all)) {
    if (record.size() < kRecordLength) continue;
    const char letter = record[kSectionLetterColumn - 1];
    if (letter == 'T') reading.terminateRecord = std::string(record);
    if (letter == 'P') {
      // Read as the sweep reads it: blanks skipped wherever they stand, so
      // that "0    3" names the same entity as "      3".
      std::int32_t pointer = 0;
      if (!ReadNumericColumns(record, kDirectoryPointerColumns, &pointer)) continue;
      const std::int32_t k = (pointer + 1) / 2;
      if (k >= 1 && k <= table.entityCount()) {
        reading.entities[static_cast<std::size_t>(k) - 1].parameterText.append(
            record.substr(0, kParameterDataWidth));
      }
    }
  }
  for (std::int32_t k = 1; k <= table.entityCount(); ++k) {
    EntityReading& entity = reading.entities[static_cast<std::size_t>(k) - 1];
    entity.entityType = table.entry(k).entityType;
    entity.lineCount = table.entry(k).outputLineCount;
    if (const auto rebuilt = notes.changed.find(k); rebuilt != notes.changed.end()) {
      entity.changed = true;
      entity.parameterText = rebuilt->second;
    }
  }
  return reading;
}

}  // namespace notora::testing
