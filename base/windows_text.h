// Text at the Win32 API: notora holds UTF-8, Windows' wide-character calls
// take UTF-16. Built on Windows only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace notora {

// The UTF-16 of `utf8`, or nothing when it is not valid UTF-8 or holds a NUL
// (a path that cannot name a file).
std::optional<std::wstring> WidePath(std::string_view utf8);

// The UTF-16 of `utf8`, each invalid byte shown as U+FFFD (for text to show).
std::wstring WideText(std::string_view utf8);

// The UTF-8 of `utf16`, an unpaired surrogate given as U+FFFD.
std::string Utf8Text(std::wstring_view utf16);

}  // namespace notora
