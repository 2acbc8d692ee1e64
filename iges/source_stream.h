// SourceStream: the source read once, front to back, through a few blocks
// of memory that are reused for the whole run, so that memory does not grow
// with the file and is not freshly touched for every megabyte read.
//
// On a large source the blocks are read by a thread of the stream's own,
// ahead of the bytes the caller needs, so that reading overlaps with
// checking the records; without a thread (none to be had, or a small source)
// the caller's thread reads each block when it needs it, which gives the
// same bytes. A read error surfaces where the caller needs the bytes that
// could not be read. The file is seen as the original platform's text
// streams saw it: a byte 0x1A (Ctrl-Z) ends the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/platform.h"
#include "base/threads.h"
#include "iges/file_system.h"

namespace notora {

class SourceStream {
 public:
  // Bytes per block. A source smaller than this has smaller blocks, down to
  // kSmallestBlockSize.
  static constexpr std::size_t kBlockSize = 1 << 20;
  static constexpr std::size_t kSmallestBlockSize = 64 << 10;
  // How many bytes before the caller's position a block change keeps
  // contiguous (the bytes given to Keep and after).
  static constexpr std::size_t kCarrySize = 512;

  // `*file` must outlive the stream.
  explicit SourceStream(InputFile* file);
  // Stops the read-ahead thread.
  ~SourceStream();
  SourceStream(const SourceStream&) = delete;
  SourceStream& operator=(const SourceStream&) = delete;

  // Bytes before `offset` are no longer needed: a block change keeps only
  // the bytes from here on (at most kCarrySize of them).
  void Keep(std::uint64_t offset) { keep_ = offset; }

  // Makes the bytes up to `end` available, contiguous from the offset given
  // to Keep. Returns false when a read failed before `end` (or there was no
  // memory for the blocks); the bytes before the failure stay available.
  // When the file ends before `end`, returns true with ended() set. May move
  // the bytes: pointers from At are valid until the next Ensure.
  bool Ensure(std::uint64_t end) { return end <= available_ || EnsureBeyond(end); }
  // The byte at `offset`, which lies between the offset given to Keep and
  // available().
  const char* At(std::uint64_t offset) const { return base_ + (offset - baseOffset_); }
  // The first and the end of the bytes available.
  std::uint64_t start() const { return baseOffset_; }
  std::uint64_t available() const { return available_; }
  // True when the file (or a Ctrl-Z) ends at available().
  bool ended() const { return ended_; }
  // True when the reading failed for want of memory: no blocks could be
  // had, or memory ran out in a read on the read-ahead thread.
  bool outOfMemory() const { return outOfMemory_; }

  // Stops the read-ahead thread (a block being read is waited for).
  // Idempotent; the caller's thread reads any further blocks itself.
  void Stop();

 private:
  struct Block {
    char* memory = nullptr;  // kCarrySize bytes of carry, then blockSize_ of data
    char* data() const { return memory + kCarrySize; }
    std::uint64_t offset = 0;  // where its data stands in the file
    std::size_t size = 0;      // bytes of data
    bool ended = false;        // the file ends after them
    bool failed = false;       // reading stopped there on a failure
    enum class State { kFree, kFilling, kFull } state = State::kFree;
  };

  // Takes the blocks' memory and starts the read-ahead thread, once; false
  // when there is no memory for the blocks.
  bool Start();
  void ReadAhead();
  // Reads the next block of the file into `block` (outside the lock).
  void Fill(Block* block, std::uint64_t offset);
  bool EnsureBeyond(std::uint64_t end);
  // Moves to the next block.
  void Advance();

  InputFile* file_;
  std::size_t blockSize_ = kBlockSize;
  SystemMemory memory_;  // every block's memory, in one piece
  std::vector<Block> blocks_;
  bool started_ = false;

  // The caller's view.
  std::size_t current_ = 0;  // the block being read
  bool haveCurrent_ = false;
  const char* base_ = nullptr;  // the byte at baseOffset_
  std::uint64_t baseOffset_ = 0;
  std::uint64_t available_ = 0;
  std::uint64_t keep_ = 0;
  bool ended_ = false;
  bool failed_ = false;
  bool outOfMemory_ = false;

  // Shared with the read-ahead thread, under mutex_.
  Mutex mutex_;
  Condition changed_;
  bool fileDone_ = false;         // the file ended or failed in a block read
  std::size_t fillNext_ = 0;      // the block read next
  std::uint64_t fillOffset_ = 0;  // and where in the file
  bool stopRequested_ = false;
  bool outOfMemoryAhead_ = false;  // memory ran out on the read-ahead thread
  Thread reader_;
};

}  // namespace notora
