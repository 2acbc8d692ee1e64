// SourceBuffer: the bytes of the source file, read once into memory and kept
// for both passes of a run.
//
// Bytes are read on demand in large blocks, so a read error surfaces at the
// record that needs the missing bytes. The file is seen as the original
// platform's text streams saw it: a byte 0x1A (Ctrl-Z) ends the file. (The
// carriage return of a CR LF pair is absorbed by the record reader.)
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "iges/file_system.h"

namespace notora {

class SourceBuffer {
 public:
  // Takes ownership of `file`, which must be open for reading.
  explicit SourceBuffer(std::unique_ptr<InputFile> file);
  ~SourceBuffer();
  SourceBuffer(const SourceBuffer&) = delete;
  SourceBuffer& operator=(const SourceBuffer&) = delete;

  // Reads until at least `end` bytes are held or the file has ended. Returns
  // false when a read failed; the bytes read before the failure stay.
  bool Ensure(std::size_t end);

  // All bytes held so far. The view stays valid until the next Ensure.
  std::string_view bytes() const { return std::string_view(data_, size_); }
  const char* data() const { return data_; }
  std::size_t size() const { return size_; }
  // True once the end of the file (or a Ctrl-Z) has been reached.
  bool ended() const { return ended_; }

  // Closes the file; false when the close failed. Idempotent: later calls
  // return true. The bytes stay available.
  bool Close();

 private:
  std::unique_ptr<InputFile> file_;
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  bool ended_ = false;
};

}  // namespace notora
