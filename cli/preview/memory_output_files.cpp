#include "cli/preview/memory_output_files.h"

#include <algorithm>
#include <cstring>

namespace notora {
namespace {

class MemoryOutput : public OutputFile {
 public:
  explicit MemoryOutput(std::shared_ptr<std::string> bytes) : bytes_(std::move(bytes)) {}
  bool Write(const char* data, std::size_t size) override {
    bytes_->append(data, size);
    return true;
  }
  bool Close() override { return true; }

 private:
  std::shared_ptr<std::string> bytes_;
};

class MemoryInput : public InputFile {
 public:
  explicit MemoryInput(std::shared_ptr<std::string> bytes) : bytes_(std::move(bytes)) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min(size, bytes_->size() - position_);
    std::memcpy(buffer, bytes_->data() + position_, count);
    position_ += count;
    return static_cast<std::int64_t>(count);
  }
  std::uint64_t SizeHint() const override { return bytes_->size(); }
  bool Close() override { return true; }

 private:
  std::shared_ptr<std::string> bytes_;
  std::size_t position_ = 0;
};

}  // namespace

MemoryOutputFiles::MemoryOutputFiles(FileSystem* base, std::string outputPath)
    : base_(base), outputPath_(std::move(outputPath)), bytes_(std::make_shared<std::string>()) {}

bool MemoryOutputFiles::Exists(const std::string& path, bool followLinks) {
  if (path == outputPath_) return created_;
  return base_->Exists(path, followLinks);
}

std::unique_ptr<InputFile> MemoryOutputFiles::OpenInput(const std::string& path) {
  if (path == outputPath_) {
    if (!created_) return nullptr;
    return std::make_unique<MemoryInput>(bytes_);
  }
  return base_->OpenInput(path);
}

std::unique_ptr<OutputFile> MemoryOutputFiles::CreateOutput(const std::string& path) {
  if (path != outputPath_ || created_) return nullptr;
  created_ = true;
  return std::make_unique<MemoryOutput>(bytes_);
}

}  // namespace notora
