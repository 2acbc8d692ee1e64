// The rules that differ between the systems notora runs on, beyond files and
// the console: how the lines of a written IGES file end, and how a path is
// split into its folder and its name. Every build links the rules of its own
// system (posix_platform.cpp or windows_platform.cpp); both sets are plain
// values here, so that either can be used and tested on any system.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace notora {

enum class LineEnd {
  kLf,    // a line feed, as on Linux
  kCrLf,  // a carriage return and a line feed, as Windows text files end lines
};

// The characters that end a line.
constexpr std::string_view LineEndText(LineEnd lineEnd) {
  return lineEnd == LineEnd::kCrLf ? std::string_view("\r\n") : std::string_view("\n");
}

enum class PathStyle {
  kPosix,    // "/" separates the parts of a path
  kWindows,  // "\" and "/" both separate; "\" is the one written
};

constexpr bool IsPathSeparator(char c, PathStyle style) {
  return c == '/' || (style == PathStyle::kWindows && c == '\\');
}

// The separator put between a folder and a name where a path gives none.
constexpr char PreferredPathSeparator(PathStyle style) {
  return style == PathStyle::kWindows ? '\\' : '/';
}

// Zeroed memory for a large table or buffer, taken straight from the
// system: from 256 KB on it is whole large pages and, where the system has
// them (Linux's transparent huge pages), backed by them, so that it is first
// touched with a few page faults instead of one every 4 KB. Smaller pieces
// are taken whole pages at a time.
struct ReleaseSystemMemory {
  std::size_t size = 0;
  void operator()(char* memory) const;
};
using SystemMemory = std::unique_ptr<char[], ReleaseSystemMemory>;
// Null when the system gives no memory.
SystemMemory AllocateSystemMemory(std::size_t size);

// This system's line end for the files it writes.
LineEnd PlatformLineEnd();
// This system's paths.
PathStyle PlatformPathStyle();

}  // namespace notora
