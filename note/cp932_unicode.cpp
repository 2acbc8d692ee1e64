#include "note/cp932_unicode.h"

#include <array>
#include <cstddef>
#include <vector>

#include "note/cp932.h"

namespace notora::cp932 {
namespace {

#include "note/cp932_unicode_table.inc"

constexpr std::int32_t kHalfWidthFirst = 0xFF61;  // 0xA1, the half-width full stop
constexpr std::int32_t kUserDefinedFirst = 0xE000;
constexpr unsigned kUserDefinedFirstLead = 0xF0;
constexpr unsigned kUserDefinedLastLead = 0xF9;
constexpr int kCellsPerLead = 188;  // trail bytes 0x40-0x7E and 0x80-0xFC

// The table row of `lead`, or -1 when the table holds no row for it.
constexpr int RowOf(unsigned lead) {
  if (lead >= 0x81 && lead <= 0x9F) return static_cast<int>(lead - 0x81);
  if (lead >= 0xE0 && lead <= 0xEF) return static_cast<int>(lead - 0xE0 + 31);
  if (lead >= 0xFA && lead <= 0xFC) return static_cast<int>(lead - 0xFA + 47);
  return -1;
}
static_assert(RowOf(0xFC) == kTableRows - 1);

constexpr unsigned LeadOfRow(int row) {
  if (row < 31) return 0x81 + static_cast<unsigned>(row);
  if (row < 47) return 0xE0 + static_cast<unsigned>(row - 31);
  return 0xFA + static_cast<unsigned>(row - 47);
}

// How strongly Windows prefers a code of a character that has several: the
// lower the rank, the more preferred.
int PreferenceRank(unsigned lead) {
  if (lead == 0x87) return 1;                  // NEC row 13
  if (lead >= 0xFA) return 2;                  // IBM extensions
  if (lead == 0xED || lead == 0xEE) return 3;  // NEC-selected IBM extensions
  return 0;                                    // JIS X 0208
}

// The preferred two-byte code of every character of the table (0: none),
// built once where it stays: 128 KB, with 64 KB of ranks beside it while it
// is built, are more than a thread's stack may hold (the browser's module
// has 64 KB in all), so neither is ever a local.
class InverseTable {
 public:
  InverseTable() {
    std::vector<std::uint8_t> rank(codes_.size());
    for (int row = 0; row < kTableRows; ++row) {
      const unsigned lead = LeadOfRow(row);
      for (int cell = 0; cell < kTableTrails; ++cell) {
        const std::uint16_t character = kTwoByteUnicode[row][cell];
        if (character == 0) continue;
        const int candidateRank = PreferenceRank(lead);
        if (codes_[character] != 0 && rank[character] <= candidateRank) continue;
        codes_[character] = static_cast<std::uint16_t>(lead << 8 | (0x40 + cell));
        rank[character] = static_cast<std::uint8_t>(candidateRank);
      }
    }
  }
  std::uint16_t operator[](std::size_t character) const { return codes_[character]; }

 private:
  std::array<std::uint16_t, 0x10000> codes_{};
};

const InverseTable& Inverse() {
  static const InverseTable inverse;
  return inverse;
}

}  // namespace

std::int32_t ToUnicode(std::uint16_t code) {
  if (code <= 0x7F) return code;
  if (code <= 0xFF) {
    return IsHalfWidthKatakana(static_cast<unsigned char>(code))
               ? kHalfWidthFirst + (code - 0xA1)
               : -1;
  }
  const unsigned lead = code >> 8;
  const unsigned trail = code & 0xFF;
  if (!cp932::IsTrailByte(static_cast<unsigned char>(trail))) return -1;
  if (lead >= kUserDefinedFirstLead && lead <= kUserDefinedLastLead) {
    const int cell = static_cast<int>(trail - 0x40) - (trail > 0x7F ? 1 : 0);
    return kUserDefinedFirst + static_cast<std::int32_t>(lead - kUserDefinedFirstLead) *
                                   kCellsPerLead + cell;
  }
  const int row = RowOf(lead);
  if (row < 0) return -1;
  const std::uint16_t character = kTwoByteUnicode[row][trail - 0x40];
  return character == 0 ? -1 : character;
}

std::int32_t FromUnicode(std::int32_t character) {
  if (character < 0) return -1;
  if (character <= 0x7F) return character;
  if (character >= kHalfWidthFirst && character <= kHalfWidthFirst + (0xDF - 0xA1)) {
    return 0xA1 + (character - kHalfWidthFirst);
  }
  const std::int32_t userDefinedCells =
      static_cast<std::int32_t>(kUserDefinedLastLead - kUserDefinedFirstLead + 1) *
      kCellsPerLead;
  if (character >= kUserDefinedFirst && character < kUserDefinedFirst + userDefinedCells) {
    const std::int32_t index = character - kUserDefinedFirst;
    const std::int32_t lead = static_cast<std::int32_t>(kUserDefinedFirstLead) +
                              index / kCellsPerLead;
    std::int32_t trail = 0x40 + index % kCellsPerLead;
    if (trail >= 0x7F) ++trail;
    return lead << 8 | trail;
  }
  if (character > 0xFFFF) return -1;
  const std::uint16_t code = Inverse()[static_cast<std::size_t>(character)];
  return code == 0 ? -1 : code;
}

}  // namespace notora::cp932
