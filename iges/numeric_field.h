// The fixed-column numbers of D and P records (entity types, pointers, line
// counts, sequence numbers).
#pragma once

#include <cstdint>
#include <string_view>

namespace notora {

// Reads columns `first` to `last` (1-based, inclusive, at most 8 of them, and
// `last` at least 8) of `line` as a decimal number: digits are collected,
// blanks are skipped wherever they stand, and no digits at all reads as 0.
// Any other byte (a sign included) makes it unreadable: returns false.
bool ReadNumericColumns(std::string_view line, std::size_t first, std::size_t last,
                        std::int32_t* value);

}  // namespace notora
