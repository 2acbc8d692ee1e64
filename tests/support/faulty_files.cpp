#include "tests/support/faulty_files.h"

#include <algorithm>

#include "iges/memory_file_system.h"

namespace notora::testing {
namespace {

class FaultyInput : public InputFile {
 public:
  FaultyInput(std::unique_ptr<InputFile> inner, const FaultPlan& plan)
      : inner_(std::move(inner)), plan_(plan) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    size = std::min(size, std::max<std::size_t>(plan_.readChunk, 1));
    // Bytes from the fault's offset on cannot be read (a bad spot on the
    // disk), however often they are asked for.
    if (plan_.failReadAfter >= 0) {
      if (position_ >= plan_.failReadAfter) return -1;
      size = std::min<std::size_t>(size, static_cast<std::size_t>(plan_.failReadAfter - position_));
    }
    const std::int64_t n = inner_->Read(buffer, size);
    if (n > 0) position_ += n;
    return n;
  }
  std::uint64_t SizeHint() const override { return inner_->SizeHint(); }
  bool Close() override { return inner_->Close() && !plan_.failSourceClose; }

 private:
  std::unique_ptr<InputFile> inner_;
  FaultPlan plan_;
  std::int64_t position_ = 0;
};

class FaultyOutput : public OutputFile {
 public:
  FaultyOutput(std::unique_ptr<OutputFile> inner, const FaultPlan& plan,
               std::shared_ptr<std::size_t> offered, MemoryFileSystem* memory, std::string path)
      : inner_(std::move(inner)),
        plan_(plan),
        offered_(std::move(offered)),
        memory_(memory),
        path_(std::move(path)) {}
  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    *offered_ += size;
    if (plan_.takeOutputName && memory_ != nullptr && !nameTaken_) {
      memory_->AddFile(path_, "taken meanwhile");
      nameTaken_ = true;
    }
    const auto end = static_cast<std::int64_t>(offset + size);
    if (plan_.failWriteAfter >= 0 && end > plan_.failWriteAfter) {
      // A full disk takes what fits.
      const auto room = static_cast<std::size_t>(
          std::max<std::int64_t>(0, plan_.failWriteAfter - static_cast<std::int64_t>(offset)));
      if (room > 0) inner_->WriteAt(offset, data, room);
      return false;
    }
    return inner_->WriteAt(offset, data, size);
  }
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    return inner_->ReadAt(offset, buffer, size);
  }
  bool Sync() override { return inner_->Sync() && !plan_.failSync; }
  PublishResult Publish() override {
    if (plan_.failOutputClose) {
      inner_->Discard();
      return PublishResult::kFailed;
    }
    return inner_->Publish();
  }
  bool Discard() override { return inner_->Discard(); }

 private:
  std::unique_ptr<OutputFile> inner_;
  FaultPlan plan_;
  std::shared_ptr<std::size_t> offered_;
  MemoryFileSystem* memory_;
  std::string path_;
  bool nameTaken_ = false;
};

}  // namespace

bool FaultyFiles::Exists(const std::string& path, bool followLinks) {
  return files_->Exists(path, followLinks);
}

std::unique_ptr<InputFile> FaultyFiles::OpenInput(const std::string& path) {
  auto inner = files_->OpenInput(path);
  if (!inner) return nullptr;
  return WithReadFaults(std::move(inner), plan_);
}

std::unique_ptr<OutputFile> FaultyFiles::CreateOutput(const std::string& path) {
  if (plan_.failCreate) return nullptr;
  auto inner = files_->CreateOutput(path);
  if (!inner) return nullptr;
  auto offered = std::make_shared<std::size_t>(0);
  offered_[path] = offered;
  return std::make_unique<FaultyOutput>(std::move(inner), plan_, std::move(offered), memory_, path);
}

std::size_t FaultyFiles::offered(const std::string& path) const {
  const auto found = offered_.find(path);
  return found == offered_.end() ? 0 : *found->second;
}

std::unique_ptr<InputFile> WithReadFaults(std::unique_ptr<InputFile> input, const FaultPlan& plan) {
  return std::make_unique<FaultyInput>(std::move(input), plan);
}

StringInput::StringInput(std::string bytes, std::size_t chunk, std::int64_t failAfter) {
  FaultPlan plan;
  plan.readChunk = chunk;
  plan.failReadAfter = failAfter;
  input_ = WithReadFaults(OpenMemoryInput(std::move(bytes)), plan);
}

}  // namespace notora::testing
