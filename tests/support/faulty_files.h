// FaultyFiles: a FileSystem over another one (the disk, or a
// MemoryFileSystem) that fails where a FaultPlan says: reads that fail, a
// disk that fills up, closes that fail, and sources delivered a few bytes at
// a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "iges/file_system.h"
#include "iges/memory_file_system.h"

namespace notora::testing {

// Faults to put into the file layer.
struct FaultPlan {
  // Reads of the source fail from this offset on (every read that reaches
  // it, in every pass); -1 never.
  std::int64_t failReadAfter = -1;
  // Reads through the second handle, with which the output reads the
  // records back, fail from this offset on; -1 never.
  std::int64_t failReadBackAfter = -1;
  // When the output is created (the source has been read and closed), the
  // source is cut to this many bytes, and its byte at alterSourceAt is
  // changed; -1 never. Only sources held by a MemoryFileSystem change.
  std::int64_t shrinkSourceTo = -1;
  std::int64_t alterSourceAt = -1;
  // Writes fail once this many bytes have been written; -1 never.
  std::int64_t failWriteAfter = -1;
  bool failSourceClose = false;
  bool failOutputClose = false;
  // Bytes delivered per read (small values exercise block boundaries).
  std::size_t readChunk = 1 << 20;
};

class FaultyFiles : public FileSystem {
 public:
  // Over `*files` (which must outlive this object). `memory`, when given,
  // is the same file system as `files` or the one under it: its source
  // `sourcePath` is shrunk or altered as the plan says.
  explicit FaultyFiles(FaultPlan plan, FileSystem* files = &SystemFileSystem(),
                       MemoryFileSystem* memory = nullptr, std::string sourcePath = {})
      : plan_(plan), files_(files), memory_(memory), sourcePath_(std::move(sourcePath)) {}

  bool Exists(const std::string& path, bool followLinks) override;
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  // A full disk takes what fits of the write that fails.
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override;

  // The bytes handed to the writes of the output created at `path`, whether
  // or not they fitted.
  std::size_t offered(const std::string& path) const;

 private:
  FaultPlan plan_;
  FileSystem* files_;
  MemoryFileSystem* memory_;
  std::string sourcePath_;
  std::map<std::string, std::shared_ptr<std::size_t>> offered_;
};

// `input` with the read faults of `plan` (`readBack`: it is the second
// handle, which reads the records back for the output).
std::unique_ptr<InputFile> WithReadFaults(std::unique_ptr<InputFile> input, const FaultPlan& plan,
                                          bool readBack = false);

// A source held in memory, delivered at most `chunk` bytes per read,
// failing every read of the bytes from offset `failAfter` on (when not -1).
class StringInput : public InputFile {
 public:
  explicit StringInput(std::string bytes, std::size_t chunk = 1 << 20, std::int64_t failAfter = -1);
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    return input_->ReadAt(offset, buffer, size);
  }
  std::uint64_t SizeHint() const override { return input_->SizeHint(); }
  std::unique_ptr<InputFile> Duplicate() override { return input_->Duplicate(); }
  bool Close() override { return input_->Close(); }

 private:
  std::unique_ptr<InputFile> input_;
};

}  // namespace notora::testing
