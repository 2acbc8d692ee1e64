#include "iges/file_system.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace notora {

// What a stream has delivered so far, shared by the handle that reads it and
// its duplicates.
struct StreamInputFile::Kept {
  std::mutex mutex;                   // reads may come from more than one thread
  StreamInputFile* reader = nullptr;  // null once the stream is closed
  std::vector<char> bytes;
  bool ended = false;
};

// A duplicate serves the bytes kept, and reads the stream further through
// the original while that is open.
class StreamInputFile::Duplicated : public InputFile {
 public:
  explicit Duplicated(std::shared_ptr<Kept> kept) : kept_(std::move(kept)) {}
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    std::unique_lock<std::mutex> lock(kept_->mutex);
    if (kept_->reader != nullptr) {
      lock.unlock();
      return kept_->reader->ReadAt(offset, buffer, size);
    }
    if (offset >= kept_->bytes.size()) return 0;
    const std::size_t n = std::min<std::uint64_t>(size, kept_->bytes.size() - offset);
    std::memcpy(buffer, kept_->bytes.data() + offset, n);
    return static_cast<std::int64_t>(n);
  }
  std::uint64_t SizeHint() const override { return 0; }
  std::unique_ptr<InputFile> Duplicate() override { return std::make_unique<Duplicated>(kept_); }
  bool Close() override { return true; }

 private:
  std::shared_ptr<Kept> kept_;
};

StreamInputFile::StreamInputFile() : kept_(std::make_shared<Kept>()) { kept_->reader = this; }

std::int64_t StreamInputFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) {
  std::lock_guard<std::mutex> lock(kept_->mutex);
  std::vector<char>& bytes = kept_->bytes;
  while (offset >= bytes.size() && !kept_->ended) {
    constexpr std::size_t kChunk = 64 << 10;
    const std::size_t at = bytes.size();
    bytes.resize(at + kChunk);
    const std::int64_t n = ReadStream(bytes.data() + at, kChunk);
    bytes.resize(at + static_cast<std::size_t>(std::max<std::int64_t>(n, 0)));
    if (n < 0) return -1;
    if (n == 0) kept_->ended = true;
  }
  if (offset >= bytes.size()) return 0;
  const std::size_t n = std::min<std::uint64_t>(size, bytes.size() - offset);
  std::memcpy(buffer, bytes.data() + offset, n);
  return static_cast<std::int64_t>(n);
}

std::unique_ptr<InputFile> StreamInputFile::Duplicate() { return std::make_unique<Duplicated>(kept_); }

bool StreamInputFile::Close() {
  std::lock_guard<std::mutex> lock(kept_->mutex);
  kept_->reader = nullptr;
  return CloseStream();
}

}  // namespace notora
