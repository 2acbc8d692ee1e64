// FaultyFiles: a FileSystem over another one (the disk, or a
// MemoryFileSystem) that fails where a FaultPlan says: reads that fail, a
// disk that fills up, flushes and closes that fail, a name taken while the
// output is written, and sources delivered a few bytes at a time.
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
  // Reads of the source fail from this offset on; -1 never.
  std::int64_t failReadAfter = -1;
  // The disk holds this many bytes of the output: a write beyond takes what
  // fits and fails; -1 never.
  std::int64_t failWriteAfter = -1;
  bool failSourceClose = false;
  // The output cannot be created (a folder that cannot be written to).
  bool failCreate = false;
  // The output's flush to stable storage fails.
  bool failSync = false;
  // The output's close, when it is given its name, fails.
  bool failOutputClose = false;
  // A file comes to stand at the output's name while the output is written
  // (only over a MemoryFileSystem).
  bool takeOutputName = false;
  // Bytes delivered per read (small values exercise block boundaries).
  std::size_t readChunk = 1 << 20;
};

class FaultyFiles : public FileSystem {
 public:
  // Over `*files` (which must outlive this object). `memory`, when given, is
  // the same file system as `files` or the one under it: the name an output
  // is to take is taken there when the plan says so.
  explicit FaultyFiles(FaultPlan plan, FileSystem* files = &SystemFileSystem(),
                       MemoryFileSystem* memory = nullptr)
      : plan_(plan), files_(files), memory_(memory) {}

  bool Exists(const std::string& path, bool followLinks) override;
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override;
  std::unique_ptr<ScratchFile> CreateScratch(const std::string& outputPath) override {
    return files_->CreateScratch(outputPath);
  }

  // The bytes handed to the writes of the output started for `path`,
  // whether or not they fitted.
  std::size_t offered(const std::string& path) const;

 private:
  FaultPlan plan_;
  FileSystem* files_;
  MemoryFileSystem* memory_;
  std::map<std::string, std::shared_ptr<std::size_t>> offered_;
};

// `input` with the read faults of `plan`.
std::unique_ptr<InputFile> WithReadFaults(std::unique_ptr<InputFile> input, const FaultPlan& plan);

// A source held in memory, delivered at most `chunk` bytes per read,
// failing every read of the bytes from offset `failAfter` on (when not -1).
class StringInput : public InputFile {
 public:
  explicit StringInput(std::string bytes, std::size_t chunk = 1 << 20, std::int64_t failAfter = -1);
  std::int64_t Read(char* buffer, std::size_t size) override { return input_->Read(buffer, size); }
  std::uint64_t SizeHint() const override { return input_->SizeHint(); }
  bool Close() override { return input_->Close(); }

 private:
  std::unique_ptr<InputFile> input_;
};

}  // namespace notora::testing
