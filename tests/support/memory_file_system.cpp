#include "tests/support/memory_file_system.h"

#include <algorithm>

namespace notora::testing {
namespace {

class MemoryInput : public InputFile {
 public:
  MemoryInput(std::shared_ptr<MemoryFileSystem::File> file, const FaultPlan& faults)
      : file_(std::move(file)), faults_(faults) {}

  std::int64_t Read(char* buffer, std::size_t size) override {
    if (faults_.failReadAfter >= 0 && delivered_ >= faults_.failReadAfter) return -1;
    const std::string& bytes = file_->bytes;
    size = std::min({size, std::max<std::size_t>(faults_.readChunk, 1), bytes.size() - at_});
    if (faults_.failReadAfter >= 0) {
      size = std::min<std::size_t>(size, static_cast<std::size_t>(faults_.failReadAfter - delivered_));
    }
    bytes.copy(buffer, size, at_);
    at_ += size;
    delivered_ += static_cast<std::int64_t>(size);
    return static_cast<std::int64_t>(size);
  }
  std::uint64_t SizeHint() const override { return file_->bytes.size(); }
  bool Close() override { return !faults_.failSourceClose; }

 private:
  std::shared_ptr<MemoryFileSystem::File> file_;
  FaultPlan faults_;
  std::size_t at_ = 0;
  std::int64_t delivered_ = 0;
};

class MemoryOutput : public OutputFile {
 public:
  MemoryOutput(std::shared_ptr<MemoryFileSystem::File> file, const FaultPlan& faults)
      : file_(std::move(file)), faults_(faults) {}

  bool Write(const char* data, std::size_t size) override {
    std::string& bytes = file_->bytes;
    file_->offered += size;
    if (faults_.failWriteAfter >= 0 &&
        static_cast<std::int64_t>(bytes.size() + size) > faults_.failWriteAfter) {
      // A full disk takes what fits.
      const auto room = static_cast<std::size_t>(
          std::max<std::int64_t>(0, faults_.failWriteAfter - static_cast<std::int64_t>(bytes.size())));
      bytes.append(data, room);
      return false;
    }
    bytes.append(data, size);
    return true;
  }
  bool Close() override {
    file_->closed = true;
    return !faults_.failOutputClose;
  }

 private:
  std::shared_ptr<MemoryFileSystem::File> file_;
  FaultPlan faults_;
};

}  // namespace

void MemoryFileSystem::AddFile(const std::string& path, std::string bytes) {
  auto file = std::make_shared<File>();
  file->bytes = std::move(bytes);
  files_[path] = std::move(file);
}

const MemoryFileSystem::File* MemoryFileSystem::Find(const std::string& path) const {
  auto found = files_.find(path);
  return found == files_.end() ? nullptr : found->second.get();
}

bool MemoryFileSystem::Exists(const std::string& path, bool) { return files_.count(path) != 0; }

std::unique_ptr<InputFile> MemoryFileSystem::OpenInput(const std::string& path) {
  auto found = files_.find(path);
  if (found == files_.end()) return nullptr;
  return std::make_unique<MemoryInput>(found->second, faults_);
}

std::unique_ptr<OutputFile> MemoryFileSystem::CreateOutput(const std::string& path) {
  if (files_.count(path) != 0) return nullptr;
  auto file = std::make_shared<File>();
  file->created = true;
  files_[path] = file;
  createdPaths_.push_back(path);
  return std::make_unique<MemoryOutput>(std::move(file), faults_);
}

}  // namespace notora::testing
