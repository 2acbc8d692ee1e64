#include "iges/numeric_field.h"

#include <bit>
#include <cstring>

namespace notora {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;

// The general rule, byte by byte.
std::optional<std::int32_t> ReadSlowly(std::string_view columns) {
  std::int32_t value = 0;
  for (char c : columns) {
    if (c == ' ') continue;
    if (c < '0' || c > '9') return std::nullopt;
    // At most 8 digits: the value stays far below the 32-bit limit.
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<std::int32_t> ReadNumericColumns(std::string_view columns) {
  if (columns.size() > 8) return ReadSlowly(columns);
  // The usual field: blanks, then digits. Eight bytes are looked at at once:
  // the field right-aligned behind blanks, its leading blanks turned into
  // zeros, then all eight checked to be digits and converted together.
  std::uint64_t bytes = 0x20 * kOnes;
  std::memcpy(reinterpret_cast<char*>(&bytes) + (8 - columns.size()), columns.data(),
              columns.size());
  if constexpr (std::endian::native != std::endian::little) return ReadSlowly(columns);
  const std::uint64_t spaced = bytes ^ (0x20 * kOnes);  // zero where a blank stands
  const std::uint64_t blanks =
      ~(((spaced & (0x7F * kOnes)) + 0x7F * kOnes) | spaced) & (0x80 * kOnes);
  const std::uint64_t others = ~blanks & (0x80 * kOnes);
  if (others == 0) return 0;
  const int leading = __builtin_ctzll(others) / 8;  // blanks before the first other byte
  const std::uint64_t leadingMask = leading == 0 ? 0 : ~0ULL >> (64 - 8 * leading);
  const std::uint64_t digits = (bytes & ~leadingMask) | (0x30 * kOnes & leadingMask);
  const bool allDigits = ((digits & (0xF0 * kOnes)) |
                          (((digits + 0x06 * kOnes) & (0xF0 * kOnes)) >> 4)) == 0x33 * kOnes;
  if (!allDigits) return ReadSlowly(columns);  // blanks between or after digits, or a fault
  std::uint64_t value = ((digits & (0x0F * kOnes)) * 2561) >> 8;
  value = ((value & 0x00FF00FF00FF00FFULL) * 6553601) >> 16;
  return static_cast<std::int32_t>(((value & 0x0000FFFF0000FFFFULL) * 42949672960001ULL) >> 32);
}

}  // namespace notora
