// The operating system's files on POSIX systems.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
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
  bool open() const { return fd_ >= 0; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// A file, pipe, terminal or device, read front to back.
class PosixInputFile : public InputFile {
 public:
  PosixInputFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

  std::int64_t Read(char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t n = ::read(fd_.get(), buffer, size);
      if (n >= 0) return n;
      if (errno != EINTR) return -1;
    }
  }
  std::uint64_t SizeHint() const override { return size_; }
  bool Close() override { return fd_.Close(); }

 private:
  Descriptor fd_;
  std::uint64_t size_;
};

// The folder part of `path` ("." when it has none) and its last part.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}
std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Gives `from` the name `to` unless something stands there: one rename
// that refuses to replace, or, where the file system has none, a new link
// (which refuses too) and the old name removed.
PublishResult RenameNoReplace(const std::string& from, const std::string& to) {
#if defined(SYS_renameat2)
  constexpr unsigned kNoReplace = 1;  // RENAME_NOREPLACE
  if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), kNoReplace) == 0) {
    return PublishResult::kPublished;
  }
  if (errno == EEXIST) return PublishResult::kNameTaken;
#endif
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return PublishResult::kPublished;
  }
  return errno == EEXIST ? PublishResult::kNameTaken : PublishResult::kFailed;
}

// The name of an output on its way to stable storage: created in its
// folder without a name where the file system can (O_TMPFILE), so that
// nothing of it remains after any end of the process; elsewhere under a
// hidden name beside the output (".NAME.igs.PID-N.part"), removed unless
// the process dies.
class PosixOutputFile : public OutputFile {
 public:
  PosixOutputFile(int fd, std::string path, std::string hiddenPath)
      : fd_(fd), path_(std::move(path)), hiddenPath_(std::move(hiddenPath)) {}
  ~PosixOutputFile() override {
    if (fd_.open()) Discard();
  }

  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t n = ::pwrite(fd_.get(), data, size, static_cast<off_t>(offset));
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (n == 0) return false;
      data += n;
      offset += static_cast<std::uint64_t>(n);
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t n = ::pread(fd_.get(), buffer, size, static_cast<off_t>(offset));
      if (n >= 0) return n;
      if (errno != EINTR) return -1;
    }
  }
  bool Sync() override { return ::fsync(fd_.get()) == 0; }

  PublishResult Publish() override {
    PublishResult result;
    if (hiddenPath_.empty()) {
      // A file without a name gets its first one by a link, which never
      // replaces; then it is closed.
      result = LinkUnnamed();
      if (!fd_.Close() && result == PublishResult::kPublished) {
        ::unlink(path_.c_str());
        result = PublishResult::kFailed;
      }
    } else {
      if (!fd_.Close()) {
        ::unlink(hiddenPath_.c_str());
        return PublishResult::kFailed;
      }
      result = RenameNoReplace(hiddenPath_, path_);
      if (result != PublishResult::kPublished) ::unlink(hiddenPath_.c_str());
    }
    if (result == PublishResult::kPublished) SyncFolder();
    return result;
  }

  bool Discard() override {
    const bool closed = fd_.Close();
    if (!hiddenPath_.empty()) ::unlink(hiddenPath_.c_str());
    return closed;
  }

 private:
  PublishResult LinkUnnamed() {
    // Through /proc as any user may; where /proc is missing, by the
    // descriptor itself, which takes a privilege.
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return PublishResult::kPublished;
    }
    if (errno == EEXIST) return PublishResult::kNameTaken;
    if (::linkat(fd_.get(), "", AT_FDCWD, path_.c_str(), AT_EMPTY_PATH) == 0) {
      return PublishResult::kPublished;
    }
    return errno == EEXIST ? PublishResult::kNameTaken : PublishResult::kFailed;
  }
  // The new name itself reaches the disk with its folder.
  void SyncFolder() {
    const int folder = ::open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    ::fsync(folder);
    ::close(folder);
  }

  Descriptor fd_;
  std::string path_;
  std::string hiddenPath_;  // empty: the file has no name yet
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
    std::uint64_t size = 0;
    if (S_ISREG(info.st_mode)) {
      size = static_cast<std::uint64_t>(info.st_size);
      ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    return std::make_unique<PosixInputFile>(fd, size);
  }

  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    const std::string folder = FolderOf(path);
    int fd = -1;
#if defined(O_TMPFILE)
    fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd >= 0) return std::make_unique<PosixOutputFile>(fd, path, std::string());
#endif
    // O_EXCL with O_CREAT refuses any existing name, a symbolic link included.
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string hidden = (folder == "/" ? std::string() : folder) + "/." + NameOf(path) + "." +
                           std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".part";
      fd = ::open(hidden.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) return std::make_unique<PosixOutputFile>(fd, path, std::move(hidden));
      if (errno != EEXIST) return nullptr;
    }
    return nullptr;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFiles files;
  return files;
}

}  // namespace notora
