#include "iges/parameter_section.h"

#include <cstring>

#include "base/byte_classes.h"
#include "base/messages.h"
#include "iges/numeric_field.h"
#include "iges/record_format.h"

namespace notora {

ParameterSection::ParameterSection(DirectoryTable* table, RunCounters* counters,
                                   EntityHandler* notes, EntityOutput* output,
                                   char parameterDelimiter, std::int32_t directoryRecords)
    : table_(table),
      counters_(counters),
      notes_(notes),
      output_(output),
      parameterDelimiter_(parameterDelimiter),
      directoryRecords_(directoryRecords),
      handlesEvery_(notes->HandlesEveryEntity()) {}

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
  // Compared as one word of eight columns that ends with them: the column
  // before them is the blank checked above, and a word loaded whole is
  // read at once (seven bytes copied into a word are read back late).
  static_assert(kDirectoryPointerColumns.width() == sizeof(std::uint64_t) - 1 &&
                kDirectoryPointerColumns.first == kParameterBlankColumn + 1);
  std::uint64_t pointerColumns;
  std::memcpy(&pointerColumns, record.columns.data() + kParameterBlankColumn - 1,
              sizeof pointerColumns);
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

  const char* data = record.text.data();
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
    if (type != entry.entityType) return fail(MessageId::ParameterTypeMismatch);
    // The entity's text starts here, with this record.
    std::memcpy(firstLine_, data, kParameterDataWidth);
    text_.clear();
    // An entity for `notes` (a General Note always) is assembled, for its
    // conversion.
    switch (Handled(entry) ? EntityRoute::kHold : Route(k)) {
      case EntityRoute::kStream:
        keeping_ = Keeping::kStream;
        break;
      case EntityRoute::kHold:
        keeping_ = Keeping::kText;
        break;
      case EntityRoute::kDrop:
        keeping_ = Keeping::kNone;
        break;
    }
  } else if (entityLinesRead_ == 1) {
    // Entered after its first record: the text starts from the first 64
    // bytes the last entity left, and this record's own bytes are dropped;
    // with no entity before, from this record.
    if (haveLast_) {
      std::memcpy(firstLine_, lastFirstLine_, kParameterDataWidth);
    } else {
      std::memcpy(firstLine_, data, kParameterDataWidth);
    }
    data = firstLine_;
    const bool wanted = Handled(entry) || Route(k) != EntityRoute::kDrop;
    keeping_ = wanted ? Keeping::kText : Keeping::kNone;
    text_.clear();
  }

  switch (keeping_) {
    case Keeping::kText:
      text_.append(data, kParameterDataWidth);
      break;
    case Keeping::kStream:
      output_->StreamLine(data);
      break;
    case Keeping::kNone:
      break;
  }

  Status status = Status::Ok();
  if (entry.parameterPointer + entry.parameterLineCount - 1 == m) status = CompleteEntity(k);
  if (output_ != nullptr) output_->RecordsPassed(m);
  return status;
}

Status ParameterSection::CompleteEntity(std::int32_t k) {
  if (kanjiSeen_) ++counters_->kanjiEntities;
  kanjiSeen_ = false;
  DirectoryEntry& entry = table_->entry(k);
  std::memcpy(lastFirstLine_, firstLine_, kParameterDataWidth);
  haveLast_ = true;

  if (Handled(entry)) {
    ParameterEntity entity;
    entity.entryIndex = k;
    entity.parameterLineCount = entry.parameterLineCount;
    entity.lastRecordNumber = counters_->parameterRecords;
    entity.parameterText = text_;
    entity.table = table_;
    RebuiltNote rebuilt;
    if (entry.entityType == kGeneralNoteType) {
      NOTORA_RETURN_IF_ERROR(notes_->HandleGeneralNote(entity, &rebuilt));
    } else {
      NOTORA_RETURN_IF_ERROR(notes_->HandleEntity(entity, entry.entityType, &rebuilt));
    }
    if (rebuilt.changed) {
      // The rebuilt text is what the entity keeps, and what an entity
      // entered after its first record would start from.
      entry.outputLineCount = rebuilt.lineCount;
      std::memcpy(lastFirstLine_, rebuilt.parameterText.data(),
                  std::min(rebuilt.parameterText.size(), kParameterDataWidth));
      if (output_ != nullptr) output_->EntityText(k, rebuilt.parameterText, rebuilt.lineCount);
      return Status::Ok();
    }
  }
  if (output_ == nullptr) return Status::Ok();
  switch (keeping_) {
    case Keeping::kText:
      output_->EntityText(k, text_, entry.parameterLineCount);
      break;
    case Keeping::kStream:
      output_->EntityStreamed(k);
      break;
    case Keeping::kNone:
      break;
  }
  return Status::Ok();
}

}  // namespace notora
