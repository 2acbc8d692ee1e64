// The fixed-column numbers of D and P records (entity types, pointers, line
// counts, sequence numbers).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace notora {

// Reads `columns` (at most 8 of them) as a decimal number: digits are
// collected, blanks are skipped wherever they stand, and no digits at all
// reads as 0. Any other byte (a sign included) makes it unreadable: nullopt.
std::optional<std::int32_t> ReadNumericColumns(std::string_view columns);

}  // namespace notora
