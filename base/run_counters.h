// RunCounters: the counters of a run, in their fixed order.
#pragma once

#include <cstdint>

namespace notora {

struct RunCounters {
  std::int32_t startRecords = 0;           // S records
  std::int32_t globalRecords = 0;          // G records
  std::int32_t directoryRecords = 0;       // D records before the first P record
  std::int32_t parameterRecords = 0;       // P records read; P records written on output
  std::int32_t kanjiEntities = 0;          // entities holding Japanese bytes
  std::int32_t convertedEntities = 0;      // General Notes and other entities rebuilt
  std::int32_t verticalElements = 0;       // vertical strings before conversion
  std::int32_t unconvertibleChars = 0;     // characters replaced by a fallback
  std::int32_t negativeWidthElements = 0;  // strings with a negative width
  std::int32_t jisCodeElements = 0;        // strings with font 2001
  // Texts before the Parameter Data carried into the output encoding: the
  // Start section, the Global section, each Directory Entry label.
  std::int32_t transcodedHeadTexts = 0;
  std::int32_t keptLabels = 0;             // labels left as read: too long in the output encoding
};

}  // namespace notora
