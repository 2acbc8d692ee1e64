#include "iges/numeric_field.h"

namespace notora {

std::optional<std::int32_t> ReadNumericColumns(std::string_view columns) {
  std::int32_t value = 0;
  for (char c : columns) {
    if (c == ' ') continue;
    if (c < '0' || c > '9') return std::nullopt;
    // At most 8 digits: the value stays far below the 32-bit limit.
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace notora
