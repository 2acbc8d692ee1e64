#include "tests/support/iges_reading.h"

#include <algorithm>
#include <memory>

#include "iges/directory_table.h"
#include "tests/support/faulty_files.h"
#include "iges/record_reader.h"
#include "iges/second_pass.h"
#include "iges/source_replay.h"
#include "iges/source_stream.h"
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

IgesReading Failed(IgesReading* reading) {
  reading->entities.clear();
  return std::move(*reading);
}

}  // namespace

std::string EntityText(const DirectoryTable& table, std::int32_t k, std::string_view bytes) {
  std::string text;
  table.ForEachPiece(k, [&](const TextPiece& piece, std::string_view owned) {
    if (piece.owned >= 0) {
      text.append(owned);
      return;
    }
    std::size_t offset = static_cast<std::size_t>(piece.offset);
    for (std::int32_t line = 0; line < piece.lines; ++line) {
      text.append(bytes.substr(offset, kParameterDataWidth));
      offset += kRecordLength;
      if (offset < bytes.size() && bytes[offset] == '\r') ++offset;
      if (offset < bytes.size() && bytes[offset] == '\n') ++offset;
    }
  });
  return text;
}

IgesReading ReadIgesBytes(std::string_view bytes, const RunOptions* options) {
  IgesReading reading;
  StringInput file{std::string(bytes)};
  BlockSums sums;
  SourceStream source(&file, &sums);
  QuietUi ui;
  RecordReader reader(&source, &ui);
  reading.status = ScanSections(&reader, &reading.scan, &reading.counters);
  if (!reading.status.ok()) return reading;
  DirectoryTable table(reading.counters.directoryRecords / 2);
  RecordingNotes notes(options, reading.counters, reading.scan);
  reading.status = ReadEntities(&reader, reading.scan, &table, &reading.counters, &notes);
  if (!reading.status.ok()) return reading;

  // The T record: the last record whose letter is T.
  std::string_view all = bytes.substr(0, std::min(bytes.size(), bytes.find('\x1a')));
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

  // The D records and the texts, read back as the output reads them.
  SourceStream again(&file, &sums);
  SourceReplay replay(&again, &table);
  for (std::int32_t k = 1; k <= table.entityCount(); ++k) {
    const DirectoryEntry& entry = table.entry(k);
    EntityReading entity;
    entity.entityType = entry.entityType;
    entity.lineCount = table.outputLineCount(k);
    std::string_view record;
    reading.status = replay.NextDirectoryRecord(&record);
    if (!reading.status.ok()) return Failed(&reading);
    entity.copiedDirectoryFields = std::string(record.substr(16, 56));
    reading.status = replay.NextDirectoryRecord(&record);
    if (!reading.status.ok()) return Failed(&reading);
    entity.copiedDirectoryFields += std::string(record.substr(8, 16)) + std::string(record.substr(32, 40));
    reading.entities.push_back(std::move(entity));
  }
  for (std::int32_t k = 1; k <= table.entityCount(); ++k) {
    std::string& text = reading.entities[static_cast<std::size_t>(k) - 1].parameterText;
    reading.status = replay.ForEachTextLine(k, [&text](std::string_view line) {
      text.append(line);
      return true;
    });
    if (!reading.status.ok()) return Failed(&reading);
  }
  for (std::int32_t k : notes.changed) reading.entities[static_cast<std::size_t>(k) - 1].changed = true;
  return reading;
}

}  // namespace notora::testing
