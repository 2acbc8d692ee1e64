// RecordReader: reads the source one 80-column record at a time and applies
// the checks every record must pass (length, read errors), polls the user
// interface for a cancel and shows progress every kProgressInterval records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "iges/record_format.h"
#include "iges/source_stream.h"
#include "base/run_ui.h"
#include "base/status.h"

namespace notora {

// True when one of the 80 bytes at `bytes` is a line feed.
inline bool HasLineFeedIn80(const char* bytes) {
  static_assert(kRecordLength == 80);
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  __m128i found = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), lineFeed);
  for (std::size_t at = 16; at < kRecordLength; at += 16) {
    found = _mm_or_si128(found, _mm_cmpeq_epi8(
                                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at)),
                                    lineFeed));
  }
  return _mm_movemask_epi8(found) != 0;
#else
  return std::memchr(bytes, '\n', kRecordLength) != nullptr;
#endif
}

// The length of the line end (1 for a line feed, 2 for CR LF) when the 82
// bytes at `bytes` start with the usual record: 80 characters, none a line
// feed, then a line feed with no CR before it, or CR LF. 0 otherwise: the
// record is read by the general rules.
inline std::size_t UsualRecordLineEnd(const char* bytes) {
  std::size_t lineEnd = 0;
  if (bytes[kRecordLength] == '\n') {
    lineEnd = bytes[kRecordLength - 1] != '\r' ? 1 : 0;
  } else if (bytes[kRecordLength] == '\r' && bytes[kRecordLength + 1] == '\n') {
    lineEnd = 2;
  }
  return lineEnd != 0 && !HasLineFeedIn80(bytes) ? lineEnd : 0;
}

struct Record {
  // The characters read for this record (0 to 80), a view into the source
  // stream, valid until the next record is read.
  std::string_view text;
  // The line buffer as this record left it: 81 columns. A record shorter
  // than an earlier one leaves that one's characters beyond its own end, and
  // a record of 0 characters holds a NUL in column 1 and the previous
  // record's characters after it.
  std::string_view columns;
  // Column 73: the section letter (for a record of 0 characters, the letter
  // of the record before it).
  char letter = 0;
  // Where the record's characters start in the source.
  std::uint64_t offset = 0;
  // The record's number in the file, from 1.
  std::int32_t number = 0;
  // How the record ended in the source: "\n", "\r\n", or nothing (the end
  // of the file, or a record cut after 81 characters).
  std::string_view lineEnd;
  // True when a byte read for this record is a Japanese byte (a code page 932
  // lead byte or half-width katakana/punctuation); looked at only when the
  // reader watches for them.
  bool hasJapaneseByte = false;

  // The byte in 1-based `column` of the line buffer.
  char column(std::size_t column) const { return columns[column - 1]; }
  // Columns `first` to `last` (1-based, inclusive) of the line buffer.
  std::string_view columnRange(std::size_t first, std::size_t last) const {
    return columns.substr(first - 1, last - first + 1);
  }
  std::string_view columnRange(Columns range) const { return columnRange(range.first, range.last); }
};

class RecordReader {
 public:
  // `*source` and `*ui` must outlive the reader, which reads the source from
  // its first byte, numbering the records from 1. With watchJapaneseBytes,
  // every record tells whether it holds a Japanese byte.
  RecordReader(SourceStream* source, RunUi* ui, bool watchJapaneseBytes = false);

  // True once a read has met the end of the file (the stream's end-of-file
  // indicator): the sweep stops before reading another record.
  bool atEnd() const { return atEnd_; }

  // Reads the next record into `*record`. Fails with the record's message on
  // a read error, a record of 1 to 79 or of more than 80 characters, or a
  // cancel by the user; the record number has been raised in every case.
  Status Next(Record* record);

  SourceStream* source() const { return source_; }

 private:
  // Copies the last record with characters into previousCopy_: the stream
  // may drop its block.
  void KeepPrevious();
  // The end of a record that passed its checks: polls for a cancel and shows
  // progress.
  Status Passed();

  SourceStream* source_;
  RunUi* ui_;
  std::uint64_t position_ = 0;
  std::int32_t recordNumber_ = 0;
  bool atEnd_ = false;
  bool watchJapaneseBytes_ = false;
  // The line buffer. A record of 80 characters is seen in place in the
  // source; only a record of no characters, which shows what the record
  // before it left, is given this copy.
  char lineBuffer_[kRecordLength + 2] = {};
  // The last record with characters (in the stream, or in previousCopy_
  // once the stream moved on), and how many it has.
  const char* previous_ = nullptr;
  std::size_t previousLength_ = 0;
  char previousCopy_[kRecordLength] = {};
};

}  // namespace notora
