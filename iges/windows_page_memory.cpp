#include "iges/page_memory.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>

namespace notora {

// Reserved and committed at once; Windows gives a committed page its memory
// only when it is first touched. (Large pages need a privilege that users
// do not hold, so they are not asked for.)
char* AllocatePages(std::size_t size) {
  return static_cast<char*>(::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

// Windows cannot move pages to a new address: the bytes are copied.
char* ResizePages(char* bytes, std::size_t oldSize, std::size_t newSize) {
  char* moved = AllocatePages(newSize);
  if (moved == nullptr) return nullptr;
  std::memcpy(moved, bytes, oldSize < newSize ? oldSize : newSize);
  FreePages(bytes, oldSize);
  return moved;
}

void FreePages(char* bytes, std::size_t) { ::VirtualFree(bytes, 0, MEM_RELEASE); }

}  // namespace notora
