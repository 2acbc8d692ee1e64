// The operating system's files on POSIX systems.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "iges/file_system.h"

namespace notora {
namespace {

// An open file descriptor, closed once: by Close (which reports failure) or
// when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// A regular file, read with pread: no file position is shared between the
// passes, the read-ahead thread and a duplicate.
class PosixInputFile : public InputFile {
 public:
  PosixInputFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t n = ::pread(fd_.get(), buffer, size, static_cast<off_t>(offset));
      if (n >= 0) return n;
      if (errno != EINTR) return -1;
    }
  }
  std::uint64_t SizeHint() const override { return size_; }
  std::unique_ptr<InputFile> Duplicate() override {
    const int fd = ::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixInputFile>(fd, size_);
  }
  bool Close() override { return fd_.Close(); }

 private:
  Descriptor fd_;
  std::uint64_t size_;
};

// A pipe, terminal or device: read front to back, what was read is kept.
class PosixStreamFile : public StreamInputFile {
 public:
  explicit PosixStreamFile(int fd) : fd_(fd) {}

 protected:
  std::int64_t ReadStream(char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t n = ::read(fd_.get(), buffer, size);
      if (n >= 0) return n;
      if (errno != EINTR) return -1;
    }
  }
  bool CloseStream() override { return fd_.Close(); }

 private:
  Descriptor fd_;
};

class PosixOutputFile : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}

  bool Write(const char* data, std::size_t size) override {
    while (size > 0) {
      ssize_t n = ::write(fd_.get(), data, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }
  bool Close() override { return fd_.Close(); }

 private:
  Descriptor fd_;
};

class PosixFiles : public FileSystem {
 public:
  bool Exists(const std::string& path, bool followLinks) override {
    struct stat info;
    return (followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) == 0;
  }

  std::unique_ptr<InputFile> OpenInput(const std::string& path) override {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    // Only regular files (or devices and pipes, read as streams) are sources;
    // a directory opens on POSIX but can never be read as one.
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    if (!S_ISREG(info.st_mode)) return std::make_unique<PosixStreamFile>(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<PosixInputFile>(fd, static_cast<std::uint64_t>(info.st_size));
  }

  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    // O_EXCL with O_CREAT refuses any existing name, a symbolic link included.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixOutputFile>(fd);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFiles files;
  return files;
}

}  // namespace notora
