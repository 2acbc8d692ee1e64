// What tests need from the system beyond the standard library, as each
// system has it (posix_test_platform.cpp, windows_test_platform.cpp):
// symbolic links, folders that a process may not write, a limit on a
// process's memory. Where a system lacks one, a test that needs it skips
// itself and says why.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace notora {
class FileSystem;
}

namespace notora::testing {

// One way the system's file layer can give an output its name, as a file
// system that keeps only some of the steps would make it take.
struct PublishWay {
  const char* name;
  FileSystem* files;
};
// How a test names the way (GoogleTest prints test parameters with it).
inline void PrintTo(const PublishWay& way, std::ostream* out) { *out << way.name; }
// Every way this system's file layer publishes: on POSIX an unnamed file
// linked, a hidden file renamed without replacing, linked, or renamed over
// a name reserved at the start; on Windows its one way.
std::vector<PublishWay> PublishWays();

// Whether a scratch file keeps a name in its folder while it is open:
// on Windows, hidden, until the system deletes it as it is closed; on POSIX
// it has none.
bool ScratchFilesHaveNames();

// Makes a symbolic link at `link` that points to `target`. False when no link
// could be made: Windows without the privilege to make one, or Wine, whose
// CreateSymbolicLinkW succeeds without making anything.
bool MakeSymbolicLink(const std::string& target, const std::string& link);
inline constexpr char kNoSymbolicLinks[] =
    "symbolic links cannot be made here (Windows without the privilege, or Wine, "
    "which makes none)";

// What stands at `path` when it is a symbolic link (its target, or "?" where
// the system does not tell); nothing when it is not one.
std::optional<std::string> LinkAt(const std::string& path);

// The modification time of the file at `path`, as precisely as the system
// keeps it, in decimal.
std::string ModificationTime(const std::string& path);

// How a test keeps a run from writing into a folder.
enum class FolderProtection {
  kPermissions,    // take the folder's write permission away
  kNobodyInChild,  // root writes anywhere: run in a child that becomes "nobody"
  kNone,           // Windows: a folder's read-only flag stops no one, and its
                   // access list is not enforced under Wine
};
FolderProtection HowToProtectFolders();
// Makes this process the unprivileged user "nobody"; false when it cannot.
bool BecomeNobody();
inline constexpr char kNoFolderProtection[] =
    "a folder's read-only flag does not stop writes on Windows, and its access "
    "list is not enforced under Wine";

// True when LimitAddressSpace can work here (not on Windows, whose job
// objects Wine does not enforce).
bool CanLimitAddressSpace();
// Limits the address space of this process to what it uses now plus `room`
// bytes (memory kept free by the allocator given back first); false when it
// could not.
bool LimitAddressSpace(std::uint64_t room);

}  // namespace notora::testing
