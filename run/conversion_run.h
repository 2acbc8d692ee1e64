// The conversion run: one press of Execute, from the option and file checks
// through the one sweep over the source, with the output written beside it,
// to the report.
#pragma once

#include <string>
#include <string_view>

#include "iges/file_system.h"
#include "base/platform.h"
#include "base/run_counters.h"
#include "base/run_options.h"
#include "base/run_ui.h"
#include "base/status.h"

namespace notora {

enum class RunOutcome {
  kWritten,           // the output file was written and the report shown
  kNothingConverted,  // the report was shown with its no-data line; no file
  kFailed,            // an error, refusal or cancellation was shown
};

struct RunResult {
  RunOutcome outcome = RunOutcome::kFailed;
  RunCounters counters;    // as they stood when the run ended
  std::string outputPath;  // the path the output was (or would have been) given
  // The error that ended a failed run, with the close message shown after it
  // as its follow-up; Ok otherwise.
  Status status = Status::Ok();
};

// Runs one conversion of `sourcePath` with `options`, talking to the user
// through `ui` and to files through `files`. Every message is shown through
// `ui` before this returns; the source is closed and all memory of the run is
// released on every path.
RunResult RunConversion(const RunOptions& options, std::string_view sourcePath, RunUi& ui,
                        FileSystem& files = SystemFileSystem());

// The output path for `sourcePath` and `outputName`: the directory of the
// source (the text before its last separator, when that stands at an index
// above 1, else nothing) + that separator + outputName + ".igs". With no
// separator in `sourcePath` the style's own separator is put in its place.
// Windows paths are split at "\" and "/" alike, so that a drive letter or a
// UNC share stays the folder: "C:\a.igs" gives "C:\NAME.igs" and
// "\\server\share\a.igs" gives "\\server\share\NAME.igs".
std::string BuildOutputPath(std::string_view sourcePath, std::string_view outputName,
                            PathStyle style = PlatformPathStyle());

}  // namespace notora
