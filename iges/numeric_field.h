// The fixed-column numbers of D and P records (entity types, pointers, line
// counts, sequence numbers).
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "iges/record_format.h"

namespace notora {

// Reads `columns` byte by byte by the rule below.
bool ReadNumericColumnsSlowly(std::string_view columns, std::int32_t* value);

// Reads columns `first` to `last` (1-based, inclusive, at most 8 of them, and
// `last` at least 8 and within `line`) of `line` as a decimal number: digits
// are collected, blanks are skipped wherever they stand, and no digits at all
// reads as 0. Any other byte (a sign included) makes it unreadable: returns
// false. Inline: every D and P record reads two to four of these.
inline bool ReadNumericColumns(std::string_view line, std::size_t first, std::size_t last,
                               std::int32_t* value) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  const std::size_t width = last - first + 1;
  if constexpr (std::endian::native != std::endian::little) {
    return ReadNumericColumnsSlowly(std::string_view(line.data() + first - 1, width), value);
  }
  // The usual field: blanks, then digits. Eight bytes are looked at at once:
  // the eight columns that end with the field, those before it made blanks,
  // its leading blanks turned into zeros, then all eight checked to be
  // digits and converted together.
  std::uint64_t bytes;
  std::memcpy(&bytes, line.data() + last - 8, 8);
  if (width < 8) {
    const std::uint64_t before = ~0ULL >> (8 * width);  // the low bytes stand first
    bytes = (bytes & ~before) | (0x20 * kOnes & before);
  }
  const std::uint64_t spaced = bytes ^ (0x20 * kOnes);  // zero where a blank stands
  const std::uint64_t blanks =
      ~(((spaced & (0x7F * kOnes)) + 0x7F * kOnes) | spaced) & (0x80 * kOnes);
  const std::uint64_t others = ~blanks & (0x80 * kOnes);
  if (others == 0) {
    *value = 0;
    return true;
  }
  const int leading = __builtin_ctzll(others) / 8;  // blanks before the first other byte
  const std::uint64_t leadingMask = leading == 0 ? 0 : ~0ULL >> (64 - 8 * leading);
  const std::uint64_t digits = (bytes & ~leadingMask) | (0x30 * kOnes & leadingMask);
  const bool allDigits = ((digits & (0xF0 * kOnes)) |
                          (((digits + 0x06 * kOnes) & (0xF0 * kOnes)) >> 4)) == 0x33 * kOnes;
  if (!allDigits) {
    // Blanks between or after digits, or a fault.
    return ReadNumericColumnsSlowly(std::string_view(line.data() + first - 1, width), value);
  }
  std::uint64_t number = ((digits & (0x0F * kOnes)) * 2561) >> 8;
  number = ((number & 0x00FF00FF00FF00FFULL) * 6553601) >> 16;
  *value = static_cast<std::int32_t>(((number & 0x0000FFFF0000FFFFULL) * 42949672960001ULL) >> 32);
  return true;
}

// The same for the columns `columns` of `line`.
inline bool ReadNumericColumns(std::string_view line, Columns columns, std::int32_t* value) {
  return ReadNumericColumns(line, columns.first, columns.last, value);
}

}  // namespace notora
