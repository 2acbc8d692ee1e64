#include "web/page_files.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace notora::web {
namespace {

// Reads bytes that lie in memory owned elsewhere, front to back.
class ViewInput : public InputFile {
 public:
  explicit ViewInput(std::string_view bytes) : bytes_(bytes) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min(size, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return static_cast<std::int64_t>(count);
  }
  std::uint64_t SizeHint() const override { return bytes_.size(); }
  bool Close() override { return true; }

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
};

// Room for `size` bytes in `*bytes`, or false. The C library answers a
// request it cannot meet with null, where the string would end the module:
// the memory is asked for first.
bool TryReserve(std::string* bytes, std::size_t size) {
  if (size <= bytes->capacity()) return true;
  void* probe = std::malloc(size + 1);
  if (probe == nullptr) return false;
  std::free(probe);
  bytes->reserve(size);
  return true;
}

}  // namespace

class PageOutput : public OutputFile {
 public:
  PageOutput(PageFiles* files, std::string path, std::size_t expectedSize)
      : files_(files), path_(std::move(path)) {
    // An output is about as long as its source: its memory is taken once.
    TryReserve(&bytes_, expectedSize);
  }

  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    const std::uint64_t end = offset + size;
    if (end > bytes_.size()) {
      // Growing by halves rather than doubling, so that a module near its
      // memory limit still fits the last pieces; memory that cannot be had
      // is a write error, as a full disk is.
      if (end > bytes_.capacity() &&
          !TryReserve(&bytes_, std::max<std::size_t>(end, bytes_.size() + bytes_.size() / 2)) &&
          !TryReserve(&bytes_, end)) {
        return false;
      }
      bytes_.resize(end);
    }
    std::memcpy(bytes_.data() + offset, data, size);
    return true;
  }
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    if (offset >= bytes_.size()) return 0;
    size = std::min<std::size_t>(size, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, size);
    return static_cast<std::int64_t>(size);
  }
  bool Sync() override { return true; }
  PublishResult Publish() override {
    if (files_->Exists(path_, /*followLinks=*/false)) return PublishResult::kNameTaken;
    *files_->published_ = std::move(bytes_);
    files_->outputPath_ = path_;
    return PublishResult::kPublished;
  }
  bool Discard() override {
    bytes_ = std::string();
    return true;
  }

 private:
  PageFiles* files_;
  std::string path_;
  std::string bytes_;
};

PageFiles::PageFiles(std::string sourcePath, std::string_view source)
    : sourcePath_(std::move(sourcePath)), source_(source) {}

bool PageFiles::Exists(const std::string& path, bool /*followLinks*/) {
  return path == sourcePath_ || (!outputPath_.empty() && path == outputPath_);
}

std::unique_ptr<InputFile> PageFiles::OpenInput(const std::string& path) {
  if (path == sourcePath_) return std::make_unique<ViewInput>(source_);
  if (!outputPath_.empty() && path == outputPath_) return std::make_unique<ViewInput>(*published_);
  return nullptr;
}

std::unique_ptr<OutputFile> PageFiles::CreateOutput(const std::string& path) {
  if (outputCreated_) return nullptr;
  outputCreated_ = true;
  return std::make_unique<PageOutput>(this, path, source_.size() + source_.size() / 16 + 4096);
}

}  // namespace notora::web
