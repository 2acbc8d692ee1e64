// PageFiles: the files of one run in the page's module. The source is the
// file the user chose, read front to back from the page (the module holds no
// copy of it: the page hands over each piece as it is read); the output is
// written aside into memory taken for its whole expected size at once (about
// the source's), so that a large output is neither zeroed first nor copied
// while it grows, and given its name when the run publishes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "iges/file_system.h"

namespace notora::web {

// An output's bytes in memory of their own.
class OutputBytes {
 public:
  OutputBytes() = default;
  OutputBytes(const OutputBytes&) = delete;
  OutputBytes& operator=(const OutputBytes&) = delete;
  ~OutputBytes();

  const char* data() const { return data_; }
  std::size_t size() const { return size_; }
  // Room for at least `capacity` bytes; false when the memory cannot be had
  // (what is held stays).
  bool Reserve(std::size_t capacity);
  // Makes the size at least `size` (the bytes beyond the old size are
  // undefined until written); false without the memory for it.
  bool GrowTo(std::size_t size);
  char* at(std::size_t offset) { return data_ + offset; }
  void Release();

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

class PageFiles : public FileSystem {
 public:
  // The source at `sourcePath`, `sourceSize` bytes long, read from the page.
  PageFiles(std::string sourcePath, std::uint64_t sourceSize);

  // True for the source's path and for a published output's.
  bool Exists(const std::string& path, bool followLinks) override;
  // A reader over the source (from its start) or over a published output;
  // null for any other path.
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  // The output for `path`, written aside; null when an output was made
  // before (a run makes one).
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override;

  // The published output's bytes (none before Publish).
  const OutputBytes& output() const { return *published_; }

 private:
  friend class PageOutput;
  std::string sourcePath_;
  std::uint64_t sourceSize_;
  bool outputCreated_ = false;
  std::string outputPath_;  // set when the output is published
  std::shared_ptr<OutputBytes> published_ = std::make_shared<OutputBytes>();
};

}  // namespace notora::web
