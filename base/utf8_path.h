// Paths held in UTF-8, as the standard library's path type and back. On
// POSIX the bytes pass unchanged; on Windows they are read and written as
// UTF-8 (the library would otherwise take the ANSI code page).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace notora {

inline std::filesystem::path PathOf(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

inline std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace notora
