// MemoryOutputFiles: a FileSystem over another one that keeps one output
// path in memory, so that a real conversion can run without writing a file
// and its output can then be read back like any source.
#pragma once

#include <memory>
#include <string>

#include "iges/file_system.h"

namespace notora {

class MemoryOutputFiles : public FileSystem {
 public:
  // Every path but `outputPath` goes to `*base`, which must outlive this
  // object. `outputPath` exists only once it has been created here.
  MemoryOutputFiles(FileSystem* base, std::string outputPath);

  bool Exists(const std::string& path, bool followLinks) override;
  // For the output path, a reader over the bytes written so far; null while
  // it has not been created.
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  // For the output path, a writer into memory (null when it was created
  // already); every other path is refused, so nothing reaches a disk.
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override;

  // The bytes written to the output path.
  const std::string& output() const { return *bytes_; }

 private:
  FileSystem* base_;
  std::string outputPath_;
  bool created_ = false;
  // Shared with the writer and the readers handed out, so that none of them
  // can outlive the bytes.
  std::shared_ptr<std::string> bytes_;
};

}  // namespace notora
