// DirectoryEntry and DirectoryTable: the Directory Entry section as held in
// memory, one entry per pair of D records, with each entity's parameter text.
//
// To keep a run's memory close to the size of its source, an entry holds no
// copies of what the source already holds: its copied D fields are views of
// the D records in the source, and the parameter text of an entity that is
// not changed is a reference to its P records there. Only rebuilt notes (and
// the rare text that is not a plain run of records) are owned by the table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "iges/record_format.h"
#include "iges/source_buffer.h"

namespace notora {

struct DirectoryEntry {
  std::int32_t entityType = 0;          // columns 1-8 of both records
  std::int32_t parameterPointer = 0;    // columns 9-16 of the first record; rewritten on output
  std::int32_t parameterLineCount = 0;  // columns 25-32 of the second record, as read
  std::int32_t outputLineCount = 0;     // P records the entity will have in the output
  std::uint64_t firstRecordOffset = 0;  // where D record 2k-1 starts in the source
  std::uint64_t secondRecordOffset = 0; // where D record 2k starts in the source
  // The parameter text: `textLines` records of the source from
  // `textOffset` (columns 1-64 of each), or, when ownedText >= 0, the table's
  // owned text of that index. Empty (textLines 0) until set.
  std::uint64_t textOffset = 0;
  std::int32_t textLines = 0;
  std::int32_t ownedText = -1;
};

class DirectoryTable {
 public:
  // A table of `entityCount` + 1 entries (entry 0 holds no entity) over the
  // records of `*source`, which must outlive the table.
  DirectoryTable(const SourceBuffer* source, std::int32_t entityCount);

  std::int32_t entityCount() const { return static_cast<std::int32_t>(entries_.size()) - 1; }
  DirectoryEntry& entry(std::int32_t k) { return entries_[static_cast<std::size_t>(k)]; }
  const DirectoryEntry& entry(std::int32_t k) const { return entries_[static_cast<std::size_t>(k)]; }

  // The copied fields of entry k, byte for byte as the D records hold them:
  // columns 17-72 of the first record, 9-24 and 33-72 of the second.
  std::string_view fields3to9(std::int32_t k) const;
  std::string_view fields12to13(std::int32_t k) const;
  std::string_view fields15to19(std::int32_t k) const;

  // Sets entry k's text to columns 1-64 of `lines` consecutive records of
  // the source, the first starting at `offset`.
  void SetSourceText(std::int32_t k, std::uint64_t offset, std::int32_t lines);
  // Sets entry k's text to `text` (owned by the table from now on).
  void SetOwnedText(std::int32_t k, std::string text);

  // The length of entry k's parameter text in bytes.
  std::uint64_t textLength(std::int32_t k) const;
  // Calls `sink(line)` with each 64-byte line of entry k's text, in order
  // (the last line of an owned text may be shorter).
  template <typename Sink>
  void ForEachTextLine(std::int32_t k, Sink&& sink) const;
  // Entry k's whole text as one string (a copy).
  std::string Text(std::int32_t k) const;

  // Columns 1-64 of the source record that starts at `offset`.
  std::string_view SourceLine(std::uint64_t offset) const {
    return std::string_view(source_->data() + offset, kParameterDataWidth);
  }
  // Where the record after the one at `offset` starts: after its 80
  // characters, a CR directly before the line feed, and the line feed.
  std::uint64_t NextRecordOffset(std::uint64_t offset) const;

 private:
  std::string_view RecordColumns(std::uint64_t offset, Columns columns) const;

  const SourceBuffer* source_;
  std::vector<DirectoryEntry> entries_;
  std::vector<std::string> ownedTexts_;
};

template <typename Sink>
void DirectoryTable::ForEachTextLine(std::int32_t k, Sink&& sink) const {
  const DirectoryEntry& e = entry(k);
  if (e.ownedText >= 0) {
    std::string_view text = ownedTexts_[static_cast<std::size_t>(e.ownedText)];
    for (std::size_t at = 0; at < text.size(); at += kParameterDataWidth) {
      sink(text.substr(at, kParameterDataWidth));
    }
    return;
  }
  std::uint64_t offset = e.textOffset;
  for (std::int32_t line = 0; line < e.textLines; ++line) {
    __builtin_prefetch(source_->data() + offset + 2048);
    sink(SourceLine(offset));
    offset = NextRecordOffset(offset);
  }
}

}  // namespace notora
