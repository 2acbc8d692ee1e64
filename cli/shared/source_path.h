// Source paths as the command line hands them to a run.
#pragma once

#include <string>

namespace notora {

// `path` as the dialog's file browser would give it: a full path, the
// current directory put before a relative one. An empty path stays empty,
// so that the run reports it.
std::string MakeAbsolute(const std::string& path);

// The file name of `path` without its directory and without its last
// extension ("dir/part.v2.igs" gives "part.v2"; "README" stays "README").
std::string StemOf(const std::string& path);

}  // namespace notora
