// SourceStream: the source read front to back from a chosen offset, through
// a few blocks of memory that are reused for the whole run, so that memory
// does not grow with the file and is not freshly touched for every megabyte
// read.
//
// Blocks are read by a thread of the stream's own, ahead of the bytes the
// caller needs, so that reading overlaps with checking the records. A read
// error still surfaces where the caller needs the bytes that could not be
// read. The file is seen as the original platform's text streams saw it: a
// byte 0x1A (Ctrl-Z) ends the file.
//
// The source is read again after its records were checked (the output pass
// copies them from the source): while the records are checked, a sum of
// every 4 KB is kept (BlockSums), and when they are read back each 4 KB must
// give the same sum and size, or it and what follows counts as unreadable. A file that
// shrank, grew within what was read, or changed under the run thus gives a
// read error, never bytes that were not checked.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "iges/file_system.h"
#include "base/platform.h"

namespace notora {

// The sums of the source as the checking pass read it, one for every
// kSumSpan bytes, and its logical end.
struct BlockSums {
  static constexpr std::size_t kSumSpan = 4096;
  std::vector<std::uint64_t> sums;  // sum i covers bytes [i * kSumSpan, (i + 1) * kSumSpan)
  std::uint64_t end = 0;            // where the file ended (at its end or at a Ctrl-Z)
  bool complete = false;            // the pass read up to that end
};

class SourceStream {
 public:
  // Bytes per block; the blocks stand at multiples of their size. A source
  // smaller than this has smaller blocks, down to kSmallestBlockSize.
  static constexpr std::size_t kBlockSize = 1 << 20;
  static constexpr std::size_t kSmallestBlockSize = 64 << 10;
  // How many bytes before the caller's position a block change keeps
  // contiguous (the bytes given to Keep and after).
  static constexpr std::size_t kCarrySize = 512;

  enum class Check {
    kNone,    // read as it comes
    kRecord,  // keep the sum of every block in the BlockSums
    kVerify,  // every block must match the BlockSums, or counts as unreadable
  };

  // `*file` and `*sums` must outlive the stream; `sums` may be null when
  // nothing is recorded or verified.
  SourceStream(InputFile* file, BlockSums* sums);
  ~SourceStream();
  SourceStream(const SourceStream&) = delete;
  SourceStream& operator=(const SourceStream&) = delete;

  // Starts reading at `offset`; what was held is dropped.
  void Restart(std::uint64_t offset, Check check);
  // Stops reading the file (a block being read is waited for) and reads
  // `file` from the next Restart on; the file read until now may then be
  // closed. With null, nothing is read any more.
  void SwitchFile(InputFile* file);
  // Bytes before `offset` are no longer needed: a block change keeps only
  // the bytes from here on (at most kCarrySize of them).
  void Keep(std::uint64_t offset) { keep_ = offset; }

  // Makes the bytes up to `end` available, contiguous from the offset given
  // to Keep. Returns false when a read failed (or a block could not be read
  // back as it was checked) before `end`; the bytes before the failure stay
  // available. When the file ends before `end`, returns true with ended()
  // set. May move the bytes: pointers from At are valid until the next
  // Ensure or Restart.
  bool Ensure(std::uint64_t end) { return end <= available_ || EnsureBeyond(end); }
  // The byte at `offset`, which lies between the offset given to Keep and
  // available().
  const char* At(std::uint64_t offset) const { return base_ + (offset - baseOffset_); }
  // The first and the end of the bytes available.
  std::uint64_t start() const { return baseOffset_; }
  std::uint64_t available() const { return available_; }
  // True when the file (or a Ctrl-Z) ends at available().
  bool ended() const { return ended_; }

  // Reads up to `size` bytes at `offset` outside the stream, straight from
  // the file (for the rare text that must be joined again from records read
  // long before). Returns the count (less only at the end of the file), or
  // -1 on a read error.
  std::int64_t ReadBack(std::uint64_t offset, char* buffer, std::size_t size);

  // Stops the read-ahead thread. Idempotent; the stream reads on the
  // caller's thread afterwards.
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
  // Makes room in the sums for the whole source, as far as its size is known.
  void ReserveSums();
  // Reads the block at `offset` into `block` (outside the lock).
  void Fill(Block* block, std::uint64_t offset, Check check);
  // Ensure for bytes beyond those available.
  bool EnsureBeyond(std::uint64_t end);
  // Moves to the next block; false when there is none (the file ended or a
  // read failed in the current one).
  bool Advance();
  // Under `*lock`: starts a new generation of reading, waits for a block
  // being filled to finish and frees every block.
  void DropBlocks(std::unique_lock<std::mutex>* lock);

  InputFile* file_;
  BlockSums* sums_;
  std::size_t blockSize_ = kBlockSize;
  SystemMemory memory_;  // every block's memory, in one piece
  std::vector<Block> blocks_;

  // The caller's view.
  std::size_t current_ = 0;       // the block being read
  bool haveCurrent_ = false;
  const char* base_ = nullptr;    // the byte at baseOffset_
  std::uint64_t baseOffset_ = 0;
  std::uint64_t available_ = 0;
  std::uint64_t keep_ = 0;
  bool ended_ = false;
  bool failed_ = false;

  // Shared with the read-ahead thread, under mutex_.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t generation_ = 0;  // raised by every Restart
  bool active_ = false;           // a reading job is under way
  bool jobDone_ = false;          // it met the end or a failure
  std::size_t fillNext_ = 0;      // the block it fills next
  std::uint64_t fillOffset_ = 0;  // and where in the file
  Check check_ = Check::kNone;
  bool stopRequested_ = false;
  std::thread reader_;
};

}  // namespace notora
