#include "base/windows_text.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <climits>

namespace notora {
namespace {

// Whole strings only: the lengths the API takes are int.
constexpr std::size_t kLongest = INT_MAX / 4;

bool ToWide(std::string_view utf8, DWORD flags, std::wstring* out) {
  out->clear();
  if (utf8.empty()) return true;
  if (utf8.size() > kLongest) return false;
  const int length = static_cast<int>(utf8.size());
  const int wide = ::MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, nullptr, 0);
  if (wide <= 0) return false;
  out->resize(static_cast<std::size_t>(wide));
  return ::MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, out->data(), wide) == wide;
}

}  // namespace

std::optional<std::wstring> WidePath(std::string_view utf8) {
  if (utf8.find('\0') != std::string_view::npos) return std::nullopt;
  std::wstring wide;
  if (!ToWide(utf8, MB_ERR_INVALID_CHARS, &wide)) return std::nullopt;
  return wide;
}

std::wstring WideText(std::string_view utf8) {
  std::wstring wide;
  if (!ToWide(utf8, 0, &wide)) wide.clear();
  return wide;
}

std::string Utf8Text(std::wstring_view utf16) {
  std::string utf8;
  if (utf16.empty() || utf16.size() > kLongest) return utf8;
  const int length = static_cast<int>(utf16.size());
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return utf8;
  utf8.resize(static_cast<std::size_t>(bytes));
  if (::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, utf8.data(), bytes, nullptr, nullptr) !=
      bytes) {
    utf8.clear();
  }
  return utf8;
}

}  // namespace notora
