#include "cli/shared/source_path.h"

#include <filesystem>

namespace notora {

std::string MakeAbsolute(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  if (error) return path;
  return (current / path).string();
}

std::string StemOf(const std::string& path) {
  return std::filesystem::path(path).filename().stem().string();
}

}  // namespace notora
