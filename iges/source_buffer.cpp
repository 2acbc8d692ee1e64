#include "iges/source_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace notora {
namespace {

constexpr std::size_t kBlockSize = 4 << 20;  // bytes asked for per read
constexpr char kEndOfFileMark = '\x1a';      // Ctrl-Z

}  // namespace

SourceBuffer::SourceBuffer(std::unique_ptr<InputFile> file) : file_(std::move(file)) {
  // Reserve the whole file at once (plus one block, in case it grows while
  // read) so that no byte is ever copied twice.
  const std::uint64_t hint = file_ ? file_->SizeHint() : 0;
  capacity_ = static_cast<std::size_t>(std::min<std::uint64_t>(hint, SIZE_MAX / 2)) + kBlockSize;
  data_ = static_cast<char*>(std::malloc(capacity_));
  if (data_ == nullptr) capacity_ = 0;
}

SourceBuffer::~SourceBuffer() {
  Close();
  std::free(data_);
}

bool SourceBuffer::Ensure(std::size_t end) {
  while (size_ < end && !ended_) {
    if (file_ == nullptr) {
      ended_ = true;
      break;
    }
    if (capacity_ - size_ < kBlockSize) {
      std::size_t grown = std::max(capacity_ * 2, size_ + kBlockSize);
      char* moved = static_cast<char*>(std::realloc(data_, grown));
      if (moved == nullptr) return false;  // out of memory reads as a read error
      data_ = moved;
      capacity_ = grown;
    }
    const std::int64_t n = file_->Read(data_ + size_, capacity_ - size_);
    if (n < 0) return false;
    if (n == 0) {
      ended_ = true;
      break;
    }
    const auto count = static_cast<std::size_t>(n);
    if (const void* mark = std::memchr(data_ + size_, kEndOfFileMark, count)) {
      size_ = static_cast<std::size_t>(static_cast<const char*>(mark) - data_);
      ended_ = true;
      break;
    }
    size_ += count;
  }
  return true;
}

bool SourceBuffer::Close() {
  if (file_ == nullptr) return true;
  const bool closed = file_->Close();
  file_.reset();
  return closed;
}

}  // namespace notora
