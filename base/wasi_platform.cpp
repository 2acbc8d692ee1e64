// The rules of a WebAssembly module (wasm32-wasip1): it sees paths only of
// the files its front end hands it, written POSIX style, and its memory is
// the module's one linear memory, which only grows. There are no pages to
// map: a piece of system memory is taken from the C library's heap, zeroed.
#include <cstdlib>

#include "base/platform.h"

namespace notora {

LineEnd PlatformLineEnd() { return LineEnd::kLf; }
PathStyle PlatformPathStyle() { return PathStyle::kPosix; }

SystemMemory AllocateSystemMemory(std::size_t size) {
  if (size == 0) size = 1;
  return SystemMemory(static_cast<char*>(std::calloc(size, 1)), ReleaseSystemMemory{size});
}

void ReleaseSystemMemory::operator()(char* memory) const { std::free(memory); }

}  // namespace notora
