#include "base/platform.h"

#include <windows.h>

namespace notora {

LineEnd PlatformLineEnd() { return LineEnd::kCrLf; }
PathStyle PlatformPathStyle() { return PathStyle::kWindows; }

// Large pages on Windows need a privilege users do not hold: the memory is
// committed page by page, zeroed, as the system gives it.
SystemMemory AllocateSystemMemory(std::size_t size) {
  if (size == 0) size = 1;
  void* memory = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  return SystemMemory(static_cast<char*>(memory), ReleaseSystemMemory{size});
}

void ReleaseSystemMemory::operator()(char* memory) const { VirtualFree(memory, 0, MEM_RELEASE); }

}  // namespace notora
