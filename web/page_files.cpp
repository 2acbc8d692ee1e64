#include "web/page_files.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

// What the page provides: the next bytes of the source the user chose.
extern "C" {
// Puts up to `size` bytes of the source from `offset` at `buffer`: the
// count, 0 at the end, -1 when the file could not be read.
__attribute__((import_module("notora"), import_name("read_source"))) std::int32_t
NotoraReadSource(double offset, char* buffer, std::size_t size);
}

namespace notora::web {
namespace {

class PageSource : public InputFile {
 public:
  explicit PageSource(std::uint64_t size) : size_(size) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    const std::int32_t got =
        NotoraReadSource(static_cast<double>(position_), buffer,
                         std::min<std::size_t>(size, std::size_t{1} << 30));
    if (got > 0) position_ += static_cast<std::uint64_t>(got);
    return got;
  }
  std::uint64_t SizeHint() const override { return size_; }
  bool Close() override { return true; }

 private:
  std::uint64_t size_;
  std::uint64_t position_ = 0;
};

// Reads bytes that lie in memory owned elsewhere, front to back.
class BytesInput : public InputFile {
 public:
  explicit BytesInput(std::shared_ptr<const OutputBytes> bytes) : bytes_(std::move(bytes)) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min(size, bytes_->size() - position_);
    std::memcpy(buffer, bytes_->data() + position_, count);
    position_ += count;
    return static_cast<std::int64_t>(count);
  }
  std::uint64_t SizeHint() const override { return bytes_->size(); }
  bool Close() override { return true; }

 private:
  std::shared_ptr<const OutputBytes> bytes_;
  std::size_t position_ = 0;
};

}  // namespace

OutputBytes::~OutputBytes() { Release(); }

bool OutputBytes::Reserve(std::size_t capacity) {
  if (capacity <= capacity_) return true;
  // The C library answers a request it cannot meet with null.
  char* larger = static_cast<char*>(std::malloc(capacity));
  if (larger == nullptr) return false;
  if (size_ != 0) std::memcpy(larger, data_, size_);
  std::free(data_);
  data_ = larger;
  capacity_ = capacity;
  return true;
}

bool OutputBytes::GrowTo(std::size_t size) {
  if (size <= size_) return true;
  // Growing by halves rather than doubling, so that a module near its
  // memory limit still fits the last pieces.
  if (size > capacity_ && !Reserve(std::max(size, capacity_ + capacity_ / 2)) && !Reserve(size)) {
    return false;
  }
  size_ = size;
  return true;
}

void OutputBytes::Release() {
  std::free(data_);
  data_ = nullptr;
  size_ = capacity_ = 0;
}

class PageOutput : public OutputFile {
 public:
  PageOutput(PageFiles* files, std::string path, std::size_t expectedSize)
      : files_(files), path_(std::move(path)), bytes_(std::make_shared<OutputBytes>()) {
    // An output is about as long as its source: its memory is taken once
    // (when it can be; else it grows as it is written).
    bytes_->Reserve(expectedSize);
  }

  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    // Memory that cannot be had is a write error, as a full disk is.
    if (offset + size > SIZE_MAX || !bytes_->GrowTo(static_cast<std::size_t>(offset + size))) {
      return false;
    }
    std::memcpy(bytes_->at(static_cast<std::size_t>(offset)), data, size);
    return true;
  }
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    if (offset >= bytes_->size()) return 0;
    size = std::min<std::size_t>(size, bytes_->size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, bytes_->data() + offset, size);
    return static_cast<std::int64_t>(size);
  }
  bool Sync() override { return true; }
  PublishResult Publish() override {
    if (files_->Exists(path_, /*followLinks=*/false)) return PublishResult::kNameTaken;
    files_->published_ = std::move(bytes_);
    files_->outputPath_ = path_;
    return PublishResult::kPublished;
  }
  bool Discard() override {
    bytes_->Release();
    return true;
  }

 private:
  PageFiles* files_;
  std::string path_;
  std::shared_ptr<OutputBytes> bytes_;
};

PageFiles::PageFiles(std::string sourcePath, std::uint64_t sourceSize)
    : sourcePath_(std::move(sourcePath)), sourceSize_(sourceSize) {}

bool PageFiles::Exists(const std::string& path, bool /*followLinks*/) {
  return path == sourcePath_ || (!outputPath_.empty() && path == outputPath_);
}

std::unique_ptr<InputFile> PageFiles::OpenInput(const std::string& path) {
  if (path == sourcePath_) return std::make_unique<PageSource>(sourceSize_);
  if (!outputPath_.empty() && path == outputPath_) return std::make_unique<BytesInput>(published_);
  return nullptr;
}

std::unique_ptr<OutputFile> PageFiles::CreateOutput(const std::string& path) {
  if (outputCreated_) return nullptr;
  outputCreated_ = true;
  const std::size_t expected =
      static_cast<std::size_t>(std::min<std::uint64_t>(sourceSize_ + sourceSize_ / 16 + 4096, SIZE_MAX / 2));
  return std::make_unique<PageOutput>(this, path, expected);
}

}  // namespace notora::web
