// MemoryFileSystem: a FileSystem whose files are strings held in memory.
//
// A whole conversion runs over it without touching a disk: the fuzzers and
// the tests run on it, and preview converts a source in memory and reads
// the output back from there. A path may also be answered by another file
// system (preview's source on disk); nothing is ever created anywhere but in
// memory. Faults for tests are put on top of it (tests/support).
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "iges/file_system.h"

namespace notora {

class MemoryFileSystem : public FileSystem {
 public:
  // One file as the file system holds it.
  struct File {
    std::string bytes;
    bool created = false;  // published by an output (not put by AddFile)
  };

  // Puts a file at `path`, replacing what stood there.
  void AddFile(const std::string& path, std::string bytes);
  // From now on `path` is answered by `*files` (Exists and OpenInput), which
  // must outlive this object.
  void ReadThrough(const std::string& path, FileSystem* files);
  // The file held at `path`, or null.
  const File* Find(const std::string& path) const;
  // The bytes held at `path`, to be changed in place (tests change a source
  // under a run), or null.
  std::string* MutableBytes(const std::string& path);
  // The paths of every output published, in order.
  const std::vector<std::string>& createdPaths() const { return createdPaths_; }

  // True when a file is held at `path` (links do not exist here, so
  // `followLinks` makes no difference), or as the file system that answers
  // for `path` says.
  bool Exists(const std::string& path, bool followLinks) override;
  // A reader over the bytes held at `path` (the bytes as they are when it is
  // opened and written later), or the answering file system's; null when
  // nothing is there.
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  // An output for `path`, written in memory aside and put at `path` by
  // Publish when nothing stands there. The file system must outlive it.
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override;

  // How many outputs are being written aside now (created, neither
  // published nor discarded).
  int outputsAside() const { return outputsAside_; }

 private:
  // Files are shared with the open readers and writers, which may outlive a
  // lookup and the file system itself.
  std::map<std::string, std::shared_ptr<File>> files_;
  std::map<std::string, FileSystem*> readThrough_;
  std::vector<std::string> createdPaths_;
  int outputsAside_ = 0;

  friend class MemoryOutput;
};

// A reader over `bytes`, as MemoryFileSystem hands one out: for a source
// that is already in memory.
std::unique_ptr<InputFile> OpenMemoryInput(std::string bytes);

}  // namespace notora
