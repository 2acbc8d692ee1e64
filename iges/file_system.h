// The file layer of a run: opening the source, creating the output, asking
// whether a path exists. A run reaches files only through FileSystem, so that
// tests and fuzzing can put faults (read errors, full disks, failing closes)
// or memory-backed files in its place, and so that each platform brings its
// own implementation.
//
// What an implementation must provide:
// - InputFile::ReadAt: positional reads, any offset, any number of times,
//   safe from two threads at once (the run reads ahead on a thread of its
//   own while the caller's thread may read a few records back). The source
//   is read in several passes; nothing relies on a file position. A source that cannot be read at an offset (a pipe, a terminal)
//   is wrapped in a StreamInputFile, which keeps what it has read.
// - InputFile::Duplicate: a second, independent handle on the same open
//   file, so that the records can be read back after the source was closed
//   at the end of the reading passes.
// - OutputFile::Write and Close, FileSystem::CreateOutput creating the
//   output exclusively (never over or through anything at its path).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace notora {

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to `size` bytes that stand at `offset` from the start of the
  // file into `buffer`. Returns the number of bytes read (fewer than asked
  // for is no error: the caller asks again for the rest), 0 at or beyond the
  // end of the file, or -1 on a read error. Reading does not move anything:
  // the same offset may be read again, and gives the same bytes as long as
  // the file does not change.
  virtual std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) = 0;
  // The file's size when it is known, else 0 (only a hint: the end of the
  // file is where ReadAt returns 0).
  virtual std::uint64_t SizeHint() const = 0;
  // A second handle on the same open file, read independently of this one
  // and staying valid when this one is closed; null when none can be had.
  virtual std::unique_ptr<InputFile> Duplicate() = 0;
  // Closes the file; false when the close failed. Called at most once; no
  // read follows it.
  virtual bool Close() = 0;
};

// An input that can only be read front to back (a pipe, a terminal): every
// byte read is kept, so that ReadAt can serve any offset that has been
// reached, and the stream is read further on demand. Its duplicates share
// what was kept. Memory grows with what was read: only sources that cannot
// be read at an offset take this way.
class StreamInputFile : public InputFile {
 public:
  StreamInputFile();
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override;
  std::uint64_t SizeHint() const override { return 0; }
  std::unique_ptr<InputFile> Duplicate() override;
  bool Close() override;

 protected:
  // Reads the next bytes of the stream: the count, 0 at its end, -1 on an
  // error.
  virtual std::int64_t ReadStream(char* buffer, std::size_t size) = 0;
  // Closes the stream; false when the close failed.
  virtual bool CloseStream() = 0;

 private:
  struct Kept;
  class Duplicated;
  std::shared_ptr<Kept> kept_;
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes all `size` bytes at the end of what was written; false on a write
  // error.
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
