#include "cli/shared/source_path.h"

namespace notora {

std::string MakeAbsolute(const std::string& path) {
  if (path.empty()) return path;
  // POSIX: current_path() / path for a relative path, an absolute one as it
  // is. Windows: GetFullPathNameW.
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(PathOf(path), error);
  if (error) return path;
  return Utf8Of(absolute);
}

std::string StemOf(const std::string& path) { return Utf8Of(PathOf(path).filename().stem()); }

}  // namespace notora
