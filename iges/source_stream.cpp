#include "iges/source_stream.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <system_error>

namespace notora {
namespace {

constexpr char kEndOfFileMark = '\x1a';  // Ctrl-Z
// Blocks in the ring: the one the caller reads, and room for the thread to
// read ahead of it.
constexpr std::size_t kBlocks = 4;
// Sources from this size on are read ahead on a thread.
constexpr std::uint64_t kReadAheadFrom = kBlocks * SourceStream::kBlockSize;

// A sum of `size` bytes that changes with any change of a byte or of its
// place: four lanes of 64-bit words, each with a running sum and a sum of
// running sums.
std::uint64_t BlockSum(const char* bytes, std::size_t size) {
  std::uint64_t a[4] = {0, 0, 0, 0};
  std::uint64_t b[4] = {0, 0, 0, 0};
  std::size_t at = 0;
  auto round = [&](const char* words) {
    for (int lane = 0; lane < 4; ++lane) {
      std::uint64_t word;
      std::memcpy(&word, words + 8 * lane, sizeof word);
      a[lane] += word;
      b[lane] += a[lane];
    }
  };
  for (; at + 32 <= size; at += 32) round(bytes + at);
  if (at < size) {
    char tail[32] = {};
    std::memcpy(tail, bytes + at, size - at);
    round(tail);
  }
  // Every step a bijection that spreads each bit over the whole word, so
  // that a change in any lane reaches the sum.
  auto mix = [](std::uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
  };
  std::uint64_t sum = mix(size);
  for (int lane = 0; lane < 4; ++lane) {
    sum = mix(sum ^ mix(a[lane]));
    sum = mix(sum ^ mix(b[lane]));
  }
  return sum;
}

}  // namespace

SourceStream::SourceStream(InputFile* file, BlockSums* sums) : file_(file), sums_(sums) {}

bool SourceStream::Start() {
  if (!blocks_.empty()) return true;
  // Memory and the thread are taken when the stream is first read, not
  // when it is made, and a process at its limits gets along without them:
  // without memory every read fails (a read error where the bytes are
  // needed), without the thread every block is read by the caller's thread
  // when it is needed, which gives the same bytes.
  // A source known to be smaller than a block takes blocks no larger than
  // it needs (a size of 0 is unknown, not small).
  const std::uint64_t sizeHint = file_->SizeHint();
  blockSize_ = kBlockSize;
  while (sizeHint != 0 && blockSize_ > kSmallestBlockSize && blockSize_ / 2 >= sizeHint) {
    blockSize_ /= 2;
  }
  // The blocks lie side by side in one piece of the system's memory, backed
  // by large pages where it can: they are then first touched with a few
  // page faults instead of one every 4 KB, which cost a small run as much
  // as reading megabytes.
  const std::size_t stride = kCarrySize + blockSize_;
  memory_ = AllocateSystemMemory(kBlocks * stride);
  if (memory_ == nullptr) return false;
  std::vector<Block> blocks(kBlocks);
  for (std::size_t i = 0; i < kBlocks; ++i) blocks[i].memory = memory_.get() + i * stride;
  blocks_ = std::move(blocks);
  // Reading ahead pays only when there is more to read than the blocks hold.
  if (file_->SizeHint() < kReadAheadFrom) return true;
  try {
    reader_ = std::thread([this] { ReadAhead(); });
  } catch (const std::system_error&) {
  } catch (const std::bad_alloc&) {
  }
  return true;
}

SourceStream::~SourceStream() { Stop(); }

void SourceStream::Stop() {
  if (!reader_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopRequested_ = true;
  }
  changed_.notify_all();
  reader_.join();
}

void SourceStream::DropBlocks(std::unique_lock<std::mutex>* lock) {
  ++generation_;
  // A block being read is left to finish, then dropped.
  changed_.wait(*lock, [&] {
    return std::none_of(blocks_.begin(), blocks_.end(),
                        [](const Block& block) { return block.state == Block::State::kFilling; });
  });
  for (Block& block : blocks_) block.state = Block::State::kFree;
}

void SourceStream::Restart(std::uint64_t offset, Check check) {
  haveCurrent_ = false;
  base_ = nullptr;
  baseOffset_ = offset;
  available_ = offset;
  keep_ = offset;
  ended_ = false;
  failed_ = file_ == nullptr || !Start();
  if (failed_) return;
  if (check == Check::kRecord && sums_ != nullptr) ReserveSums();
  {
    std::unique_lock<std::mutex> lock(mutex_);
    DropBlocks(&lock);
    active_ = true;
    jobDone_ = false;
    fillNext_ = 0;
    fillOffset_ = offset / blockSize_ * blockSize_;
    check_ = sums_ != nullptr ? check : Check::kNone;
  }
  changed_.notify_all();
}

void SourceStream::ReserveSums() {
  // Room for the sums of the whole file at once, rather than grown (copied
  // and freshly touched) block after block; up to the sums of 4 GB, and only
  // where there is memory for them.
  constexpr std::uint64_t kMostSums = 1 << 20;
  const std::uint64_t wanted = file_->SizeHint() / BlockSums::kSumSpan + 1;
  try {
    sums_->sums.reserve(static_cast<std::size_t>(std::min(wanted, kMostSums)));
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
}

void SourceStream::SwitchFile(InputFile* file) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    DropBlocks(&lock);
    active_ = false;
    file_ = file;
  }
  haveCurrent_ = false;
  base_ = nullptr;
  available_ = baseOffset_;
  ended_ = false;
  failed_ = true;
}

