#include "iges/source_buffer.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "iges/page_memory.h"

namespace notora {
namespace {

constexpr std::size_t kBlockSize = 1 << 20;  // bytes asked for per read: parsed while still in cache
constexpr char kEndOfFileMark = '\x1a';      // Ctrl-Z
constexpr std::size_t kHugePage = 2 << 20;   // sizes are rounded up to whole huge pages

std::size_t RoundUpToHugePage(std::size_t size) { return (size + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

SourceBuffer::SourceBuffer(std::unique_ptr<InputFile> file) : file_(std::move(file)) {
  // Reserve the whole file at once (plus one block, in case it grows while
  // read) so that no byte is ever copied twice.
  const std::uint64_t hint = file_ ? file_->SizeHint() : 0;
  capacity_ = RoundUpToHugePage(
      static_cast<std::size_t>(std::min<std::uint64_t>(hint, SIZE_MAX / 4)) + kBlockSize);
  data_ = AllocatePages(capacity_);
  if (data_ == nullptr) capacity_ = 0;
  aheadStopped_ = true;
  if (file_ != nullptr && data_ != nullptr) {
    aheadStopped_ = false;
    try {
      reader_ = std::thread([this] { ReadAhead(); });
    } catch (const std::system_error&) {
      // No thread to be had (a process at its limits): every block is then
      // read on demand by the owner's thread, which gives the same bytes.
      aheadStopped_ = true;
    }
  }
}

SourceBuffer::~SourceBuffer() {
  Close();
  if (data_ != nullptr) FreePages(data_, capacity_);
}

std::size_t SourceBuffer::TakeUpToEndMark(std::size_t at, std::size_t count, bool* ended) const {
  if (const void* mark = std::memchr(data_ + at, kEndOfFileMark, count)) {
    *ended = true;
    return static_cast<std::size_t>(static_cast<const char*>(mark) - (data_ + at));
  }
  return count;
}

void SourceBuffer::ReadAhead() {
  std::size_t at = 0;
  bool failed = false;
  bool ended = false;
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopRequested_) break;
    }
    // Only into the room reserved at the start: the owner's thread alone
    // may move the bytes to make more.
    if (capacity_ - at < kBlockSize) break;
    const std::int64_t n = file_->Read(data_ + at, kBlockSize);
    if (n < 0) {
      failed = true;
      break;
    }
    if (n == 0) {
      ended = true;
      break;
    }
    at += TakeUpToEndMark(at, static_cast<std::size_t>(n), &ended);
    std::lock_guard<std::mutex> lock(mutex_);
    filled_ = at;
    aheadEnded_ = ended;
    progressed_.notify_all();
    if (ended) break;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  filled_ = at;
  aheadEnded_ = ended;
  aheadFailed_ = failed;
  aheadStopped_ = true;
  progressed_.notify_all();
}

void SourceBuffer::StopReadingAhead() {
  if (!reader_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopRequested_ = true;
  }
  reader_.join();
}

bool SourceBuffer::WaitForReadAhead(std::size_t end) {
  std::unique_lock<std::mutex> lock(mutex_);
  progressed_.wait(lock, [&] { return filled_ >= end || aheadEnded_ || aheadStopped_; });
  size_ = filled_;
  ended_ = aheadEnded_;
  const bool failedShort = aheadFailed_ && size_ < end && !ended_;
  const bool stoppedShort = aheadStopped_ && size_ < end && !ended_;
  lock.unlock();
  if (stoppedShort) {
    // From here on the owner's thread reads what is still missing.
    reader_.join();
    if (failedShort) return false;
  }
  return true;
}

bool SourceBuffer::ReadBlock() {
  if (capacity_ - size_ < kBlockSize) {
    // The file grew while it was read (or its size was unknown).
    const std::size_t grown = RoundUpToHugePage(std::max(capacity_ * 2, size_ + kBlockSize));
    char* moved = data_ == nullptr ? AllocatePages(grown) : ResizePages(data_, capacity_, grown);
    if (moved == nullptr) return false;  // out of memory reads as a read error
    data_ = moved;
    capacity_ = grown;
  }
  // One block at a time: reading goes along with the records, so that a
  // cancel is seen and progress shown while a large file is read.
  const std::int64_t n = file_->Read(data_ + size_, kBlockSize);
  if (n < 0) return false;
  if (n == 0) {
    ended_ = true;
    return true;
  }
  size_ += TakeUpToEndMark(size_, static_cast<std::size_t>(n), &ended_);
  return true;
}

bool SourceBuffer::Ensure(std::size_t end) {
  while (size_ < end && !ended_) {
    if (reader_.joinable()) {
      if (!WaitForReadAhead(end)) return false;
      continue;
    }
    if (file_ == nullptr) {
      ended_ = true;
      break;
    }
    if (!ReadBlock()) return false;
  }
  return true;
}

bool SourceBuffer::Close() {
  StopReadingAhead();
  if (file_ == nullptr) return true;
  const bool closed = file_->Close();
  file_.reset();
  return closed;
}

}  // namespace notora
