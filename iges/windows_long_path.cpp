#include "iges/windows_long_path.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string_view>

namespace notora {
namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Paths that the system takes as they are, past its own parsing: "\\?\" and
// the NT form "\??\".
bool IsLiteral(std::wstring_view path) {
  return StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\??\\");
}

// `path` made absolute by the system's rules; empty when it cannot be.
std::wstring FullPath(const std::wstring& path) {
  // The current folder may change between the two calls (another thread):
  // the size is asked again until it holds.
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return {};
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0) return {};
    if (length < size) {
      full.resize(length);
      return full;
    }
  }
  return {};
}

}  // namespace

std::optional<std::wstring> LongPath(const std::wstring& path) {
  // Normalizing a literal path would change what it names.
  if (IsLiteral(path)) return path;
  std::wstring full = FullPath(path);
  if (full.empty()) return std::nullopt;
  // A device ("\\.\NUL") is no file on a disk: "\\?\" before it would ask
  // the disk for a file of that name.
  if (StartsWith(full, L"\\\\.\\") || IsLiteral(full)) return full;
  if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

}  // namespace notora
