#include "iges/directory_section.h"

#include "iges/numeric_field.h"
#include "run/messages.h"

namespace notora {

DirectorySection::DirectorySection(DirectoryTable* table, std::int32_t directoryRecords)
    : table_(table), directoryRecords_(directoryRecords) {}

Status DirectorySection::HandleRecord(const Record& record) {
  const std::int32_t n = ++directoryRecordNumber_;
  auto fail = [n](MessageId id) { return Status::Error(FormatMessage(id, {n})); };

  // The first pass counted only the D records before the first P record.
  if (n > directoryRecords_) return fail(MessageId::DirectoryAfterParameter);

  const auto sequence = ReadNumericColumns(record.columnRange(74, 80));
  if (!sequence) return fail(MessageId::DirectorySequenceNotNumeric);
  if (*sequence != n) return fail(MessageId::DirectorySequenceOutOfOrder);

  const auto entityType = ReadNumericColumns(record.columnRange(1, 8));
  if (!entityType) return fail(MessageId::DirectoryTypeNotNumeric);

  if (n % 2 == 1) {
    const std::int32_t k = ++entryCount_;
    DirectoryEntry& entry = table_->entry(k);
    entry.entityType = *entityType;
    const auto pointer = ReadNumericColumns(record.columnRange(9, 16));
    if (!pointer) return fail(MessageId::DirectoryPointerNotNumeric);
    entry.parameterPointer = *pointer;
    entry.firstRecordOffset = record.offset;
  } else {
    DirectoryEntry& entry = table_->entry(entryCount_);
    if (*entityType != entry.entityType) return fail(MessageId::DirectoryTypeMismatch);
    const auto lineCount = ReadNumericColumns(record.columnRange(25, 32));
    if (!lineCount) return fail(MessageId::DirectoryLineCountNotNumeric);
    entry.parameterLineCount = *lineCount;
    entry.outputLineCount = *lineCount;
    entry.secondRecordOffset = record.offset;
  }
  return Status::Ok();
}

}  // namespace notora
