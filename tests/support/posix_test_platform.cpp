#include "tests/support/test_platform.h"

#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "iges/posix_file_system.h"
#include <fstream>

namespace notora::testing {

std::vector<PublishWay> PublishWays() {
  static const std::unique_ptr<FileSystem> renamed =
      NewPosixFileSystem({.unnamedFile = false, .noReplaceRename = true, .hardLink = true});
  static const std::unique_ptr<FileSystem> linked =
      NewPosixFileSystem({.unnamedFile = false, .noReplaceRename = false, .hardLink = true});
  static const std::unique_ptr<FileSystem> reserved =
      NewPosixFileSystem({.unnamedFile = false, .noReplaceRename = false, .hardLink = false});
  return {{"unnamed", &SystemFileSystem()},
          {"renamed", renamed.get()},
          {"linked", linked.get()},
          {"reserved", reserved.get()}};
}
namespace {

std::uint64_t AddressSpaceInUse() {
  std::ifstream statm("/proc/self/statm");
  std::uint64_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

}  // namespace

bool ScratchFilesHaveNames() { return false; }

bool MakeSymbolicLink(const std::string& target, const std::string& link) {
  return ::symlink(target.c_str(), link.c_str()) == 0;
}

std::optional<std::string> LinkAt(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return std::nullopt;
  std::error_code error;
  return std::filesystem::read_symlink(path, error).string();
}

std::string ModificationTime(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return "?";
  return std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
}

FolderProtection HowToProtectFolders() {
  return ::geteuid() == 0 ? FolderProtection::kNobodyInChild : FolderProtection::kPermissions;
}

bool BecomeNobody() { return ::setgid(65534) == 0 && ::setuid(65534) == 0; }

bool CanLimitAddressSpace() { return true; }

bool LimitAddressSpace(std::uint64_t room) {
  // Free memory the process kept from earlier tests would be room the limit
  // does not see: give it back first.
  ::malloc_trim(0);
  const std::uint64_t limit = AddressSpaceInUse() + room;
  const rlimit bounds{limit, limit};
  return ::setrlimit(RLIMIT_AS, &bounds) == 0;
}

}  // namespace notora::testing
