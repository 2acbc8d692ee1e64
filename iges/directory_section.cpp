#include "iges/directory_section.h"

#include <cstring>

#include "iges/numeric_field.h"
#include "base/messages.h"

namespace notora {

DirectorySection::DirectorySection(DirectoryTable* table, std::int32_t directoryRecords)
    : table_(table), directoryRecords_(directoryRecords) {}

Status DirectorySection::HandleRecord(const Record& record) {
  const std::int32_t n = ++directoryRecordNumber_;
  auto fail = [n](MessageId id) { return Status::Error(id, {n}); };

  // The first pass counted only the D records before the first P record.
  if (n > directoryRecords_) return fail(MessageId::DirectoryAfterParameter);

  if (MessageId fault; !SequenceInOrder(record.columns, n, &expectedSequence_,
                                       MessageId::DirectorySequenceNotNumeric,
                                       MessageId::DirectorySequenceOutOfOrder, &fault)) {
    return fail(fault);
  }

  // The second record's type usually stands as the first record's did:
  // then it is that number.
  static_assert(kEntityTypeColumns.first == 1 &&
                kEntityTypeColumns.width() == sizeof(std::uint64_t));
  std::uint64_t typeColumns;
  std::memcpy(&typeColumns, record.columns.data(), sizeof typeColumns);
  std::int32_t entityType;
  if (n % 2 == 0 && typeColumns == firstTypeColumns_) {
    entityType = table_->entry(entryCount_).entityType;
  } else if (!ReadNumericColumns(record.columns, kEntityTypeColumns, &entityType)) {
    return fail(MessageId::DirectoryTypeNotNumeric);
  }

  if (n % 2 == 1) {
    firstTypeColumns_ = typeColumns;
    const std::int32_t k = ++entryCount_;
    DirectoryEntry& entry = table_->entry(k);
    entry.entityType = entityType;
    if (!ReadNumericColumns(record.columns, kParameterPointerColumns, &entry.parameterPointer)) {
      return fail(MessageId::DirectoryPointerNotNumeric);
    }
  } else {
    DirectoryEntry& entry = table_->entry(entryCount_);
    if (entityType != entry.entityType) return fail(MessageId::DirectoryTypeMismatch);
    if (!ReadNumericColumns(record.columns, kParameterLineCountColumns, &entry.parameterLineCount)) {
      return fail(MessageId::DirectoryLineCountNotNumeric);
    }
  }
  return Status::Ok();
}

}  // namespace notora
