#include "iges/source_buffer.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>

namespace notora {
namespace {

constexpr std::size_t kBlockSize = 1 << 20;  // bytes asked for per read: parsed while still in cache
constexpr char kEndOfFileMark = '\x1a';      // Ctrl-Z
constexpr std::size_t kHugePage = 2 << 20;

// Memory for the source's bytes straight from the system, in huge pages where
// the system allows, so that filling a large file costs few page faults.
char* MapBytes(std::size_t size) {
  void* bytes = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (bytes == MAP_FAILED) return nullptr;
  if (size >= kHugePage) ::madvise(bytes, size, MADV_HUGEPAGE);
  return static_cast<char*>(bytes);
}

char* RemapBytes(char* bytes, std::size_t oldSize, std::size_t newSize) {
  void* moved = ::mremap(bytes, oldSize, newSize, MREMAP_MAYMOVE);
  if (moved == MAP_FAILED) return nullptr;
  if (newSize >= kHugePage) ::madvise(moved, newSize, MADV_HUGEPAGE);
  return static_cast<char*>(moved);
}

std::size_t RoundUpToHugePage(std::size_t size) { return (size + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

SourceBuffer::SourceBuffer(std::unique_ptr<InputFile> file) : file_(std::move(file)) {
  // Reserve the whole file at once (plus one block, in case it grows while
  // read) so that no byte is ever copied twice.
  const std::uint64_t hint = file_ ? file_->SizeHint() : 0;
  capacity_ = RoundUpToHugePage(
      static_cast<std::size_t>(std::min<std::uint64_t>(hint, SIZE_MAX / 4)) + kBlockSize);
  data_ = MapBytes(capacity_);
  if (data_ == nullptr) capacity_ = 0;
}

SourceBuffer::~SourceBuffer() {
  Close();
  if (data_ != nullptr) ::munmap(data_, capacity_);
}

bool SourceBuffer::Ensure(std::size_t end) {
  while (size_ < end && !ended_) {
    if (file_ == nullptr) {
      ended_ = true;
      break;
    }
    if (capacity_ - size_ < kBlockSize) {
      // The file grew while it was read (or its size was unknown).
      const std::size_t grown = RoundUpToHugePage(std::max(capacity_ * 2, size_ + kBlockSize));
      char* moved = data_ == nullptr ? MapBytes(grown) : RemapBytes(data_, capacity_, grown);
      if (moved == nullptr) return false;  // out of memory reads as a read error
      data_ = moved;
      capacity_ = grown;
    }
    // One block at a time: reading goes along with the records, so that a
    // cancel is seen and progress shown while a large file is read.
    const std::int64_t n = file_->Read(data_ + size_, std::min(capacity_ - size_, kBlockSize));
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
