#include "iges/directory_section.h"

#include <cstring>

#include "base/messages.h"
#include "iges/numeric_field.h"

namespace notora {

DirectorySection::DirectorySection(DirectoryTable* table) : table_(table) {}

Status DirectorySection::HandleRecord(const Record& record) {
  const std::int32_t n = ++directoryRecordNumber_;
  auto fail = [n](MessageId id) { return Status::Error(id, {n}); };

  // Only the D records before the first P record make the section.
  if (closed_) return fail(MessageId::DirectoryAfterParameter);

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
  const std::int32_t k = (n + 1) / 2;
  if (n % 2 == 0 && typeColumns == firstTypeColumns_) {
    entityType = table_->entry(k).entityType;
  } else if (!ReadNumericColumns(record.columns, kEntityTypeColumns, &entityType)) {
    return fail(MessageId::DirectoryTypeNotNumeric);
  }

  constexpr std::size_t kFirstWidth = kFirstRecordCopiedColumns.width();
  constexpr std::size_t kBeforeWidth = kSecondRecordCopiedColumnsBefore.width();
  if (n % 2 == 1) {
    firstTypeColumns_ = typeColumns;
    DirectoryEntry& entry = table_->AddEntry();
    entry.entityType = entityType;
    if (!ReadNumericColumns(record.columns, kParameterPointerColumns, &entry.parameterPointer)) {
      return fail(MessageId::DirectoryPointerNotNumeric);
    }
    std::memcpy(copied_, record.columns.data() + kFirstRecordCopiedColumns.first - 1, kFirstWidth);
  } else {
    DirectoryEntry& entry = table_->entry(k);
    if (entityType != entry.entityType) return fail(MessageId::DirectoryTypeMismatch);
    if (!ReadNumericColumns(record.columns, kParameterLineCountColumns, &entry.parameterLineCount)) {
      return fail(MessageId::DirectoryLineCountNotNumeric);
    }
    entry.outputLineCount = entry.parameterLineCount;
    if (table_->keepsForms()) {
      // Only looked at, never checked: a form that is not a number is 0.
      std::int32_t form = 0;
      if (!ReadNumericColumns(record.columns, kFormColumns, &form)) form = 0;
      table_->SetForm(form);
    }
    std::memcpy(copied_ + kFirstWidth,
                record.columns.data() + kSecondRecordCopiedColumnsBefore.first - 1, kBeforeWidth);
    std::memcpy(copied_ + kFirstWidth + kBeforeWidth,
                record.columns.data() + kSecondRecordCopiedColumnsAfter.first - 1,
                kSecondRecordCopiedColumnsAfter.width());
    if (labels_ != nullptr) {
      constexpr std::size_t kLabelAt = kFirstWidth + kBeforeWidth + kEntityLabelColumns.first -
                                       kSecondRecordCopiedColumnsAfter.first;
      static_assert(kEntityLabelColumns.last <= kSecondRecordCopiedColumnsAfter.last);
      NOTORA_RETURN_IF_ERROR(labels_->HandleLabel(k, entityType, n, copied_ + kLabelAt));
    }
    table_->KeepCopiedColumns(copied_);
  }
  return Status::Ok();
}

}  // namespace notora
