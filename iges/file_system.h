// The file layer of a run: opening the source, writing the output aside and
// publishing it, asking whether a path exists. A run reaches files only
// through FileSystem, so that tests and fuzzing can put faults (read errors,
// full disks, failing flushes and closes) or memory-backed files in its
// place, and so that each platform brings its own implementation.
//
// A run reads its source once, front to back, and writes its output under a
// name of its own in the output's folder; only when the output is whole and
// on stable storage is it given the name the user asked for, by one step
// that never replaces anything. Until then nothing stands under that name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace notora {

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to `size` bytes that follow those read before into `buffer`.
  // Returns the number of bytes read (fewer than asked for is no error: the
  // caller asks again for the rest), 0 at the end of the file, or -1 on a
  // read error. A pipe or a terminal is read this way like a file.
  virtual std::int64_t Read(char* buffer, std::size_t size) = 0;
  // The file's size when it is known, else 0 (only a hint: the end of the
  // file is where Read returns 0).
  virtual std::uint64_t SizeHint() const = 0;
  // Closes the file; false when the close failed. Called at most once; no
  // read follows it.
  virtual bool Close() = 0;
};

// What became of the step that gives an output its name.
enum class PublishResult {
  kPublished,  // the whole output stands under its name
  kNameTaken,  // something came to stand at the name meanwhile; it is untouched
  kFailed,     // the name could not be given; nothing stands under it
};

// An output being written aside. Nothing of it stands under its name until
// Publish succeeds, but for the empty file that reserves the name on file
// systems that can name a file only by replacing one. An output that is
// given up (Discard, or destroyed unpublished) leaves nothing behind but,
// after a crash of the whole process, a hidden temporary file in the
// output's folder (and that empty file), or a hidden temporary file that
// another program held open past a short wait.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes all `size` bytes at `offset`; false on a write error.
  virtual bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) = 0;
  // Reads back up to `size` bytes written at `offset`: the count, 0 beyond
  // what was written, -1 on an error.
  virtual std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) = 0;
  // Brings everything written to stable storage; false when that failed.
  virtual bool Sync() = 0;
  // Gives the output its name, never replacing what stands there, and
  // closes it. Called at most once, after Sync; nothing is written after.
  virtual PublishResult Publish() = 0;
  // Gives the output up: closes it and removes what was written. False when
  // the close failed. Called at most once, instead of Publish.
  virtual bool Discard() = 0;
};

// A file of a run's own for what it holds that does not fit its memory,
// made in the output's folder. Nothing of it is left once it is destroyed:
// where the system allows, it never has a name; else it is hidden, and its
// name is removed as soon as it is open.
class ScratchFile {
 public:
  virtual ~ScratchFile() = default;
  // Writes all `size` bytes at `offset`; false on a write error.
  virtual bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) = 0;
  // Reads exactly `size` bytes written at `offset`; false when it cannot.
  virtual bool ReadAt(std::uint64_t offset, char* buffer, std::size_t size) = 0;
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
  // Starts the output that is to stand at `path`, written aside in the same
  // folder; null when it cannot be created there. Nothing appears at `path`
  // itself before Publish.
  virtual std::unique_ptr<OutputFile> CreateOutput(const std::string& path) = 0;
  // A scratch file in the folder of the output at `outputPath`; null when
  // none can be made there. Unless a file system has files of its own for
  // it, the scratch file is kept in memory.
  virtual std::unique_ptr<ScratchFile> CreateScratch(const std::string& outputPath);
};

// The operating system's files: POSIX calls on Linux
// (posix_file_system.cpp), the wide-character Win32 API on Windows
// (windows_file_system.cpp). Paths are UTF-8 on both.
FileSystem& SystemFileSystem();

}  // namespace notora
