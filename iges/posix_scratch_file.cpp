#include "iges/posix_scratch_file.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace notora {
namespace {

class PosixScratchFile : public ScratchFile {
 public:
  explicit PosixScratchFile(int fd) : fd_(fd) {}
  ~PosixScratchFile() override { ::close(fd_); }
  PosixScratchFile(const PosixScratchFile&) = delete;
  PosixScratchFile& operator=(const PosixScratchFile&) = delete;

  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t n = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      data += n;
      offset += static_cast<std::uint64_t>(n);
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }
  bool ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    while (size > 0) {
      const ssize_t n = ::pread(fd_, buffer, size, static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      buffer += n;
      offset += static_cast<std::uint64_t>(n);
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<ScratchFile> NewPosixScratchFile(const std::string& outputPath, bool unnamedFile) {
  const std::size_t slash = outputPath.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0                 ? "/"
                                                          : outputPath.substr(0, slash);
  const std::string name = slash == std::string::npos ? outputPath : outputPath.substr(slash + 1);
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
