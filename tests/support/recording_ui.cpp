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

std::int64_t StringInput::Read(char* buffer, std::size_t size) {
  if (failAfter_ >= 0 && static_cast<std::int64_t>(at_) >= failAfter_) return -1;
  size = std::min({size, chunk_, bytes_.size() - at_});
  if (failAfter_ >= 0) size = std::min<std::size_t>(size, static_cast<std::size_t>(failAfter_) - at_);
  bytes_.copy(buffer, size, at_);
  at_ += size;
  return static_cast<std::int64_t>(size);
}

namespace {

class FaultyInput : public InputFile {
 public:
  FaultyInput(std::unique_ptr<InputFile> inner, const FaultPlan& plan)
      : inner_(std::move(inner)), plan_(plan) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    size = std::min(size, plan_.readChunk);
    if (plan_.failReadAfter >= 0) {
      if (delivered_ >= plan_.failReadAfter) return -1;
      size = std::min<std::size_t>(size, static_cast<std::size_t>(plan_.failReadAfter - delivered_));
    }
    const std::int64_t n = inner_->Read(buffer, size);
    if (n > 0) delivered_ += n;
    return n;
  }
  std::uint64_t SizeHint() const override { return inner_->SizeHint(); }
  bool Close() override { return inner_->Close() && !plan_.failSourceClose; }

 private:
  std::unique_ptr<InputFile> inner_;
  FaultPlan plan_;
  std::int64_t delivered_ = 0;
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
  return SystemFileSystem().Exists(path, followLinks);
}

std::unique_ptr<InputFile> FaultyFiles::OpenInput(const std::string& path) {
  auto inner = SystemFileSystem().OpenInput(path);
  if (!inner) return nullptr;
  return std::make_unique<FaultyInput>(std::move(inner), plan_);
}

std::unique_ptr<OutputFile> FaultyFiles::CreateOutput(const std::string& path) {
  auto inner = SystemFileSystem().CreateOutput(path);
  if (!inner) return nullptr;
  return std::make_unique<FaultyOutput>(std::move(inner), plan_);
}

}  // namespace notora::testing
