// ReadIgesBytes: an IGES file read as a run reads its source, with every
// structure check, for comparing a run's output with its input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "iges/directory_table.h"
#include "iges/section_scan.h"
#include "base/run_counters.h"
#include "base/run_options.h"
#include "base/status.h"

namespace notora::testing {

// One entity as the reading left it.
struct EntityReading {
  std::int32_t entityType = 0;
  std::int32_t lineCount = 0;  // the P records it has (as read, or as rebuilt)
  // Columns 17-72 of its first D record, 9-24 and 33-72 of its second.
  std::string copiedDirectoryFields;
  // Its parameter text: columns 1-64 of its P records, or the rebuilt note.
  std::string parameterText;
  // A General Note that the converter rebuilt.
  bool changed = false;
};

struct IgesReading {
  Status status = Status::Ok();  // the first structure or note fault, if any
  RunCounters counters;
  SectionScan scan;
  std::vector<EntityReading> entities;  // entity k at index k - 1; empty on a fault
  std::string terminateRecord;          // the last T record's characters, if any
};

// Reads `bytes` with notora's own reader. With `options`, every General Note
// goes through the converter with those options (as in a run); without, every
// note is kept as read, so that only the structure is checked.
IgesReading ReadIgesBytes(std::string_view bytes, const RunOptions* options);

}  // namespace notora::testing
