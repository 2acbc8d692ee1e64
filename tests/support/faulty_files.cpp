#include "tests/support/faulty_files.h"

#include <algorithm>

#include "iges/memory_file_system.h"

namespace notora::testing {
namespace {

class FaultyInput : public InputFile {
 public:
  FaultyInput(std::unique_ptr<InputFile> inner, const FaultPlan& plan, bool readBack)
      : inner_(std::move(inner)), plan_(plan), readBack_(readBack) {}
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    size = std::min(size, std::max<std::size_t>(plan_.readChunk, 1));
    // Bytes from the fault's offset on cannot be read (a bad spot on the
    // disk), however often they are asked for.
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
  FaultyOutput(std::unique_ptr<OutputFile> inner, const FaultPlan& plan,
               std::shared_ptr<std::size_t> offered)
      : inner_(std::move(inner)), plan_(plan), offered_(std::move(offered)) {}
  bool Write(const char* data, std::size_t size) override {
    *offered_ += size;
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
  std::shared_ptr<std::size_t> offered_;
  std::int64_t written_ = 0;
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
  // The source changes under the run, after it was read and closed.
  if (std::string* source = memory_ != nullptr ? memory_->MutableBytes(sourcePath_) : nullptr) {
    if (plan_.shrinkSourceTo >= 0 && source->size() > static_cast<std::size_t>(plan_.shrinkSourceTo)) {
      source->resize(static_cast<std::size_t>(plan_.shrinkSourceTo));
    }
    if (plan_.alterSourceAt >= 0 && source->size() > static_cast<std::size_t>(plan_.alterSourceAt)) {
      (*source)[static_cast<std::size_t>(plan_.alterSourceAt)] ^= 0x20;
    }
  }
  auto inner = files_->CreateOutput(path);
  if (!inner) return nullptr;
  auto offered = std::make_shared<std::size_t>(0);
  offered_[path] = offered;
  return std::make_unique<FaultyOutput>(std::move(inner), plan_, std::move(offered));
}

std::size_t FaultyFiles::offered(const std::string& path) const {
  const auto found = offered_.find(path);
  return found == offered_.end() ? 0 : *found->second;
}

std::unique_ptr<InputFile> WithReadFaults(std::unique_ptr<InputFile> input, const FaultPlan& plan,
                                          bool readBack) {
  return std::make_unique<FaultyInput>(std::move(input), plan, readBack);
}

StringInput::StringInput(std::string bytes, std::size_t chunk, std::int64_t failAfter) {
  FaultPlan plan;
  plan.readChunk = chunk;
  plan.failReadAfter = failAfter;
  plan.failReadBackAfter = failAfter;
  input_ = WithReadFaults(OpenMemoryInput(std::move(bytes)), plan);
}

}  // namespace notora::testing
