#include "iges/head_layout.h"

#include <algorithm>
#include <cstring>

namespace notora {
namespace {

constexpr std::size_t kFirstColumns = kFirstRecordCopiedColumns.width();
constexpr std::size_t kBeforeColumns = kSecondRecordCopiedColumnsBefore.width();
constexpr std::size_t kAfterColumns = kSecondRecordCopiedColumnsAfter.width();

// Written out whenever this much is held.
constexpr std::size_t kBufferSize = 256 << 10;

// The records of `lines`: each ends in a line feed.
std::int32_t LineCount(std::string_view lines) {
  return static_cast<std::int32_t>(std::count(lines.begin(), lines.end(), '\n'));
}

}  // namespace

HeadLayout::HeadLayout(const SectionScan& scan, const DirectoryTable& table,
                       std::int32_t entities, std::string_view lineEnd, OutputFile* file)
    : scan_(scan),
      table_(table),
      entities_(entities),
      lineEndBytes_(lineEnd),
      file_(file),
      columns_(table) {
  startRecords_ = LineCount(scan.startText);
  globalRecords_ = LineCount(scan.globalText);
  // Every line feed of the kept records becomes `lineEnd`.
  size_ = scan.startText.size() + scan.globalText.size() +
          (std::uint64_t{0} + startRecords_ + globalRecords_) * (lineEnd.size() - 1);
  const std::uint64_t entityBytes =
      2 * (1 + lineEnd.size() + kDirectoryFieldWidth) + kFirstColumns + kBeforeColumns +
      kAfterColumns;
  for (std::int32_t k = 1; k <= entities; ++k) {
    const std::int64_t first = FirstDirectoryRecord(k);
    size_ += entityBytes + 2 * NumberWidth(table.entry(k).entityType, kDirectoryFieldWidth) +
             NumberWidth(first, kSequenceWidth) + NumberWidth(first + 1, kSequenceWidth);
  }
}

bool HeadLayout::Reserve(std::size_t size) {
  if (used_ + size <= buffer_.size()) return true;
  if (buffer_.empty()) buffer_.resize(kBufferSize + 2 * RecordText::kRoom);
  return used_ + size <= buffer_.size() || Flush();
}

bool HeadLayout::Flush() {
  if (failed_) return false;
  if (used_ == 0) return true;
  failed_ = !file_->WriteAt(offset_, buffer_.data(), used_);
  offset_ += used_;
  used_ = 0;
  return !failed_;
}

void HeadLayout::AppendLines(std::string_view lines) {
  while (!lines.empty() && Reserve(RecordText::kRoom)) {
    // One record at a time: each ends in a line feed.
    const std::size_t end = std::min(lines.find('\n'), lines.size());
    const std::size_t part = std::min(end, RecordText::kRoom - 2);
    std::memcpy(buffer_.data() + used_, lines.data(), part);
    used_ += part;
    if (part < end) {  // a record longer than its 80 columns
      lines.remove_prefix(part);
      continue;
    }
    if (end < lines.size()) used_ += lineEndBytes_.Put(buffer_.data() + used_);
    lines.remove_prefix(std::min(end + 1, lines.size()));
  }
}

bool HeadLayout::CatchUp(std::int64_t mark) {
  if (failed_) return false;
  if (!sectionsWritten_) {
    sectionsWritten_ = true;
    AppendLines(scan_.startText);
    AppendLines(scan_.globalText);
  }
  const std::int32_t last = static_cast<std::int32_t>(std::min<std::int64_t>(mark, entities_));
  for (std::int32_t k = written_ + 1; k <= last; ++k) {
    if (!Reserve(2 * RecordText::kRoom)) return false;
    const DirectoryEntry& entry = table_.entry(k);
    const char* copied = columns_.Next();
    RecordText record(buffer_.data() + used_);
    entityType_.Put(&record, entry.entityType);
    record.Number(pointer_, kDirectoryFieldWidth);
    record.Bytes(copied, kFirstColumns);
    record.Letter('D');
    directorySequence_.Set(FirstDirectoryRecord(k));
    record.Sequence(directorySequence_);
    record.EndLine(lineEndBytes_);
    entityType_.Put(&record, entry.entityType);
    record.Bytes(copied + kFirstColumns, kBeforeColumns);
    record.Number(entry.outputLineCount, kDirectoryFieldWidth);
    record.Bytes(copied + kFirstColumns + kBeforeColumns, kAfterColumns);
    record.Letter('D');
    directorySequence_.Set(FirstDirectoryRecord(k) + 1);
    record.Sequence(directorySequence_);
    record.EndLine(lineEndBytes_);
    used_ += record.size();
    pointer_ += entry.outputLineCount;
    written_ = k;
  }
  return !failed_;
}

}  // namespace notora
