// A batch: many sources converted with the same options, several at a time,
// each exactly as a single conversion would convert it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/run_options.h"
#include "run/conversion_run.h"

namespace notora {

struct BatchFileResult {
  std::string source;      // as the command line named it
  std::string outputPath;  // where its output goes (or would have gone)
  RunOutcome outcome = RunOutcome::kFailed;
  std::int32_t convertedEntities = 0;
  double seconds = 0.0;    // the wall-clock time of its run
};

// Converts each of `sources` into "<its name without extension><suffix>.igs"
// in its own directory, with `options` (outputName ignored), `jobs` runs at a
// time. Every run talks to a TerminalUi that puts "<source>: " before each
// line. A source whose output path is that of a source before it on the
// list is not converted and fails with a message saying so. The results are
// in the order of `sources`.
std::vector<BatchFileResult> RunBatch(const RunOptions& options,
                                      const std::vector<std::string>& sources,
                                      const std::string& suffix, int jobs);

// The summary table: FILE, RESULT, NOTES (notes converted), TIME, OUTPUT,
// and a closing line with the count of each result.
std::string BatchSummary(const std::vector<BatchFileResult>& results);

// True when every file was written or had nothing to convert.
bool BatchSucceeded(const std::vector<BatchFileResult>& results);

}  // namespace notora
