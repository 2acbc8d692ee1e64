// SequenceColumns: a record's sequence number (columns 74-80) as its text,
// held in one machine word and counted up in place. The output writes it
// into every record without formatting a number each time, and SequenceInOrder
// compares a record's columns with the number it expects before it reads
// them as a number.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "iges/numeric_field.h"
#include "iges/record_format.h"
#include "base/messages.h"

namespace notora {

class SequenceColumns {
 public:
  // Numbers from this on are wider than the columns: they have no text here.
  static constexpr std::int64_t kLimit = 10000000;

  SequenceColumns() { std::memset(&columns_, ' ', sizeof columns_); }

  // Sets the number to `value`: counted up from the number before when it
  // is the next one, else formatted anew.
  void Set(std::int64_t value) {
    const bool next = value == value_ + 1;
    value_ = value;
    if (!fits()) return;
    if (next) {
      const unsigned last = static_cast<unsigned>(columns_ >> kLastShift) & 0xFF;
      if (last >= '0' && last < '9') {
        columns_ += std::uint64_t{1} << kLastShift;
        return;
      }
    }
    char text[sizeof columns_];
    std::memset(text, ' ', sizeof text);
    std::int64_t rest = value;
    for (int at = kWidth - 1; at >= 0 && rest > 0; --at, rest /= 10) {
      text[at] = static_cast<char>('0' + rest % 10);
    }
    std::memcpy(&columns_, text, sizeof columns_);
  }

  std::int64_t value() const { return value_; }
  // True when the number has a text of kSequenceWidth columns (it is from 0
  // to kLimit - 1; 0 is all blanks).
  bool fits() const { return value_ >= 0 && value_ < kLimit; }

  // Writes the columns at `out`, and one byte more that the record's next
  // bytes write over. Only when fits().
  void Put(char* out) const { std::memcpy(out, &columns_, sizeof columns_); }
  // True when the kSequenceWidth bytes at `columns` are this number's text.
  // Only when fits().
  bool Matches(const char* columns) const { return std::memcmp(columns, &columns_, kWidth) == 0; }

 private:
  static constexpr int kWidth = kSequenceWidth;
  static_assert(kWidth < 8);
  // Where the last column's byte stands in the word.
  static constexpr int kLastShift =
      8 * (std::endian::native == std::endian::little ? kWidth - 1 : 8 - kWidth);
  std::uint64_t columns_;
  std::int64_t value_ = 0;
};

// Checks that columns 74-80 of `line` hold the sequence number `number`:
// compared first with the number's own columns (`*expected`, set to it
// here, one record after another), read as a number only when they differ.
// Returns true when they hold it; else sets `*fault` to `notNumeric` or
// `outOfOrder`.
inline bool SequenceInOrder(std::string_view line, std::int32_t number, SequenceColumns* expected,
                            MessageId notNumeric, MessageId outOfOrder, MessageId* fault) {
  expected->Set(number);
  if (expected->fits() && expected->Matches(line.data() + kSequenceColumns.first - 1)) return true;
  std::int32_t sequence;
  if (!ReadNumericColumns(line, kSequenceColumns, &sequence)) {
    *fault = notNumeric;
    return false;
  }
  *fault = outOfOrder;
  return sequence == number;
}

}  // namespace notora
