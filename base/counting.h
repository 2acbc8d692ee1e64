// Counting that never overflows: the counters of a run and the change count
// of a note are signed 32-bit values that stop at their largest value, and a
// wider number kept in one of 32 bits stops at the end of its range.
#pragma once

#include <cstdint>
#include <limits>

namespace notora {

inline void CountOne(std::int32_t* counter) {
  if (*counter < std::numeric_limits<std::int32_t>::max()) ++*counter;
}

// `value` clamped to the signed 32-bit range.
constexpr std::int32_t SaturateToInt32(std::int64_t value) {
  if (value > std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (value < std::numeric_limits<std::int32_t>::min()) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace notora
