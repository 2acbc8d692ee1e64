#include "iges/numeric_field.h"

#include "base/byte_classes.h"

namespace notora {

bool ReadNumericColumnsSlowly(std::string_view columns, std::int32_t* value) {
  std::int32_t number = 0;
  for (char c : columns) {
    if (c == ' ') continue;
    if (!IsDigit(c)) return false;
    // At most 8 digits: the value stays far below the 32-bit limit.
    number = number * 10 + (c - '0');
  }
  *value = number;
  return true;
}

}  // namespace notora
