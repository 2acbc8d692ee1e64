// The POSIX file layer, built with a choice of the steps it may use to give
// an output its name, so that every way of publishing can be reached on any
// machine (a test switches the stronger steps off, as a USB stick or a
// network share would).
//
// At CreateOutput the layer asks the output's folder, once, which is the
// strongest step it keeps, and from then on works only relative to that
// folder (it is held open, so that a folder renamed meanwhile does not send
// the output elsewhere):
//   1. a file without a name (O_TMPFILE), linked to the name at the end:
//      nothing of it remains after any end of the process;
//   2. a hidden ".NAME.igs.PID-N.part" beside the output, renamed to the
//      name by a rename that refuses to replace (renameat2 RENAME_NOREPLACE);
//   3. the same hidden file, linked to the name (a link refuses to replace)
//      and its own name removed;
//   4. where the folder has neither (FAT and exFAT through FUSE, many
//      network shares): the name reserved at the start by creating it
//      exclusively, empty; the output written to the hidden file and, at
//      the end, renamed over that empty file once it is seen to be still
//      the one this run made. A kill leaves the empty file under the name
//      and the hidden file beside it.
// A file this run did not create is never replaced, and no partial output
// ever stands under the name.
#pragma once

#include <memory>

#include "iges/file_system.h"

namespace notora {

// The publish steps a folder is asked for; each one off makes the layer act
// as on a file system that lacks it.
struct PublishSteps {
  bool unnamedFile = true;      // O_TMPFILE and a link from /proc/self/fd
  bool noReplaceRename = true;  // renameat2 with RENAME_NOREPLACE
  bool hardLink = true;         // link
};

// A POSIX file layer that uses only the steps of `steps`.
std::unique_ptr<FileSystem> NewPosixFileSystem(PublishSteps steps);

}  // namespace notora
