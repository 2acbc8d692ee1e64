#include "tests/support/memory_file_system.h"

#include <algorithm>

namespace notora::testing {
namespace {

class MemoryInput : public InputFile {
 public:
  MemoryInput(std::shared_ptr<MemoryFileSystem::File> file, const FaultPlan& faults, bool readBack)
      : file_(std::move(file)), faults_(faults), readBack_(readBack) {}

  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    // Bytes from the fault's offset on cannot be read (a bad spot on the
    // disk), however often they are asked for.
    const std::int64_t failAt = readBack_ ? faults_.failReadBackAfter : faults_.failReadAfter;
    if (failAt >= 0 && static_cast<std::int64_t>(offset) >= failAt) return -1;
    const std::string& bytes = file_->bytes;
    if (offset >= bytes.size()) return 0;
    size = std::min({size, std::max<std::size_t>(faults_.readChunk, 1),
                     static_cast<std::size_t>(bytes.size() - offset)});
    if (failAt >= 0) size = std::min<std::size_t>(size, static_cast<std::size_t>(failAt - offset));
    bytes.copy(buffer, size, static_cast<std::size_t>(offset));
    return static_cast<std::int64_t>(size);
  }
  std::uint64_t SizeHint() const override { return file_->bytes.size(); }
  std::unique_ptr<InputFile> Duplicate() override {
    return std::make_unique<MemoryInput>(file_, faults_, /*readBack=*/true);
  }
  bool Close() override { return !faults_.failSourceClose; }

 private:
  std::shared_ptr<MemoryFileSystem::File> file_;
  FaultPlan faults_;
  bool readBack_;
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
  return std::make_unique<MemoryInput>(found->second, faults_, /*readBack=*/false);
}

std::unique_ptr<OutputFile> MemoryFileSystem::CreateOutput(const std::string& path) {
  if (files_.count(path) != 0) return nullptr;
  // The sources change under the run, after they were read and closed.
  for (auto& [name, file] : files_) {
    if (file->created) continue;
    if (faults_.shrinkSourceTo >= 0 && file->bytes.size() > static_cast<std::size_t>(faults_.shrinkSourceTo)) {
      file->bytes.resize(static_cast<std::size_t>(faults_.shrinkSourceTo));
    }
    if (faults_.alterSourceAt >= 0 && file->bytes.size() > static_cast<std::size_t>(faults_.alterSourceAt)) {
      file->bytes[static_cast<std::size_t>(faults_.alterSourceAt)] ^= 0x20;
    }
  }
  auto file = std::make_shared<File>();
  file->created = true;
  files_[path] = file;
  createdPaths_.push_back(path);
  return std::make_unique<MemoryOutput>(std::move(file), faults_);
}

}  // namespace notora::testing
