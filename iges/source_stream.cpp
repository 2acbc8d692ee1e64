#include "iges/source_stream.h"

#include <algorithm>
#include <cstring>

#include "base/memory_guard.h"

namespace notora {
namespace {

constexpr char kEndOfFileMark = '\x1a';  // Ctrl-Z
// Blocks in the ring: the one the caller reads, and room for the thread to
// read ahead of it.
constexpr std::size_t kBlocks = 4;
// Sources from this size on are read ahead on a thread.
constexpr std::uint64_t kReadAheadFrom = kBlocks * SourceStream::kBlockSize;

}  // namespace

SourceStream::SourceStream(InputFile* file) : file_(file) {}

SourceStream::~SourceStream() { Stop(); }

bool SourceStream::Start() {
  started_ = true;
  // A source known to be smaller than a block takes blocks no larger than
  // it needs (a size of 0 is unknown, not small).
  const std::uint64_t sizeHint = file_->SizeHint();
  while (sizeHint != 0 && blockSize_ > kSmallestBlockSize && blockSize_ / 2 >= sizeHint) {
    blockSize_ /= 2;
  }
  // The blocks lie side by side in one piece of the system's memory, backed
  // by large pages where it can: they are then first touched with a few
  // page faults instead of one every 4 KB.
  const std::size_t stride = kCarrySize + blockSize_;
  memory_ = AllocateSystemMemory(kBlocks * stride);
  if (memory_ == nullptr) {
    outOfMemory_ = true;
    return false;
  }
  blocks_.resize(kBlocks);
  for (std::size_t i = 0; i < kBlocks; ++i) blocks_[i].memory = memory_.get() + i * stride;
  // Reading ahead pays only when there is more to read than the blocks
  // hold. A pipe, whose size is unknown, is read by the caller's thread,
  // which a cancel never has to wait for. Without a thread the caller reads
  // every block itself.
  if (sizeHint >= kReadAheadFrom) reader_.Start([this] { ReadAhead(); });
  return true;
}

void SourceStream::Stop() {
  if (!reader_.running()) return;
  {
    MutexLock lock(&mutex_);
    stopRequested_ = true;
  }
  changed_.NotifyAll();
  reader_.Join();
}

void SourceStream::Fill(Block* block, std::uint64_t offset) {
  block->offset = offset;
  block->ended = false;
  block->failed = false;
  char* data = block->data();
  std::size_t got = 0;
  while (got < blockSize_) {
    const std::int64_t n = file_->Read(data + got, blockSize_ - got);
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
  if (const void* mark = std::memchr(data, kEndOfFileMark, got)) {
    block->size = static_cast<std::size_t>(static_cast<const char*>(mark) - data);
    block->ended = true;
    block->failed = false;
  }
}

void SourceStream::ReadAhead() {
  MutexLock lock(&mutex_);
  for (;;) {
    changed_.Wait(&lock, [&] {
      return stopRequested_ || (!fileDone_ && blocks_[fillNext_].state == Block::State::kFree);
    });
    if (stopRequested_) return;
    Block& block = blocks_[fillNext_];
    block.state = Block::State::kFilling;
    const std::uint64_t offset = fillOffset_;
    lock.Unlock();
    // No guard of the run reaches this thread: memory that runs out in a
    // read ends the reading here, and the caller reports it.
    struct FillCall {
      SourceStream* stream;
      Block* block;
      std::uint64_t offset;
    } call{this, &block, offset};
    const bool filled = RunWithinMemory(
        [](void* context) {
          auto* fill = static_cast<FillCall*>(context);
          fill->stream->Fill(fill->block, fill->offset);
        },
        &call);
    lock.Lock();
    if (!filled) {
      block.size = 0;
      block.ended = false;
      block.failed = true;
      outOfMemoryAhead_ = true;
    }
    block.state = Block::State::kFull;
    fillNext_ = (fillNext_ + 1) % kBlocks;
    fillOffset_ += block.size;
    if (block.ended || block.failed) fileDone_ = true;
    changed_.NotifyAll();
  }
}

void SourceStream::Advance() {
  const std::size_t next = haveCurrent_ ? (current_ + 1) % kBlocks : 0;
  Block& block = blocks_[next];
  if (reader_.running()) {
    MutexLock lock(&mutex_);
    changed_.Wait(&lock, [&] { return block.state == Block::State::kFull; });
  } else if (block.state != Block::State::kFull) {
    Fill(&block, fillOffset_);
    block.state = Block::State::kFull;
    fillNext_ = (fillNext_ + 1) % kBlocks;
    fillOffset_ += block.size;
  }
  // The bytes still needed go in front of the new block's data, so that
  // they stay contiguous with it.
  std::size_t carry = 0;
  if (haveCurrent_) {
    const std::uint64_t from = std::max(keep_, baseOffset_);
    carry = static_cast<std::size_t>(
        std::min<std::uint64_t>(available_ - std::min(from, available_), kCarrySize));
    std::memcpy(block.data() - carry, At(available_ - carry), carry);
    {
      MutexLock lock(&mutex_);
      blocks_[current_].state = Block::State::kFree;
    }
    changed_.NotifyAll();
  }
  current_ = next;
  haveCurrent_ = true;
  base_ = block.data() - carry;
  baseOffset_ = block.offset - carry;
  available_ = block.offset + block.size;
  ended_ = block.ended;
  failed_ = block.failed;
  if (failed_ && reader_.running()) {
    MutexLock lock(&mutex_);
    outOfMemory_ = outOfMemoryAhead_;
  }
}

bool SourceStream::EnsureBeyond(std::uint64_t end) {
  if (!started_ && !Start()) failed_ = true;
  while (available_ < end) {
    if (ended_) return true;
    if (failed_) return false;
    Advance();
  }
  return true;
}

}  // namespace notora
