// The file layer of a run: opening the source, creating the output, asking
// whether a path exists. A run reaches files only through FileSystem, so that
// tests and fuzzing can put faults (read errors, full disks, failing closes)
// or memory-backed files in its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace notora {

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to `size` bytes into `buffer`. Returns the number of bytes read,
  // 0 at the end of the file, or -1 on a read error.
  virtual std::int64_t Read(char* buffer, std::size_t size) = 0;
  // The file's size when it is known (used to reserve memory), else 0.
  virtual std::uint64_t SizeHint() const = 0;
  // Closes the file; false when the close failed. Called at most once.
  virtual bool Close() = 0;
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes all `size` bytes; false on a write error.
  virtual bool Write(const char* data, std::size_t size) = 0;
  // Closes the file; false when the close failed. Called at most once.
  virtual bool Close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when `path` names something. With followLinks false a symbolic link
  // counts as existing even when it dangles.
  virtual bool Exists(const std::string& path, bool followLinks) = 0;
  // Opens `path` for reading; null when it cannot be opened (a directory
  // cannot be opened as a source).
  virtual std::unique_ptr<InputFile> OpenInput(const std::string& path) = 0;
  // Creates `path` for writing, exclusively: null when anything (a file, a
  // directory, a link, dangling or not) already stands at that path or the
  // file cannot be created. Never writes through a link.
  virtual std::unique_ptr<OutputFile> CreateOutput(const std::string& path) = 0;
};

// The operating system's files: POSIX calls on Linux
// (posix_file_system.cpp), the wide-character Win32 API on Windows
// (windows_file_system.cpp). Paths are UTF-8 on both.
FileSystem& SystemFileSystem();

}  // namespace notora
