#include "iges/posix_scratch_file.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "iges/posix_file_io.h"

namespace notora {
namespace {

class PosixScratchFile : public ScratchFile {
 public:
  explicit PosixScratchFile(int fd) : fd_(fd) {}
  ~PosixScratchFile() override { ::close(fd_); }
  PosixScratchFile(const PosixScratchFile&) = delete;
  PosixScratchFile& operator=(const PosixScratchFile&) = delete;

  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    return WriteAllAt(fd_, offset, data, size);
  }
  bool ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    return ReadAllAt(fd_, offset, buffer, size);
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<ScratchFile> NewPosixScratchFile(const std::string& outputPath, bool unnamedFile) {
  const std::string folder = FolderOf(outputPath);
  const std::string name = NameOf(outputPath);
  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) return nullptr;
  int fd = -1;
#if defined(O_TMPFILE)
  if (unnamedFile) fd = ::openat(folderFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#endif
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    const std::string hidden = "." + name + "." + std::to_string(::getpid()) + "-" +
                               std::to_string(serial++) + ".spill";
    // O_EXCL with O_CREAT refuses any existing name, a symbolic link included.
    fd = ::openat(folderFd, hidden.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::unlinkat(folderFd, hidden.c_str(), 0);
    } else if (errno != EEXIST) {
      break;
    }
  }
  ::close(folderFd);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixScratchFile>(fd);
}

}  // namespace notora
