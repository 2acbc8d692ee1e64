// RecordText: the text of one output record (or of a few records in a row),
// written field by field into room the caller holds.
//
// Numbers go into fixed columns right-aligned, sequence numbers as their
// seven columns, copied columns as they stand, the line end as the output
// ends its lines. To stay fast, a field of at most eight columns is written
// as eight bytes and the next field writes over what lies beyond it; that
// is safe only inside the room, so a caller holds kRoom bytes for each
// record it writes (a Directory Entry's two records: 2 * kRoom) and never
// reads bytes past size().
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "iges/record_format.h"
#include "iges/sequence_columns.h"

namespace notora {

// The columns `value` takes in a right-aligned field of `width` columns:
// `width`, or more when its digits do not fit.
std::size_t NumberWidth(std::int64_t value, std::size_t width);

// How the output ends its lines: a line feed, or a carriage return and a
// line feed.
class LineEndBytes {
 public:
  explicit LineEndBytes(std::string_view lineEnd) : carriageReturn_(lineEnd.size() - 1) {}
  std::size_t size() const { return carriageReturn_ + 1; }
  // Writes the line end at `out` (two bytes of room); returns its size.
  // Without a branch: the carriage return is written over by the line feed
  // when the line end is a line feed alone.
  std::size_t Put(char* out) const {
    out[0] = '\r';
    out[carriageReturn_] = '\n';
    return carriageReturn_ + 1;
  }

 private:
  std::size_t carriageReturn_;
};

class RecordText {
 public:
  // Room a caller holds for each record: 80 columns, numbers wider than
  // their fields, the line end, and the eight bytes a field may write past
  // its end.
  static constexpr std::size_t kRoom = 192;

  explicit RecordText(char* out) : out_(out) {}

  // `value` in decimal, right-aligned in `width` columns (wider when its
  // digits need more).
  void Number(std::int64_t value, std::size_t width);
  // `count` bytes from `from`, as they stand.
  void Bytes(const char* from, std::size_t count) {
    std::memcpy(out_ + size_, from, count);
    size_ += count;
  }
  void Letter(char letter) { out_[size_++] = letter; }
  // A sequence number in its seven columns (wider past 9,999,999).
  void Sequence(const SequenceColumns& sequence) {
    if (!sequence.fits()) return Number(sequence.value(), kSequenceWidth);
    sequence.Put(out_ + size_);
    size_ += kSequenceWidth;
  }
  void EndLine(const LineEndBytes& lineEnd) { size_ += lineEnd.Put(out_ + size_); }

  // The bytes written so far.
  std::size_t size() const { return size_; }
  char* end() { return out_ + size_; }
  // Moves the end past `count` bytes written at end() by hand.
  void Advance(std::size_t count) { size_ += count; }

 private:
  char* out_;
  std::size_t size_ = 0;
};

// A number's text in a field of kDirectoryFieldWidth columns, kept for the
// next record that writes the same number (entity types repeat from entity
// to entity).
class RepeatedField {
 public:
  void Put(RecordText* text, std::int64_t value);

 private:
  char text_[24];
  std::size_t length_ = 0;
  std::int64_t value_ = 0;
  bool held_ = false;
};

// Columns 65-73 of every P record of one entity: a blank, the sequence
// number of its first D record and the section letter, made once for all
// its records.
class ParameterRecordTail {
 public:
  void Set(std::int64_t firstDirectoryRecord);
  // Writes one P record at `out` (RecordText::kRoom bytes): columns 1-64
  // from `data`, this tail, the sequence number and the line end. Returns
  // its size.
  std::size_t PutRecord(char* out, const char* data, const SequenceColumns& sequence,
                        const LineEndBytes& lineEnd) const;

 private:
  char tail_[32] = {};
  std::size_t length_ = 0;
};

// Writes the Terminate record with the S, G, D and P record counts at `out`
// (RecordText::kRoom bytes); returns its size.
std::size_t PutTerminateRecord(char* out, const std::int32_t (&sectionCounts)[4],
                               const LineEndBytes& lineEnd);

}  // namespace notora
