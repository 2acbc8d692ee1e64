// The system's files in a WebAssembly module: the module is given no
// folders of the machine it runs on, so the system's file system is one held
// in memory. Its front ends hand every run a MemoryFileSystem of their own
// with the user's files in it.
#include "iges/file_system.h"
#include "iges/memory_file_system.h"

namespace notora {

FileSystem& SystemFileSystem() {
  static MemoryFileSystem files;
  return files;
}

}  // namespace notora
