#include "iges/parameter_section.h"

#include <cstring>

#include "iges/numeric_field.h"
#include "iges/record_format.h"
#include "base/byte_classes.h"
#include "base/messages.h"

namespace notora {

ParameterSection::ParameterSection(DirectoryTable* table, RunCounters* counters,
                                   EntityHandler* notes, char parameterDelimiter,
                                   std::int32_t directoryRecords, SourceStream* source)
    : table_(table),
      counters_(counters),
      notes_(notes),
      parameterDelimiter_(parameterDelimiter),
      directoryRecords_(directoryRecords),
      source_(source) {}

Status ParameterSection::HandleRecord(const Record& record) {
  const std::int32_t m = ++counters_->parameterRecords;
  auto fail = [m](MessageId id) { return Status::Error(id, {m}); };

  if (record.column(kParameterBlankColumn) != ' ') return fail(MessageId::ParameterColumn65NotBlank);
  if (MessageId fault; !SequenceInOrder(record.columns, m, &expectedSequence_,
                                       MessageId::ParameterSequenceNotNumeric,
                                       MessageId::ParameterSequenceOutOfOrder, &fault)) {
    return fail(fault);
  }
  // The pointer usually stands in the same columns as the record before:
  // then it is not read again as a number.
  static_assert(kDirectoryPointerColumns.width() <= sizeof(std::uint64_t));
  std::uint64_t pointerColumns = 0;
  std::memcpy(&pointerColumns, record.columns.data() + kDirectoryPointerColumns.first - 1,
              kDirectoryPointerColumns.width());
  std::int32_t p = lastPointer_;
  if (lastPointer_ == 0 || pointerColumns != lastPointerColumns_) {
    if (!ReadNumericColumns(record.columns, kDirectoryPointerColumns, &p)) {
      return fail(MessageId::ParameterPointerNotNumeric);
    }
    if (p % 2 == 0) return fail(MessageId::ParameterPointerEven);
    if (p > directoryRecords_) return fail(MessageId::ParameterPointerOutOfRange);
    lastPointer_ = p;
    lastPointerColumns_ = pointerColumns;
  }

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
    assembled_.Clear();
    // A General Note's bytes are kept as they arrive, for its parser.
    tracking_ = entry.entityType == kGeneralNoteType;
    noteText_.clear();
    if (type != entry.entityType) return fail(MessageId::ParameterTypeMismatch);
  }

  Append(record, entityLinesRead_);

  if (entry.parameterPointer + entry.parameterLineCount - 1 == m) {
    return CompleteEntity(k, record);
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
  if (text.length >= target) {
    Cut(target);
    return;
  }
  if (!text.pieces.empty() && text.runEndsAt >= 0 && record.number == text.runEndsAt + 1) {
    ++text.pieces.back().lines;
  } else {
    // The first record, or one after a record of another section.
    TextPiece run;
    run.offset = record.offset;
    run.lines = 1;
    run.record = record.number;
    text.pieces.push_back(run);
  }
  text.runEndsAt = record.number;
  text.length += kParameterDataWidth;
  if (tracking_) noteText_.append(record.text.data(), kParameterDataWidth);
}

// Drops bytes from the end of the text until it is `target` bytes long.
// Runs lose whole records (every piece is a whole number of 64-byte lines).
void ParameterSection::Cut(std::uint64_t target) {
  AssembledText& text = assembled_;
  text.runEndsAt = -1;  // the record after the last one no longer continues the text
  if (tracking_) noteText_.resize(static_cast<std::size_t>(target));
  while (text.length > target) {
    TextPiece& last = text.pieces.back();
    const std::uint64_t excess = text.length - target;
    if (last.owned >= 0) {
      std::string& bytes = text.owned[static_cast<std::size_t>(last.owned)];
      if (excess >= bytes.size()) {
        text.length -= bytes.size();
        text.pieces.pop_back();
      } else {
        bytes.resize(bytes.size() - static_cast<std::size_t>(excess));
        text.length = target;
      }
    } else {
      const std::uint64_t size = std::uint64_t(last.lines) * kParameterDataWidth;
      if (excess >= size) {
        text.length -= size;
        text.pieces.pop_back();
      } else {
        last.lines -= static_cast<std::int32_t>(excess / kParameterDataWidth);
        text.length = target;
      }
    }
  }
}

Status ParameterSection::JoinNoteText(std::int32_t recordNumber) {
  noteText_.clear();
  noteText_.reserve(static_cast<std::size_t>(assembled_.length));
  // Enough of each record to see where the next one starts.
  char line[kRecordLength + 2];
  for (const TextPiece& piece : assembled_.pieces) {
    if (piece.owned >= 0) {
      noteText_.append(assembled_.owned[static_cast<std::size_t>(piece.owned)]);
      continue;
    }
    std::uint64_t offset = piece.offset;
    for (std::int32_t i = 0; i < piece.lines; ++i) {
      const std::int64_t n = source_->ReadBack(offset, line, sizeof line);
      if (n < static_cast<std::int64_t>(kParameterDataWidth)) {
        return Status::Error(MessageId::ReadError, {recordNumber});
      }
      noteText_.append(line, kParameterDataWidth);
      offset += kRecordLength + (n > static_cast<std::int64_t>(kRecordLength) && line[kRecordLength] == '\r' ? 2 : 1);
    }
  }
  tracking_ = true;
  return Status::Ok();
}

Status ParameterSection::CompleteEntity(std::int32_t k, const Record& record) {
  if (kanjiSeen_) ++counters_->kanjiEntities;
  DirectoryEntry& entry = table_->entry(k);

  if (entry.entityType == kGeneralNoteType) {
    // The note's text is normally its own records, kept as they came.
    if (!tracking_ || noteText_.size() != assembled_.length) {
      NOTORA_RETURN_IF_ERROR(JoinNoteText(record.number));
    }
    GeneralNoteEntity note;
    note.entryIndex = k;
    note.parameterLineCount = entry.parameterLineCount;
    note.lastRecordNumber = counters_->parameterRecords;
    note.parameterText = noteText_;
    RebuiltNote rebuilt;
    NOTORA_RETURN_IF_ERROR(notes_->HandleGeneralNote(note, &rebuilt));
    if (rebuilt.changed) {
      // The rebuilt text is what the entity keeps, and what a later record
      // would find left in the text being assembled.
      assembled_.Clear();
      TextPiece piece;
      piece.owned = 0;
      assembled_.pieces.push_back(piece);
      assembled_.owned.push_back(rebuilt.parameterText);
      assembled_.length = rebuilt.parameterText.size();
      noteText_ = rebuilt.parameterText;
      tracking_ = true;
      table_->SetRebuiltText(k, rebuilt.parameterText, rebuilt.lineCount);
      kanjiSeen_ = false;
      return Status::Ok();
    }
  }

  if (assembled_.pieces.size() == 1 && assembled_.pieces[0].owned < 0) {
    table_->SetSourceText(k, assembled_.pieces[0]);
  } else if (!assembled_.pieces.empty()) {
    table_->SetPiecedText(k, assembled_.pieces, assembled_.owned);
  } else {
    table_->SetSourceText(k, TextPiece());
  }
  kanjiSeen_ = false;
  return Status::Ok();
}

}  // namespace notora
