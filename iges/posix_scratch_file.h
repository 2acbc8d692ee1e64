// The scratch file of the POSIX file layer: a file without a name
// (O_TMPFILE) in the output's folder, or, where the folder has none, a
// hidden ".NAME.PID-N.spill" beside the output whose name is removed as soon
// as it is open.
#pragma once

#include <memory>
#include <string>

#include "iges/file_system.h"

namespace notora {

// A scratch file in the folder of `outputPath`; with `unnamedFile` false the
// hidden name is used even where a file without one could be made. Null
// when neither can be made.
std::unique_ptr<ScratchFile> NewPosixScratchFile(const std::string& outputPath, bool unnamedFile);

}  // namespace notora
