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

namespace notora::testing {

// Faults to put into the file layer.
struct FaultPlan {
  // Reads fail once this many bytes of the source have been delivered; -1
  // never.
  std::int64_t failReadAfter = -1;
  // Writes fail once this many bytes have been written; -1 never.
  std::int64_t failWriteAfter = -1;
  bool failSourceClose = false;
  bool failOutputClose = false;
  // Bytes delivered per read (small values exercise block boundaries).
  std::size_t readChunk = 1 << 20;
};

class FaultyFiles : public FileSystem {
 public:
  // Over `*files` (which must outlive this object).
  explicit FaultyFiles(FaultPlan plan, FileSystem* files = &PosixFileSystem())
      : plan_(plan), files_(files) {}

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
  std::map<std::string, std::shared_ptr<std::size_t>> offered_;
};

// `input` with the read faults of `plan`.
std::unique_ptr<InputFile> WithReadFaults(std::unique_ptr<InputFile> input, const FaultPlan& plan);

// A source held in memory, delivered at most `chunk` bytes per read,
// failing every read once `failAfter` bytes were delivered (when not -1).
std::unique_ptr<InputFile> MemoryInput(std::string bytes, std::size_t chunk = 1 << 20,
                                       std::int64_t failAfter = -1);

}  // namespace notora::testing
