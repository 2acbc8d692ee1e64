#include "web/page_files.h"

#include <algorithm>
#include <cstring>
#include <cstdlib>

namespace notora::web {
namespace {

// Reads bytes that lie in memory owned elsewhere; its duplicates read the
// same bytes.
class ViewInput : public InputFile {
 public:
  explicit ViewInput(std::string_view bytes) : bytes_(bytes) {}
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    if (offset >= bytes_.size()) return 0;
    const std::size_t count = std::min<std::uint64_t>(size, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, count);
    return static_cast<std::int64_t>(count);
  }
  std::uint64_t SizeHint() const override { return bytes_.size(); }
  std::unique_ptr<InputFile> Duplicate() override { return std::make_unique<ViewInput>(bytes_); }
  bool Close() override { return true; }

 private:
  std::string_view bytes_;
};

class StringOutput : public OutputFile {
 public:
  explicit StringOutput(std::shared_ptr<std::string> bytes) : bytes_(std::move(bytes)) {}
  bool Write(const char* data, std::size_t size) override {
    // Memory that cannot be had is a write error, as a full disk is.
    if (size > bytes_->capacity() - bytes_->size() && !Reserve(bytes_->size() + size)) {
      return false;
    }
    bytes_->append(data, size);
    return true;
  }
  bool Close() override { return true; }

 private:
  // Room for at least `size` bytes, growing by halves rather than doubling
  // so that a module near its memory limit still fits the last blocks.
  bool Reserve(std::size_t size) {
    const std::size_t grown = std::max(size, bytes_->size() + bytes_->size() / 2);
    std::string larger;
    if (!TryReserve(&larger, grown) && !TryReserve(&larger, size)) return false;
    larger.append(*bytes_);
    *bytes_ = std::move(larger);
    return true;
  }

  static bool TryReserve(std::string* bytes, std::size_t size) {
    // The C library answers a request it cannot meet with null; the string
    // would end the module instead, so the memory is asked for first.
    void* probe = std::malloc(size + 1);
    if (probe == nullptr) return false;
    std::free(probe);
    bytes->reserve(size);
    return true;
  }

  std::shared_ptr<std::string> bytes_;
};

}  // namespace

PageFiles::PageFiles(std::string sourcePath, std::string_view source)
    : sourcePath_(std::move(sourcePath)), source_(source) {}

bool PageFiles::Exists(const std::string& path, bool /*followLinks*/) {
  return path == sourcePath_ || (!outputPath_.empty() && path == outputPath_);
}

std::unique_ptr<InputFile> PageFiles::OpenInput(const std::string& path) {
  if (path == sourcePath_) return std::make_unique<ViewInput>(source_);
  if (!outputPath_.empty() && path == outputPath_) return std::make_unique<ViewInput>(*output_);
  return nullptr;
}

std::unique_ptr<OutputFile> PageFiles::CreateOutput(const std::string& path) {
  if (Exists(path, false) || !outputPath_.empty()) return nullptr;
  outputPath_ = path;
  // An output is about as long as its source: its memory is taken once.
  void* probe = std::malloc(source_.size() + source_.size() / 16 + 4096);
  if (probe != nullptr) {
    std::free(probe);
    output_->reserve(source_.size() + source_.size() / 16 + 4096);
  }
  return std::make_unique<StringOutput>(output_);
}

}  // namespace notora::web
