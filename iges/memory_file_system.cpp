#include "iges/memory_file_system.h"

#include <algorithm>

namespace notora {
namespace {

class MemoryInput : public InputFile {
 public:
  explicit MemoryInput(std::shared_ptr<const MemoryFileSystem::File> file)
      : file_(std::move(file)) {}

  std::int64_t Read(char* buffer, std::size_t size) override {
    const std::string& bytes = file_->bytes;
    if (position_ >= bytes.size()) return 0;
    size = std::min(size, bytes.size() - position_);
    bytes.copy(buffer, size, position_);
    position_ += size;
    return static_cast<std::int64_t>(size);
  }
  std::uint64_t SizeHint() const override { return file_->bytes.size(); }
  bool Close() override { return true; }

 private:
  std::shared_ptr<const MemoryFileSystem::File> file_;
  std::size_t position_ = 0;
};

// A scratch file held in memory.
class MemoryScratch : public ScratchFile {
 public:
  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    if (offset + size > bytes_.size()) bytes_.resize(static_cast<std::size_t>(offset + size));
    std::copy(data, data + size, bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
  }
  bool ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
    bytes_.copy(buffer, size, static_cast<std::size_t>(offset));
    return true;
  }

 private:
  std::string bytes_;
};

}  // namespace

std::unique_ptr<ScratchFile> FileSystem::CreateScratch(const std::string& /*outputPath*/) {
  return std::make_unique<MemoryScratch>();
}

class MemoryOutput : public OutputFile {
 public:
  MemoryOutput(MemoryFileSystem* files, std::string path) : files_(files), path_(std::move(path)) {
    ++files_->outputsAside_;
  }
  ~MemoryOutput() override {
    if (!done_) Discard();
  }

  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    if (offset + size > bytes_.size()) bytes_.resize(static_cast<std::size_t>(offset + size));
    std::copy(data, data + size, bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
  }
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    if (offset >= bytes_.size()) return 0;
    size = std::min<std::size_t>(size, bytes_.size() - static_cast<std::size_t>(offset));
    bytes_.copy(buffer, size, static_cast<std::size_t>(offset));
    return static_cast<std::int64_t>(size);
  }
  bool Sync() override { return true; }
  PublishResult Publish() override {
    Done();
    if (files_->Exists(path_, /*followLinks=*/false)) return PublishResult::kNameTaken;
    auto file = std::make_shared<MemoryFileSystem::File>();
    file->bytes = std::move(bytes_);
    file->created = true;
    files_->files_[path_] = std::move(file);
    files_->createdPaths_.push_back(path_);
    return PublishResult::kPublished;
  }
  bool Discard() override {
    Done();
    bytes_.clear();
    return true;
  }

 private:
  void Done() {
    if (!done_) --files_->outputsAside_;
    done_ = true;
  }
  MemoryFileSystem* files_;
  std::string path_;
  std::string bytes_;
  bool done_ = false;
};


void MemoryFileSystem::AddFile(const std::string& path, std::string bytes) {
  auto file = std::make_shared<File>();
  file->bytes = std::move(bytes);
  files_[path] = std::move(file);
}

void MemoryFileSystem::ReadThrough(const std::string& path, FileSystem* files) {
  readThrough_[path] = files;
}

std::string* MemoryFileSystem::MutableBytes(const std::string& path) {
  const auto found = files_.find(path);
  return found == files_.end() ? nullptr : &found->second->bytes;
}

const MemoryFileSystem::File* MemoryFileSystem::Find(const std::string& path) const {
  const auto found = files_.find(path);
  return found == files_.end() ? nullptr : found->second.get();
}

bool MemoryFileSystem::Exists(const std::string& path, bool followLinks) {
  if (files_.count(path) != 0) return true;
  const auto through = readThrough_.find(path);
  return through != readThrough_.end() && through->second->Exists(path, followLinks);
}

std::unique_ptr<InputFile> MemoryFileSystem::OpenInput(const std::string& path) {
  if (const auto found = files_.find(path); found != files_.end()) {
    return std::make_unique<MemoryInput>(found->second);
  }
  const auto through = readThrough_.find(path);
  if (through == readThrough_.end()) return nullptr;
  return through->second->OpenInput(path);
}

std::unique_ptr<OutputFile> MemoryFileSystem::CreateOutput(const std::string& path) {
  return std::make_unique<MemoryOutput>(this, path);
}

std::unique_ptr<InputFile> OpenMemoryInput(std::string bytes) {
  auto file = std::make_shared<MemoryFileSystem::File>();
  file->bytes = std::move(bytes);
  return std::make_unique<MemoryInput>(std::move(file));
}

}  // namespace notora
