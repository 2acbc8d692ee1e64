#include "tests/support/recording_ui.h"

#include <algorithm>

namespace notora::testing {

void RecordingUi::ShowMessage(MessageKind kind, std::string_view text) {
  std::string entry = (kind == MessageKind::kReport ? "report: " : "error: ") + std::string(text);
  messages.push_back(entry);
  events.push_back(entry);
}

void RecordingUi::ShowProgress(std::int32_t recordNumber) {
  progress.push_back(recordNumber);
  events.push_back("progress " + std::to_string(recordNumber));
}

bool RecordingUi::PollCancel() { return ++polls == cancelAtPoll; }

std::int64_t StringInput::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) {
  if (failAfter_ >= 0 && static_cast<std::int64_t>(offset) >= failAfter_) return -1;
  if (offset >= bytes_->size()) return 0;
  size = std::min({size, chunk_, static_cast<std::size_t>(bytes_->size() - offset)});
  if (failAfter_ >= 0) size = std::min<std::size_t>(size, static_cast<std::size_t>(failAfter_ - offset));
  bytes_->copy(buffer, size, static_cast<std::size_t>(offset));
  return static_cast<std::int64_t>(size);
}

namespace {

class FaultyInput : public InputFile {
 public:
  FaultyInput(std::unique_ptr<InputFile> inner, const FaultPlan& plan, bool readBack)
      : inner_(std::move(inner)), plan_(plan), readBack_(readBack) {}
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    size = std::min(size, plan_.readChunk);
    const std::int64_t failAt = readBack_ ? plan_.failReadBackAfter : plan_.failReadAfter;
    if (failAt >= 0) {
      if (static_cast<std::int64_t>(offset) >= failAt) return -1;
      size = std::min<std::size_t>(size, static_cast<std::size_t>(failAt - static_cast<std::int64_t>(offset)));
    }
    return inner_->ReadAt(offset, buffer, size);
  }
  std::uint64_t SizeHint() const override { return inner_->SizeHint(); }
  std::unique_ptr<InputFile> Duplicate() override {
    std::unique_ptr<InputFile> inner = inner_->Duplicate();
    if (inner == nullptr) return nullptr;
    return std::make_unique<FaultyInput>(std::move(inner), plan_, /*readBack=*/true);
  }
  bool Close() override { return inner_->Close() && !plan_.failSourceClose; }

 private:
  std::unique_ptr<InputFile> inner_;
  FaultPlan plan_;
  bool readBack_;
};

class FaultyOutput : public OutputFile {
 public:
  FaultyOutput(std::unique_ptr<OutputFile> inner, const FaultPlan& plan)
      : inner_(std::move(inner)), plan_(plan) {}
  bool Write(const char* data, std::size_t size) override {
    if (plan_.failWriteAfter >= 0 && written_ + static_cast<std::int64_t>(size) > plan_.failWriteAfter) {
      const auto room = static_cast<std::size_t>(std::max<std::int64_t>(0, plan_.failWriteAfter - written_));
      inner_->Write(data, room);  // a full disk takes what fits
      written_ += static_cast<std::int64_t>(room);
      return false;
    }
    written_ += static_cast<std::int64_t>(size);
    return inner_->Write(data, size);
  }
  bool Close() override { return inner_->Close() && !plan_.failOutputClose; }

 private:
  std::unique_ptr<OutputFile> inner_;
  FaultPlan plan_;
  std::int64_t written_ = 0;
};

}  // namespace

bool FaultyFiles::Exists(const std::string& path, bool followLinks) {
  return PosixFileSystem().Exists(path, followLinks);
}

std::unique_ptr<InputFile> FaultyFiles::OpenInput(const std::string& path) {
  auto inner = PosixFileSystem().OpenInput(path);
  if (!inner) return nullptr;
  return std::make_unique<FaultyInput>(std::move(inner), plan_, /*readBack=*/false);
}

std::unique_ptr<OutputFile> FaultyFiles::CreateOutput(const std::string& path) {
  auto inner = PosixFileSystem().CreateOutput(path);
  if (!inner) return nullptr;
  return std::make_unique<FaultyOutput>(std::move(inner), plan_);
}

}  // namespace notora::testing
