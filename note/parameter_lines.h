// ParameterLines: where an entity's parameter text lies in the Parameter Data
// section, so that a message can name the P record of a byte.
#pragma once

#include <cstdint>

#include "iges/record_format.h"

namespace notora {

struct ParameterLines {
  // N: the entity's parameter line count from its Directory Entry.
  std::int32_t lineCount = 0;
  // L: the sequence number of the entity's last P record.
  std::int32_t lastRecordNumber = 0;

  // The number of the P record that holds byte `index` of the parameter text
  // (kParameterDataWidth bytes per record): L - N + index / 64 + 1. Computed
  // in 64 bits, so it never overflows whatever the record numbers are.
  std::int64_t LineOf(std::int64_t index) const {
    return std::int64_t{lastRecordNumber} - lineCount +
           index / std::int64_t{kParameterDataWidth} + 1;
  }
};

}  // namespace notora
