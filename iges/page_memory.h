// Large blocks of memory straight from the system, for the source's bytes:
// pages that are touched only when filled, in huge pages where the system
// allows, so that holding a large file costs few page faults.
// posix_page_memory.cpp and windows_page_memory.cpp hold each system's.
#pragma once

#include <cstddef>

namespace notora {

// `size` bytes of fresh memory, or null when the system has none.
char* AllocatePages(std::size_t size);
// Moves the `oldSize` bytes at `bytes` into a block of `newSize` bytes and
// returns it; null when there is no such block, in which case `bytes` stays
// as it was.
char* ResizePages(char* bytes, std::size_t oldSize, std::size_t newSize);
// Gives back a block of `size` bytes from AllocatePages or ResizePages.
void FreePages(char* bytes, std::size_t size);

}  // namespace notora
