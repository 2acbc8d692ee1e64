// RecordingUi: a RunUi that records everything a run shows, so tests can
// assert whole message sequences; and FaultyFiles, a FileSystem over the real
// one that fails where a test tells it to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "iges/file_system.h"
#include "base/run_ui.h"

namespace notora::testing {

class RecordingUi : public RunUi {
 public:
  void ShowMessage(MessageKind kind, std::string_view text) override;
  void BeginWaitCursor() override { events.push_back("cursor on"); }
  void EndWaitCursor() override { events.push_back("cursor off"); }
  void ShowProgress(std::int32_t recordNumber) override;
  bool PollCancel() override;

  // Every message, in order ("error: ..." or "report: ...").
  std::vector<std::string> messages;
  // Messages, cursor changes and progress, in order.
  std::vector<std::string> events;
  // Progress numbers shown, in order.
  std::vector<std::int32_t> progress;
  // The poll (counted from 1) at which a cancel is reported; 0 never.
  int cancelAtPoll = 0;
  int polls = 0;
};

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
  // changed; -1 never.
  std::int64_t shrinkSourceTo = -1;
  std::int64_t alterSourceAt = -1;
  // Writes fail once this many bytes have been written; -1 never.
  std::int64_t failWriteAfter = -1;
  bool failSourceClose = false;
  bool failOutputClose = false;
  // Bytes delivered per read (small values exercise block boundaries).
  std::size_t readChunk = 1 << 20;
};

// A source held in memory, delivered at most `chunk` bytes per read,
// failing every read of the bytes from offset `failAfter` on (when not -1).
class StringInput : public InputFile {
 public:
  explicit StringInput(std::string bytes, std::size_t chunk = 1 << 20, std::int64_t failAfter = -1)
      : bytes_(std::make_shared<const std::string>(std::move(bytes))), chunk_(chunk), failAfter_(failAfter) {}
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override;
  std::uint64_t SizeHint() const override { return bytes_->size(); }
  std::unique_ptr<InputFile> Duplicate() override { return std::make_unique<StringInput>(*this); }
  bool Close() override { return true; }

 private:
  std::shared_ptr<const std::string> bytes_;
  std::size_t chunk_;
  std::int64_t failAfter_;
};

class FaultyFiles : public FileSystem {
 public:
  explicit FaultyFiles(FaultPlan plan) : plan_(plan) {}
  bool Exists(const std::string& path, bool followLinks) override;
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override;

 private:
  FaultPlan plan_;
};

}  // namespace notora::testing
