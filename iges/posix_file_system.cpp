// The operating system's files on POSIX systems.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "iges/file_system.h"
#include "iges/posix_file_io.h"
#include "iges/posix_file_system.h"
#include "iges/posix_scratch_file.h"

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
  // Gives the descriptor up to the caller, who closes it.
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
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

int RenameNoReplaceAt(int folder, const char* from, const char* to) {
#if defined(SYS_renameat2)
  constexpr unsigned kNoReplace = 1;  // RENAME_NOREPLACE
  return static_cast<int>(::syscall(SYS_renameat2, folder, from, folder, to, kNoReplace));
#else
  errno = ENOSYS;
  return -1;
#endif
}

// Gives a new file FAT's hidden attribute where the file system takes it
// (a name that starts with a dot is hidden only to POSIX systems).
void HideOnFat(int fd) {
  std::uint32_t attributes = 0;
  if (::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes) != 0) return;
  attributes |= ATTR_HIDDEN;
  ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attributes);
}

// How an output gets its name: see posix_file_system.h.
enum class PublishStep { kLinkUnnamed, kRenameNoReplace, kLinkThenUnlink, kRenameOverReserved };

// An output on its way to stable storage, every step relative to the
// output's folder, held open from the start.
class PosixOutputFile : public OutputFile {
 public:
  PosixOutputFile(int folder, int fd, std::string name, std::string partName, PublishStep step)
      : folder_(folder),
        fd_(fd),
        name_(std::move(name)),
        partName_(std::move(partName)),
        step_(step) {}
  ~PosixOutputFile() override {
    if (!ended_) Discard();
  }

