#include "iges/record_text.h"

#include <algorithm>

namespace notora {
namespace {

// The first number that no longer fits a field of the index's width, up
// to eight columns.
constexpr std::int64_t kLimits[] = {1,      10,      100,      1000,     10000,
                                    100000, 1000000, 10000000, 100000000};

// Writes `value` in decimal at `out`, right-aligned in `width` columns (wider
// when it needs more); returns the number of bytes written. A field of at
// most eight columns is written as eight bytes.
std::size_t PutNumber(char* out, std::int64_t value, std::size_t width) {
  if (value >= 0 && width >= 1 && width <= 8 && value < kLimits[width]) {
    // The usual field, every number of the D records and most counts:
    // blanks, then the digits written two at a time from the right.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    std::memcpy(out, "        ", 8);
    std::uint64_t rest = static_cast<std::uint64_t>(value);
    std::size_t at = width;
    while (rest >= 100) {
      at -= 2;
      std::memcpy(out + at, kPairs + 2 * (rest % 100), 2);
      rest /= 100;
    }
    if (rest >= 10) {
      std::memcpy(out + at - 2, kPairs + 2 * rest, 2);
    } else {
      out[at - 1] = static_cast<char>('0' + rest);
    }
    return width;
  }
  char digits[24];
  std::size_t length = 0;
  const bool negative = value < 0;
  std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    digits[length++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) digits[length++] = '-';
  std::size_t at = 0;
  for (; at + length < width; ++at) out[at] = ' ';
  while (length > 0) out[at++] = digits[--length];
  return at;
}

}  // namespace

std::size_t NumberWidth(std::int64_t value, std::size_t width) {
  if (value >= 0 && width <= 8 && value < kLimits[width]) return width;  // the usual number
  std::size_t digits = value < 0 ? 2 : 1;
  for (std::uint64_t rest = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                      : static_cast<std::uint64_t>(value);
       rest >= 10; rest /= 10) {
    ++digits;
  }
  return std::max(digits, width);
}

void RecordText::Number(std::int64_t value, std::size_t width) {
  size_ += PutNumber(out_ + size_, value, width);
}

void RepeatedField::Put(RecordText* text, std::int64_t value) {
  if (!held_ || value != value_) {
    length_ = PutNumber(text_, value, kDirectoryFieldWidth);
    value_ = value;
    held_ = true;
  }
  // Eight bytes at least: those beyond the field are written over.
  std::memcpy(text->end(), text_, std::max<std::size_t>(length_, 8));
  text->Advance(length_);
}

void ParameterRecordTail::Set(std::int64_t firstDirectoryRecord) {
  tail_[0] = ' ';
  length_ = 1 + PutNumber(tail_ + 1, firstDirectoryRecord, kSequenceWidth) + 1;
  tail_[length_ - 1] = 'P';
}

std::size_t ParameterRecordTail::PutRecord(char* out, const char* data,
                                           const SequenceColumns& sequence,
                                           const LineEndBytes& lineEnd) const {
  RecordText record(out);
  static_assert(kParameterDataWidth == 64 && kSequenceWidth + 2 <= 16);
  if (length_ == kSequenceWidth + 2) {
    // The usual record, copied in pieces of fixed size; the bytes beyond
    // each piece are written over by the next.
    std::memcpy(out, data, kParameterDataWidth);
    std::memcpy(out + kParameterDataWidth, tail_, 16);
    record.Advance(kParameterDataWidth + kSequenceWidth + 2);
  } else {
    record.Bytes(data, kParameterDataWidth);
    record.Bytes(tail_, length_);
  }
  record.Sequence(sequence);
  record.EndLine(lineEnd);
  return record.size();
}

std::size_t PutTerminateRecord(char* out, const std::int32_t (&sectionCounts)[4],
                               const LineEndBytes& lineEnd) {
  static_assert(std::size(kTerminateCountLetters) == 4);
  RecordText record(out);
  for (std::size_t section = 0; section < 4; ++section) {
    record.Letter(kTerminateCountLetters[section]);
    record.Number(sectionCounts[section], kSequenceWidth);
  }
  record.Bytes(kTerminateRecordEnd.data(), kTerminateRecordEnd.size());
  record.EndLine(lineEnd);
  return record.size();
}

}  // namespace notora
