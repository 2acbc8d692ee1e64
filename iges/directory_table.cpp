#include "iges/directory_table.h"

#include "iges/record_format.h"

namespace notora {

DirectoryTable::DirectoryTable(const SourceBuffer* source, std::int32_t entityCount)
    : source_(source), entries_(static_cast<std::size_t>(entityCount) + 1) {}

std::string_view DirectoryTable::RecordColumns(std::uint64_t offset, Columns columns) const {
  return std::string_view(source_->data() + offset + columns.first - 1, columns.width());
}

std::string_view DirectoryTable::fields3to9(std::int32_t k) const {
  return RecordColumns(entry(k).firstRecordOffset, kFirstRecordCopiedColumns);
}
std::string_view DirectoryTable::fields12to13(std::int32_t k) const {
  return RecordColumns(entry(k).secondRecordOffset, kSecondRecordCopiedColumnsBefore);
}
std::string_view DirectoryTable::fields15to19(std::int32_t k) const {
  return RecordColumns(entry(k).secondRecordOffset, kSecondRecordCopiedColumnsAfter);
}

void DirectoryTable::SetSourceText(std::int32_t k, std::uint64_t offset, std::int32_t lines) {
  DirectoryEntry& e = entry(k);
  e.textOffset = offset;
  e.textLines = lines;
  e.ownedText = -1;
}

void DirectoryTable::SetOwnedText(std::int32_t k, std::string text) {
  DirectoryEntry& e = entry(k);
  e.textLines = 0;
  e.ownedText = static_cast<std::int32_t>(ownedTexts_.size());
  ownedTexts_.push_back(std::move(text));
}

std::uint64_t DirectoryTable::textLength(std::int32_t k) const {
  const DirectoryEntry& e = entry(k);
  if (e.ownedText >= 0) return ownedTexts_[static_cast<std::size_t>(e.ownedText)].size();
  return static_cast<std::uint64_t>(e.textLines) * kParameterDataWidth;
}

std::string DirectoryTable::Text(std::int32_t k) const {
  std::string text;
  text.reserve(textLength(k));
  ForEachTextLine(k, [&text](std::string_view line) { text.append(line); });
  return text;
}

std::uint64_t DirectoryTable::NextRecordOffset(std::uint64_t offset) const {
  std::uint64_t next = offset + kRecordLength;
  const std::uint64_t size = source_->size();
  if (next < size && source_->data()[next] == '\r') ++next;
  if (next < size && source_->data()[next] == '\n') ++next;
  return next;
}

}  // namespace notora
