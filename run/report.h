// The report that closes a run which read its whole source.
#pragma once

#include <string>

#include "base/run_counters.h"

namespace notora {

// The five counter lines of a report (Japanese entities, JIS-code strings,
// vertical strings, negative widths, characters without a counterpart), each
// ending in a line feed. An inspection shows them too.
std::string BuildCounterLines(const RunCounters& counters);

// The counter lines, then either the line saying that nothing could be
// converted (`written` false) or the converted count and the line saying the
// file was made; after them, on a line of its own, the count of labels kept
// as read for want of room, only when there are any.
std::string BuildReport(const RunCounters& counters, bool written);

}  // namespace notora
