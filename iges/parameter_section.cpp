#include "iges/parameter_section.h"

#include <cstring>

#include "iges/numeric_field.h"
#include "iges/record_format.h"
#include "base/byte_classes.h"
#include "base/messages.h"

namespace notora {

ParameterSection::ParameterSection(DirectoryTable* table, RunCounters* counters,
                                   EntityHandler* notes, char parameterDelimiter,
                                   std::int32_t directoryRecords)
    : table_(table),
      counters_(counters),
      notes_(notes),
      parameterDelimiter_(parameterDelimiter),
      directoryRecords_(directoryRecords) {}

Status ParameterSection::HandleRecord(const Record& record) {
  const std::int32_t m = ++counters_->parameterRecords;
  auto fail = [m](MessageId id) { return Status::Error(id, {m}); };

  if (record.column(kParameterBlankColumn) != ' ') return fail(MessageId::ParameterColumn65NotBlank);
  std::int32_t sequence;
  if (!ReadNumericColumns(record.columns, kSequenceColumns, &sequence)) {
    return fail(MessageId::ParameterSequenceNotNumeric);
  }
  if (sequence != m) return fail(MessageId::ParameterSequenceOutOfOrder);
  std::int32_t p;
  if (!ReadNumericColumns(record.columns, kDirectoryPointerColumns, &p)) {
    return fail(MessageId::ParameterPointerNotNumeric);
  }
  if (p % 2 == 0) return fail(MessageId::ParameterPointerEven);
  if (p > directoryRecords_) return fail(MessageId::ParameterPointerOutOfRange);

  // Entering another entity: the one before must have had all its records.
  const std::int32_t k = (p + 1) / 2;
  if (m > 1 && k != currentEntry_) {
    if (table_->entry(currentEntry_).parameterLineCount != entityLinesRead_) {
      return Status::Error(MessageId::ParameterEntityShort, {FirstDirectoryRecord(currentEntry_)});
    }
    entityLinesRead_ = 0;
  }
  currentEntry_ = k;
  ++entityLinesRead_;

  const DirectoryEntry& entry = table_->entry(k);
  // Pointer and count come from 8-column fields: their sum cannot overflow.
  if (m < entry.parameterPointer || m >= entry.parameterPointer + entry.parameterLineCount) {
    return fail(MessageId::ParameterOutsideEntity);
  }

  if (m == entry.parameterPointer) {
    if (record.column(kParameterTypeDelimiterColumn) != parameterDelimiter_) {
      return Status::Error(MessageId::ParameterColumn4NotDelimiter,
                                         {m, DescribeFileByte(parameterDelimiter_)});
    }
    std::int32_t type = 0;
    for (char digit : record.columnRange(kParameterTypeColumns)) {
      if (!IsDigit(digit)) return fail(MessageId::ParameterTypeNotNumeric);
      type = type * 10 + (digit - '0');
    }
    assembled_ = AssembledText();
    if (type != entry.entityType) return fail(MessageId::ParameterTypeMismatch);
  }

  Append(record, entityLinesRead_);

  if (entry.parameterPointer + entry.parameterLineCount - 1 == m) {
    return CompleteEntity(k, m);
  }
  return Status::Ok();
}

// The text grows by the record's columns 1-64, then is cut to 64 bytes per
// record read for the entity. Normally the text already holds the entity's
// earlier records; a text left from an entity before (when an entity's first
// record was not at its pointer) is cut short instead.
void ParameterSection::Append(const Record& record, std::int32_t linesRead) {
  const std::uint64_t target = std::uint64_t(linesRead) * kParameterDataWidth;
  AssembledText& text = assembled_;
  if (text.length() >= target) {
    if (text.owned) {
      text.text.resize(target);
    } else {
      text.lines = linesRead;
      Materialize();  // the run no longer ends where the next record would join it
    }
    return;
  }
  // Here length == target - 64: the record's data columns complete the text.
  if (!text.owned) {
    if (text.lines == 0) {
      text.firstOffset = record.offset;
      text.lines = 1;
      text.lastRecordNumber = record.number;
      return;
    }
    if (record.number == text.lastRecordNumber + 1) {
      ++text.lines;
      text.lastRecordNumber = record.number;
      return;
    }
    Materialize();  // a record of another section stands between
  }
  text.text.append(record.text.substr(0, kParameterDataWidth));
}

void ParameterSection::Materialize() {
  if (assembled_.owned) return;
  std::string text;
  text.reserve(assembled_.length() + kParameterDataWidth);
  std::uint64_t offset = assembled_.firstOffset;
  for (std::int32_t line = 0; line < assembled_.lines; ++line) {
    text.append(table_->SourceLine(offset));
    offset = table_->NextRecordOffset(offset);
  }
  assembled_.owned = true;
  assembled_.text = std::move(text);
}

Status ParameterSection::CompleteEntity(std::int32_t k, std::int32_t lastRecordNumber) {
  if (kanjiSeen_) ++counters_->kanjiEntities;
  DirectoryEntry& entry = table_->entry(k);

  if (entry.entityType == kGeneralNoteType) {
    GeneralNoteEntity note;
    note.entryIndex = k;
    note.parameterLineCount = entry.parameterLineCount;
    note.lastRecordNumber = lastRecordNumber;
    if (assembled_.owned) {
      note.parameterText = assembled_.text;
    } else if (assembled_.lines == 1) {
      note.parameterText = table_->SourceLine(assembled_.firstOffset);
    } else {
      noteScratch_.clear();
      std::uint64_t offset = assembled_.firstOffset;
      for (std::int32_t line = 0; line < assembled_.lines; ++line) {
        noteScratch_.append(table_->SourceLine(offset));
        offset = table_->NextRecordOffset(offset);
      }
      note.parameterText = noteScratch_;
    }
    RebuiltNote rebuilt;
    NOTORA_RETURN_IF_ERROR(notes_->HandleGeneralNote(note, &rebuilt));
    if (rebuilt.changed) {
      entry.outputLineCount = rebuilt.lineCount;
      // The rebuilt text is what the entity keeps, and what a later record
      // would find left in the text being assembled.
      assembled_ = AssembledText();
      assembled_.owned = true;
      assembled_.text = rebuilt.parameterText;
      table_->SetOwnedText(k, std::move(rebuilt.parameterText));
      kanjiSeen_ = false;
      return Status::Ok();
    }
  }

  if (assembled_.owned) {
    table_->SetOwnedText(k, assembled_.text);
  } else {
    table_->SetSourceText(k, assembled_.firstOffset, assembled_.lines);
  }
  kanjiSeen_ = false;
  return Status::Ok();
}

}  // namespace notora