  // For kRenameOverReserved: the empty file that holds the name, kept open
  // so that it stays the same file to compare with at the end.
  void HoldReserved(int fd) {
    reserved_ = std::make_unique<Descriptor>(fd);
  }

  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    return WriteAllAt(fd_.get(), offset, data, size);
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
    ended_ = true;
    PublishResult result = PublishResult::kFailed;
    if (step_ == PublishStep::kLinkUnnamed) {
      // A file without a name gets its first one by a link, which never
      // replaces; then it is closed.
      result = LinkUnnamed();
      if (!fd_.Close() && result == PublishResult::kPublished) {
        ::unlinkat(folder_.get(), name_.c_str(), 0);
        result = PublishResult::kFailed;
      }
    } else if (!fd_.Close()) {
      result = PublishResult::kFailed;
    } else if (step_ == PublishStep::kRenameNoReplace) {
      if (RenameNoReplaceAt(folder_.get(), partName_.c_str(), name_.c_str()) == 0) {
        result = PublishResult::kPublished;
      } else if (errno == EEXIST) {
        result = PublishResult::kNameTaken;
      }
    } else if (step_ == PublishStep::kLinkThenUnlink) {
      result = LinkPart();
    } else {
      result = RenameOverReserved();
    }
    if (result == PublishResult::kPublished && !SyncFolder()) {
      // The name may not have reached the disk: the output is not kept
      // under it, as nothing of a failed run is.
      ::unlinkat(folder_.get(), name_.c_str(), 0);
      result = PublishResult::kFailed;
    }
    if (result != PublishResult::kPublished) {
      RemovePart();
      RemoveReserved();
    }
    reserved_.reset();
    return result;
  }

  bool Discard() override {
    ended_ = true;
    const bool closed = !fd_.open() || fd_.Close();
    RemovePart();
    RemoveReserved();
    reserved_.reset();
    return closed;
  }

 private:
  PublishResult LinkUnnamed() {
    // Through /proc as any user may; where that is refused, by the
    // descriptor itself, which takes a privilege.
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
    if (::linkat(AT_FDCWD, self.c_str(), folder_.get(), name_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return PublishResult::kPublished;
    }
    if (errno == EEXIST) return PublishResult::kNameTaken;
    if (::linkat(fd_.get(), "", folder_.get(), name_.c_str(), AT_EMPTY_PATH) == 0) {
      return PublishResult::kPublished;
    }
    return errno == EEXIST ? PublishResult::kNameTaken : PublishResult::kFailed;
  }

  // The hidden file linked to the name, then its own name removed. When
  // that removal fails, the output would stand under two names: the new
  // one is taken back and the run fails.
  PublishResult LinkPart() {
    if (::linkat(folder_.get(), partName_.c_str(), folder_.get(), name_.c_str(), 0) != 0) {
      return errno == EEXIST ? PublishResult::kNameTaken : PublishResult::kFailed;
    }
    if (::unlinkat(folder_.get(), partName_.c_str(), 0) == 0) {
      partName_.clear();
      return PublishResult::kPublished;
    }
    ::unlinkat(folder_.get(), name_.c_str(), 0);
    return PublishResult::kFailed;
  }

  // True when the name still holds the empty file this run created.
  bool NameHoldsReserved() const {
    if (reserved_ == nullptr) return false;
    struct stat held;
    struct stat named;
    if (::fstat(reserved_->get(), &held) != 0) return false;
    if (::fstatat(folder_.get(), name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) return false;
    return S_ISREG(named.st_mode) && named.st_dev == held.st_dev && named.st_ino == held.st_ino &&
           named.st_size == 0;
  }

  PublishResult RenameOverReserved() {
    if (!NameHoldsReserved()) {
      // Something else stands at the name now (it is left as it is), or
      // the name was taken away.
      struct stat named;
      const bool taken = ::fstatat(folder_.get(), name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0;
      reserved_.reset();  // not this run's to remove any more
      return taken ? PublishResult::kNameTaken : PublishResult::kFailed;
    }
    reserved_.reset();
    if (::renameat(folder_.get(), partName_.c_str(), folder_.get(), name_.c_str()) != 0) {
      return PublishResult::kFailed;
    }
    partName_.clear();
    return PublishResult::kPublished;
  }

  // The new name itself reaches the disk with its folder. A file system
  // that cannot sync a folder keeps its names by other means.
  bool SyncFolder() {
    if (::fsync(folder_.get()) == 0) return true;
    return errno == EINVAL || errno == EROFS || errno == ENOSYS || errno == EOPNOTSUPP ||
           errno == ENOTSUP || errno == EBADF;
  }

  void RemovePart() {
    if (partName_.empty()) return;
    ::unlinkat(folder_.get(), partName_.c_str(), 0);
    partName_.clear();
  }
  // The reserved name is removed only while it still holds this run's
  // empty file.
  // (It is closed first: a FUSE file system keeps a file removed while
  // open under a hidden name of its own.)
  void RemoveReserved() {
    const bool ours = NameHoldsReserved();
    reserved_.reset();
    if (ours) ::unlinkat(folder_.get(), name_.c_str(), 0);
  }

  Descriptor folder_;
  Descriptor fd_;
  std::string name_;
  std::string partName_;  // empty: no hidden file (any more)
  PublishStep step_;
  std::unique_ptr<Descriptor> reserved_;
  bool ended_ = false;
};

class PosixFiles : public FileSystem {
 public:
  explicit PosixFiles(PublishSteps steps) : steps_(steps) {}

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
    const std::string name = NameOf(path);
    if (name.empty() || name == "." || name == "..") return nullptr;
    Descriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.open()) return nullptr;
#if defined(O_TMPFILE)
    // Linked at the end through /proc, which must be there to do it.
    if (steps_.unnamedFile && ::access("/proc/self/fd", X_OK) == 0) {
      const int fd = ::openat(folder.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
      if (fd >= 0) return Made(&folder, fd, name, std::string(), PublishStep::kLinkUnnamed);
    }
#endif
    std::string part;
    const int fd = CreatePart(folder.get(), name, &part);
    if (fd < 0) return nullptr;
    Descriptor file(fd);
    HideOnFat(fd);
    // The folder is asked, on the empty hidden file, for the strongest step
    // it keeps: a rename that refuses to replace (which then gives the file
    // its second hidden name), else a link (taken away again at once).
    if (steps_.noReplaceRename) {
      const std::string renamed = PartName(name);
      if (RenameNoReplaceAt(folder.get(), part.c_str(), renamed.c_str()) == 0) {
        return Made(&folder, file.Release(), name, renamed, PublishStep::kRenameNoReplace);
      }
    }
    if (steps_.hardLink) {
      const std::string probe = PartName(name);
      if (::linkat(folder.get(), part.c_str(), folder.get(), probe.c_str(), 0) == 0) {
        if (::unlinkat(folder.get(), probe.c_str(), 0) == 0) {
          return Made(&folder, file.Release(), name, part, PublishStep::kLinkThenUnlink);
        }
        ::unlinkat(folder.get(), part.c_str(), 0);
        return nullptr;
      }
    }
    // Neither: the name is reserved now, empty and this run's own.
    const int reserved = ::openat(folder.get(), name.c_str(),
                                  O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (reserved < 0) {
      ::unlinkat(folder.get(), part.c_str(), 0);
      return nullptr;
    }
    auto output = std::make_unique<PosixOutputFile>(folder.Release(), file.Release(), name, part,
                                                    PublishStep::kRenameOverReserved);
    output->HoldReserved(reserved);
    return output;
  }

  std::unique_ptr<ScratchFile> CreateScratch(const std::string& outputPath) override {
    return NewPosixScratchFile(outputPath, steps_.unnamedFile);
  }

 private:
  static std::unique_ptr<OutputFile> Made(Descriptor* folder, int fd, const std::string& name,
                                          const std::string& part, PublishStep step) {
    return std::make_unique<PosixOutputFile>(folder->Release(), fd, name, part, step);
  }

  // A hidden name of its own beside the output: ".NAME.igs.PID-N.part".
  static std::string PartName(const std::string& name) {
    static std::atomic<unsigned> serial{0};
    return "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".part";
  }

  // Creates a hidden file of its own; -1 when none can be made.
  static int CreatePart(int folder, const std::string& name, std::string* part) {
    // O_EXCL with O_CREAT refuses any existing name, a symbolic link included.
    for (int attempt = 0; attempt < 100; ++attempt) {
      *part = PartName(name);
      const int fd = ::openat(folder, part->c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
  }

  PublishSteps steps_;
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFiles files{PublishSteps()};
  return files;
}

std::unique_ptr<FileSystem> NewPosixFileSystem(PublishSteps steps) {
  return std::make_unique<PosixFiles>(steps);
}

}  // namespace notora
