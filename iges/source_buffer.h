// SourceBuffer: the bytes of the source file, read once into memory and kept
// for both passes of a run.
//
// Bytes are read in blocks by a thread of the buffer's own, ahead of the
// records that need them, so that reading the file overlaps with checking
// it; a read error still surfaces at the record that needs the missing
// bytes. Where the thread stops (the file grew past the room reserved for
// it, or a read failed) the rest is read on demand by the caller's thread.
// The file is seen as the original platform's text streams saw it: a byte
// 0x1A (Ctrl-Z) ends the file. (The carriage return of a CR LF pair is
// absorbed by the record reader.)
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include "iges/file_system.h"

namespace notora {

class SourceBuffer {
 public:
  // Takes ownership of `file`, which must be open for reading.
  explicit SourceBuffer(std::unique_ptr<InputFile> file);
  ~SourceBuffer();
  SourceBuffer(const SourceBuffer&) = delete;
  SourceBuffer& operator=(const SourceBuffer&) = delete;

  // Waits (or reads) until at least `end` bytes are held or the file has
  // ended. Returns false when a read failed; the bytes read before the
  // failure stay, and a later call tries to read again.
  bool Ensure(std::size_t end);

  // All bytes held so far. The view stays valid until the next Ensure.
  std::string_view bytes() const { return std::string_view(data_, size_); }
  const char* data() const { return data_; }
  std::size_t size() const { return size_; }
  // True once the end of the file (or a Ctrl-Z) has been reached.
  bool ended() const { return ended_; }

  // Stops reading ahead and closes the file; false when the close failed.
  // Idempotent: later calls return true. The bytes stay available.
  bool Close();

 private:
  // The read-ahead thread: reads block after block into the reserved room.
  void ReadAhead();
  // Asks the read-ahead thread to stop and waits for it.
  void StopReadingAhead();
  // Waits for the read-ahead thread to reach `end`, to end, or to stop.
  // Returns false when it stopped on a failed read short of `end`.
  bool WaitForReadAhead(std::size_t end);
  // Reads one block on the caller's thread (the read-ahead thread stopped).
  bool ReadBlock();
  // Looks for Ctrl-Z in `count` new bytes at `at`: where it stands, the file
  // ends. Returns the number of bytes that count.
  std::size_t TakeUpToEndMark(std::size_t at, std::size_t count, bool* ended) const;

  std::unique_ptr<InputFile> file_;
  char* data_ = nullptr;
  std::size_t capacity_ = 0;
  // What the owner's thread may look at.
  std::size_t size_ = 0;
  bool ended_ = false;

  // Shared with the read-ahead thread, under mutex_.
  std::mutex mutex_;
  std::condition_variable progressed_;
  std::size_t filled_ = 0;       // bytes the thread has read
  bool aheadEnded_ = false;      // it met the end of the file or Ctrl-Z
  bool aheadFailed_ = false;     // a read failed
  bool aheadStopped_ = false;    // it has stopped, for whatever reason
  bool stopRequested_ = false;
  std::thread reader_;
};

}  // namespace notora
