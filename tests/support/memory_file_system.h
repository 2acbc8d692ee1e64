// MemoryFileSystem: a FileSystem whose files are strings, with the faults of
// a FaultPlan (read errors, full disks, failing closes) put where it says.
// Fuzzing runs whole conversions over it without touching the disk, and
// tests use it where they need to see every file a run created.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "iges/file_system.h"
#include "tests/support/recording_ui.h"

namespace notora::testing {

class MemoryFileSystem : public FileSystem {
 public:
  // One file as the file system holds it.
  struct File {
    std::string bytes;
    bool created = false;  // made by CreateOutput (not by AddFile)
    bool closed = false;   // its output was closed (whether or not the close failed)
    std::size_t offered = 0;  // bytes handed to Write, whether or not they fitted
  };

  explicit MemoryFileSystem(FaultPlan faults = {}) : faults_(faults) {}

  // Puts a file at `path`, replacing what stood there.
  void AddFile(const std::string& path, std::string bytes);
  // The file at `path`, or null.
  const File* Find(const std::string& path) const;
  // The paths of every file CreateOutput made, in order.
  const std::vector<std::string>& createdPaths() const { return createdPaths_; }

  // Links do not exist here: `followLinks` makes no difference.
  bool Exists(const std::string& path, bool followLinks) override;
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override;

 private:
  FaultPlan faults_;
  // Files are shared with the open handles, which may outlive a lookup.
  std::map<std::string, std::shared_ptr<File>> files_;
  std::vector<std::string> createdPaths_;
};

}  // namespace notora::testing
