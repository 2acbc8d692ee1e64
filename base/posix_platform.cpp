#include "base/platform.h"

#include <sys/mman.h>

#include <cstdint>

namespace notora {

LineEnd PlatformLineEnd() { return LineEnd::kLf; }
PathStyle PlatformPathStyle() { return PathStyle::kPosix; }

void PreferLargePages(void* memory, std::size_t size) {
#if defined(MADV_HUGEPAGE)
  // Only whole pages inside the block may be advised.
  constexpr std::uintptr_t kPage = 4096;
  const auto start = reinterpret_cast<std::uintptr_t>(memory);
  const std::uintptr_t first = (start + kPage - 1) & ~(kPage - 1);
  const std::uintptr_t end = (start + size) & ~(kPage - 1);
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
  (void)memory;
  (void)size;
#endif
}

}  // namespace notora