void SourceStream::Fill(Block* block, std::uint64_t offset, Check check) {
  block->offset = offset;
  block->ended = false;
  block->failed = false;
  char* data = block->data();
  std::size_t want = blockSize_;
  if (check == Check::kVerify) {
    // Only what the checking pass read counts; a file that grew since adds
    // nothing.
    want = offset >= sums_->end
               ? 0
               : static_cast<std::size_t>(std::min<std::uint64_t>(blockSize_, sums_->end - offset));
  }
  std::size_t got = 0;
  while (got < want) {
    const std::int64_t n = file_->ReadAt(offset + got, data + got, want - got);
    if (n < 0) {
      block->failed = true;
      break;
    }
    if (n == 0) {
      block->ended = true;
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  block->size = got;
  constexpr std::size_t kSpan = BlockSums::kSumSpan;
  static_assert(kSmallestBlockSize % kSpan == 0);
  const std::size_t first = static_cast<std::size_t>(offset / kSpan);
  switch (check) {
    case Check::kNone:
    case Check::kRecord:
      if (const void* mark = std::memchr(data, kEndOfFileMark, got)) {
        block->size = static_cast<std::size_t>(static_cast<const char*>(mark) - data);
        block->ended = true;
        block->failed = false;
      }
      if (check == Check::kRecord && !block->failed) {
        const std::size_t count = (block->size + kSpan - 1) / kSpan;
        if (sums_->sums.size() < first + count) sums_->sums.resize(first + count);
        for (std::size_t i = 0; i < count; ++i) {
          sums_->sums[first + i] = BlockSum(data + i * kSpan, std::min(kSpan, block->size - i * kSpan));
        }
        if (block->ended) {
          sums_->end = offset + block->size;
          sums_->complete = true;
        }
      }
      break;
    case Check::kVerify: {
      if (want < blockSize_) block->ended = true;
      // The bytes count up to the first span that does not give its sum (or
      // could not be read whole).
      std::size_t good = 0;
      while (good < want) {
        const std::size_t span = std::min(kSpan, want - good);
        const std::size_t index = first + good / kSpan;
        if (good + span > got || index >= sums_->sums.size() ||
            BlockSum(data + good, span) != sums_->sums[index]) {
          break;
        }
        good += span;
      }
      if (good < want) {
        block->size = good;
        block->failed = true;
        block->ended = false;
      }
      break;
    }
  }
}

void SourceStream::ReadAhead() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] {
      return stopRequested_ ||
             (active_ && !jobDone_ && blocks_[fillNext_].state == Block::State::kFree);
    });
    if (stopRequested_) return;
    Block& block = blocks_[fillNext_];
    block.state = Block::State::kFilling;
    const std::uint64_t generation = generation_;
    const std::uint64_t offset = fillOffset_;
    const Check check = check_;
    lock.unlock();
    Fill(&block, offset, check);
    lock.lock();
    if (generation != generation_) {
      block.state = Block::State::kFree;
    } else {
      block.state = Block::State::kFull;
      fillNext_ = (fillNext_ + 1) % kBlocks;
      fillOffset_ += blockSize_;
      if (block.ended || block.failed) jobDone_ = true;
    }
    changed_.notify_all();
  }
}

bool SourceStream::Advance() {
  const std::size_t next = haveCurrent_ ? (current_ + 1) % kBlocks : 0;
  Block& block = blocks_[next];
  if (reader_.joinable()) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return block.state == Block::State::kFull; });
  } else if (block.state != Block::State::kFull) {
    Fill(&block, fillOffset_, check_);
    block.state = Block::State::kFull;
    fillNext_ = (fillNext_ + 1) % kBlocks;
    fillOffset_ += blockSize_;
  }
  // The bytes still needed go in front of the new block's data, so that
  // they stay contiguous with it.
  std::size_t carry = 0;
  if (haveCurrent_) {
    const std::uint64_t from = std::max(keep_, baseOffset_);
    carry = static_cast<std::size_t>(std::min<std::uint64_t>(available_ - std::min(from, available_), kCarrySize));
    std::memcpy(block.data() - carry, At(available_ - carry), carry);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      blocks_[current_].state = Block::State::kFree;
    }
    changed_.notify_all();
  }
  current_ = next;
  haveCurrent_ = true;
  base_ = block.data() - carry;
  baseOffset_ = block.offset - carry;
  available_ = block.offset + block.size;
  ended_ = block.ended;
  failed_ = block.failed;
  return true;
}

bool SourceStream::EnsureBeyond(std::uint64_t end) {
  while (available_ < end) {
    if (ended_) return true;
    if (failed_) return false;
    Advance();
  }
  return true;
}

std::int64_t SourceStream::ReadBack(std::uint64_t offset, char* buffer, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    const std::int64_t n = file_->ReadAt(offset + got, buffer + got, size - got);
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return static_cast<std::int64_t>(got);
}

}  // namespace notora
