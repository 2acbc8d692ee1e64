// BlockWriter: the output's bytes collected in large blocks, each written at
// its place in the file.
//
// From the first full block on, a thread of its own writes the blocks behind
// the run, so that the copy into the system's file cache overlaps with the
// run's work; between blocks that thread also does the background work it
// is given (the Directory Entry records, formatted as their entities become
// final), and it flushes the file at the end. Without a thread each block
// is written when it is full and the background work is left to its owner.
//
// A write error is remembered, not acted on: nothing more is written, and
// the owner reports it once the source has been read. Once the writer is
// destroyed (the output given up), no further block is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "base/platform.h"
#include "base/threads.h"
#include "iges/file_system.h"

namespace notora {

// Work the writing thread does between blocks, up to a mark the owner moves
// forward as the work becomes ready.
class BackgroundWork {
 public:
  virtual ~BackgroundWork() = default;
  // Does the work up to `mark`; false on a write error. Called on one
  // thread at a time.
  virtual bool CatchUp(std::int64_t mark) = 0;
};

class BlockWriter {
 public:
  // The largest piece Reserve hands out.
  static constexpr std::size_t kSlack = 4096;

  // `*file` (and `*background`, may be null) must outlive the writer. The
  // blocks are the system's memory, touched only as they fill; a process
  // the system gives no memory writes through a small block of its own,
  // without a thread.
  BlockWriter(OutputFile* file, BackgroundWork* background);
  ~BlockWriter();
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // From now on the bytes go to `offset` and after (what is held is
  // written first).
  void MoveTo(std::uint64_t offset);
  // Where the next byte goes.
  std::uint64_t end() const { return offset_ + used_; }

  // Room for `size` bytes (at most kSlack) at the end of the block; Commit
  // says how many of them were used.
  char* Reserve(std::size_t size) {
    if (used_ + size > blockSize_ + kSlack) FlushFullBlock();
    return buffer_ + used_;
  }
  void Commit(std::size_t size) {
    used_ += size;
    if (used_ >= blockSize_) FlushFullBlock();
  }

  // The background work may go up to `mark` (the work is done in order; a
  // mark never moves back).
  void MarkReady(std::int64_t mark);
  // Flushes and waits until every block handed over has been written and
  // the background work has stopped; from then on, until the next block,
  // the owner may do that work itself. Returns the mark the writing thread
  // reached (0 when there is none).
  std::int64_t Drain();
  // Brings everything written to stable storage (after Drain). On the
  // writing thread where there is one, calling `whileWaiting` every 50 ms
  // meanwhile, so that the user interface stays alive during a long flush.
  bool Sync(const std::function<void()>& whileWaiting);

  // Whether a write failed; final after Drain.
  bool failed();
  void Fail();
  // Whether memory ran out in a write or flush on the writing thread;
  // final after Drain (or Sync).
  bool outOfMemory();

 private:
  // Small enough to stay in the processor's cache between writes.
  static constexpr std::size_t kBlockSize = 512 << 10;
  static constexpr std::size_t kStride = kBlockSize + kSlack;
  // One being filled, one being written, one ready.
  static constexpr std::size_t kBlocks = 3;
  // The most the background work goes between two looks at the blocks.
  static constexpr std::int64_t kBackgroundStep = 4096;

  struct Slot {
    char* data = nullptr;
    std::uint64_t offset = 0;
    std::size_t size = 0;
    bool full = false;  // handed to the writing thread
  };

  // A block filled: from now on blocks are written on the writing thread.
  // (An output smaller than a block never starts it before its flush, and
  // one given up before then never starts it at all.)
  void FlushFullBlock();
  void StartWriter();
  // Hands the bytes held to be written, and goes on in the next block.
  void Flush();
  void WriteSlot(Slot* slot);
  void WriteBehind();
  bool BackgroundPending() const;

  OutputFile* file_;
  BackgroundWork* background_;
  SystemMemory memory_;
  char reserve_[2 * kSlack];
  std::size_t blockSize_;
  std::size_t blocks_ = 1;
  Slot slots_[kBlocks];
  std::size_t filling_ = 0;
  char* buffer_ = nullptr;
  std::uint64_t offset_ = 0;
  std::size_t used_ = 0;

  Mutex mutex_;
  Condition changed_;
  bool failed_ = false;
  bool outOfMemory_ = false;
  bool stopRequested_ = false;
  bool syncRequested_ = false;
  bool syncDone_ = false;
  bool syncResult_ = false;
  std::int64_t handedMark_ = 0;    // the last mark handed over (the owner's own)
  std::int64_t readyMark_ = 0;     // how far the background work may go
  std::int64_t doneMark_ = 0;      // how far the writing thread took it
  bool backgroundBusy_ = false;    // the writing thread is doing it now
  bool writerTried_ = false;  // the writing thread was started (or could not be)
  Thread writer_;
};

}  // namespace notora
