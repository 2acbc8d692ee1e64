#include "iges/block_writer.h"

#include <algorithm>

#include "base/memory_guard.h"

namespace notora {
namespace {

// Runs `work` (a write, a flush or the background work on the writing
// thread, where no guard of the run reaches): memory that runs out in it
// sets `*outOfMemory` and fails it, and the thread goes on so that nobody
// waits for it in vain. Returns what `work` returned.
template <typename Work>
bool CallGuarded(const Work& work, bool* outOfMemory) {
  struct Call {
    const Work* work;
    bool result = false;
  } call{&work};
  const bool ran = RunWithinMemory(
      [](void* context) {
        auto* guarded = static_cast<Call*>(context);
        guarded->result = (*guarded->work)();
      },
      &call);
  *outOfMemory = !ran;
  return ran && call.result;
}

}  // namespace

BlockWriter::BlockWriter(OutputFile* file, BackgroundWork* background)
    : file_(file),
      background_(background),
      memory_(AllocateSystemMemory(kBlocks * kStride)),
      blockSize_(memory_ != nullptr ? kBlockSize : kSlack) {
  blocks_ = memory_ != nullptr ? kBlocks : 1;
  for (std::size_t i = 0; i < blocks_; ++i) {
    slots_[i].data = memory_ != nullptr ? memory_.get() + i * kStride : reserve_;
  }
  buffer_ = slots_[0].data;
}

BlockWriter::~BlockWriter() {
  if (!writer_.running()) return;
  {
    MutexLock lock(&mutex_);
    stopRequested_ = true;
  }
  changed_.NotifyAll();
  writer_.Join();
}

void BlockWriter::MoveTo(std::uint64_t offset) {
  Flush();
  offset_ = offset;
}

void BlockWriter::FlushFullBlock() {
  StartWriter();
  Flush();
}

void BlockWriter::StartWriter() {
  if (blocks_ == 1 || writerTried_) return;
  writerTried_ = true;
  writer_.Start([this] { WriteBehind(); });
}

void BlockWriter::Flush() {
  if (used_ == 0) return;
  Slot& slot = slots_[filling_];
  slot.offset = offset_;
  slot.size = used_;
  offset_ += used_;
  used_ = 0;
  if (!writer_.running()) {
    WriteSlot(&slot);
    return;
  }
  {
    MutexLock lock(&mutex_);
    slot.full = true;
    filling_ = (filling_ + 1) % blocks_;
    changed_.NotifyAll();
    changed_.Wait(&lock, [&] { return !slots_[filling_].full; });
  }
  buffer_ = slots_[filling_].data;
}

void BlockWriter::MarkReady(std::int64_t mark) {
  // Handed over in steps, so that the thread is not woken for each one.
  if (!writer_.running() || mark < handedMark_ + kBackgroundStep / 4) return;
  handedMark_ = mark;
  MutexLock lock(&mutex_);
  readyMark_ = mark;
  changed_.NotifyAll();
}

std::int64_t BlockWriter::Drain() {
  Flush();
  if (!writer_.running()) return 0;
  MutexLock lock(&mutex_);
  changed_.Wait(&lock, [&] {
    if (backgroundBusy_) return false;
    for (std::size_t i = 0; i < blocks_; ++i) {
      if (slots_[i].full) return false;
    }
    return true;
  });
  // What the thread has not begun is left to the owner.
  readyMark_ = doneMark_;
  handedMark_ = doneMark_;
  return doneMark_;
}

bool BlockWriter::Sync(const std::function<void()>& whileWaiting) {
  Drain();
  StartWriter();
  if (!writer_.running()) return file_->Sync();
  MutexLock lock(&mutex_);
  syncRequested_ = true;
  changed_.NotifyAll();
  while (!syncDone_) {
    changed_.WaitFor(&lock, 50);
    if (syncDone_) break;
    lock.Unlock();
    whileWaiting();
    lock.Lock();
  }
  return syncResult_;
}

bool BlockWriter::failed() {
  MutexLock lock(&mutex_);
  return failed_;
}

void BlockWriter::Fail() {
  MutexLock lock(&mutex_);
  failed_ = true;
}

bool BlockWriter::outOfMemory() {
  MutexLock lock(&mutex_);
  return outOfMemory_;
}

void BlockWriter::WriteSlot(Slot* slot) {
  bool failed;
  {
    MutexLock lock(&mutex_);
    failed = failed_;
  }
  if (!failed && !file_->WriteAt(slot->offset, slot->data, slot->size)) Fail();
}

bool BlockWriter::BackgroundPending() const {
  return background_ != nullptr && !failed_ && !stopRequested_ && readyMark_ > doneMark_;
}

void BlockWriter::WriteBehind() {
  std::size_t next = 0;
  MutexLock lock(&mutex_);
  for (;;) {
    changed_.Wait(&lock, [&] {
      return stopRequested_ || slots_[next].full || BackgroundPending() ||
             (syncRequested_ && !syncDone_);
    });
    if (slots_[next].full) {
      Slot* slot = &slots_[next];
      // Once the output fails or is given up, no further block is written.
      const bool skip = failed_ || stopRequested_;
      lock.Unlock();
      bool outOfMemory = false;
      const bool written =
          skip || CallGuarded([&] { return file_->WriteAt(slot->offset, slot->data, slot->size); },
                              &outOfMemory);
      lock.Lock();
      if (!written) failed_ = true;
      outOfMemory_ = outOfMemory_ || outOfMemory;
      slot->full = false;
      next = (next + 1) % blocks_;
      changed_.NotifyAll();
      continue;
    }
    if (BackgroundPending()) {
      // The blocks come first: the run waits for them, not for this. The
      // work goes in steps, so that a block handed over meanwhile waits
      // for one step at most.
      const std::int64_t mark = std::min(readyMark_, doneMark_ + kBackgroundStep);
      backgroundBusy_ = true;
      lock.Unlock();
      bool outOfMemory = false;
      const bool done = CallGuarded([&] { return background_->CatchUp(mark); }, &outOfMemory);
      lock.Lock();
      backgroundBusy_ = false;
      if (!done) failed_ = true;
      outOfMemory_ = outOfMemory_ || outOfMemory;
      doneMark_ = mark;
      changed_.NotifyAll();
      continue;
    }
    if (syncRequested_ && !syncDone_) {
      lock.Unlock();
      bool outOfMemory = false;
      const bool synced = CallGuarded([&] { return file_->Sync(); }, &outOfMemory);
      lock.Lock();
      outOfMemory_ = outOfMemory_ || outOfMemory;
      syncResult_ = synced;
      syncDone_ = true;
      changed_.NotifyAll();
      continue;
    }
    return;  // stopped, and nothing left to write
  }
}

}  // namespace notora
