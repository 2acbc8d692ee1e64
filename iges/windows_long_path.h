// Paths as the Windows file layer hands them to the system, at any length.
// A plain path stops at MAX_PATH (260 characters) unless the user's machine
// has opted into long paths; a path written "\\?\C:\..." or
// "\\?\UNC\server\share\..." goes to the file system as it is, up to about
// 32767 characters, but is then taken literally: it must already be
// absolute, with "\" between its parts. Built on Windows only.
#pragma once

#include <optional>
#include <string>

namespace notora {

// `path` for the wide-character file calls at any length: made absolute and
// normal by Windows' own rules (GetFullPathNameW: the current folder, the
// current folder of another drive, "." and "..", "/" as "\", the trailing
// dots and spaces of the last part), then "\\?\" put before a drive's path
// and "\\?\UNC\" in place of a share's leading "\\". The result names what
// the plain path would name if it were short enough. A path already written
// "\\?\" is kept as it is, and so is a device ("\\.\COM1", or "NUL", which
// Windows resolves to "\\.\NUL"). Nothing when Windows cannot make the path
// absolute (an empty path).
std::optional<std::wstring> LongPath(const std::wstring& path);

}  // namespace notora
