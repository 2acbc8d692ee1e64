// Source paths as the command line hands them to a run.
#pragma once

#include <string>

#include "base/utf8_path.h"

namespace notora {

// `path` as the dialog's file browser would give it: a full path. On POSIX
// the current directory is put before a relative path; on Windows the
// system's own rules make it whole (a drive, the current directory of that
// drive, "." and ".." taken out, "/" turned into "\"). An empty path stays
// empty, so that the run reports it.
std::string MakeAbsolute(const std::string& path);

// The file name of `path` without its directory and without its last
// extension ("dir/part.v2.igs" gives "part.v2"; "README" stays "README").
std::string StemOf(const std::string& path);

}  // namespace notora
