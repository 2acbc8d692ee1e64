// What the POSIX file layer's outputs and scratch files share: a path split
// into its folder and its name, and whole reads and writes at an offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace notora {

// The folder part of `path` ("." when it has none) and its last part.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// Writes all `size` bytes at `offset` of `fd`, again after an interruption;
// false on an error or a write that takes nothing (a full disk).
bool WriteAllAt(int fd, std::uint64_t offset, const char* data, std::size_t size);
// Reads exactly `size` bytes at `offset` of `fd`; false on an error or when
// the file ends before them.
bool ReadAllAt(int fd, std::uint64_t offset, char* buffer, std::size_t size);

}  // namespace notora
