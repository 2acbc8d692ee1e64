#include "iges/memory_file_system.h"

#include <algorithm>

namespace notora {
namespace {

class MemoryInput : public InputFile {
 public:
  explicit MemoryInput(std::shared_ptr<const MemoryFileSystem::File> file)
      : file_(std::move(file)) {}

  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    const std::string& bytes = file_->bytes;
    if (offset >= bytes.size()) return 0;
    size = std::min<std::uint64_t>(size, bytes.size() - offset);
    bytes.copy(buffer, size, static_cast<std::size_t>(offset));
    return static_cast<std::int64_t>(size);
  }
  std::uint64_t SizeHint() const override { return file_->bytes.size(); }
  std::unique_ptr<InputFile> Duplicate() override { return std::make_unique<MemoryInput>(file_); }
  bool Close() override { return true; }

 private:
  std::shared_ptr<const MemoryFileSystem::File> file_;
};

class MemoryOutput : public OutputFile {
 public:
  explicit MemoryOutput(std::shared_ptr<MemoryFileSystem::File> file) : file_(std::move(file)) {}

  bool Write(const char* data, std::size_t size) override {
    file_->bytes.append(data, size);
    return true;
  }
  bool Close() override {
    file_->closed = true;
    return true;
  }

 private:
  std::shared_ptr<MemoryFileSystem::File> file_;
};

}  // namespace

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
  if (Exists(path, /*followLinks=*/false)) return nullptr;
  auto file = std::make_shared<File>();
  file->created = true;
  files_[path] = file;
  createdPaths_.push_back(path);
  return std::make_unique<MemoryOutput>(std::move(file));
}

std::unique_ptr<InputFile> OpenMemoryInput(std::string bytes) {
  auto file = std::make_shared<MemoryFileSystem::File>();
  file->bytes = std::move(bytes);
  return std::make_unique<MemoryInput>(std::move(file));
}

}  // namespace notora
