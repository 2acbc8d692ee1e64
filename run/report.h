// The report that closes a run which read its whole source.
#pragma once

#include <string>

#include "base/run_counters.h"

namespace notora {

// The five counter lines, then either the line saying that nothing could be
// converted (`written` false) or the converted count and the line saying the
// file was made.
std::string BuildReport(const RunCounters& counters, bool written);

}  // namespace notora
