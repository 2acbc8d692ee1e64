#include "tests/support/test_platform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <filesystem>

#include "base/utf8_path.h"
#include "iges/file_system.h"

namespace notora::testing {

std::vector<PublishWay> PublishWays() { return {{"windows", &SystemFileSystem()}}; }
namespace {

bool IsReparsePoint(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

bool ScratchFilesHaveNames() { return true; }

bool MakeSymbolicLink(const std::string& target, const std::string& link) {
  const std::wstring linkName = PathOf(link).wstring();
  const std::wstring targetName = PathOf(target).wstring();
  std::error_code error;
  DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
  if (std::filesystem::is_directory(PathOf(target), error)) flags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
  // Wine answers yes and makes nothing: only a reparse point at the name is
  // a link.
  return ::CreateSymbolicLinkW(linkName.c_str(), targetName.c_str(), flags) && IsReparsePoint(linkName);
}

std::optional<std::string> LinkAt(const std::string& path) {
  if (!IsReparsePoint(PathOf(path).wstring())) return std::nullopt;
  return std::string("?");
}

std::string ModificationTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(PathOf(path).wstring().c_str(), GetFileExInfoStandard, &data)) return "?";
  const ULONGLONG ticks = (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) |
                          data.ftLastWriteTime.dwLowDateTime;
  return std::to_string(ticks);  // 100 ns since 1601
}

FolderProtection HowToProtectFolders() { return FolderProtection::kNone; }

bool BecomeNobody() { return false; }

bool CanLimitAddressSpace() { return false; }

bool LimitAddressSpace(std::uint64_t) { return false; }

}  // namespace notora::testing
