#include "base/platform.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace notora {

LineEnd PlatformLineEnd() { return LineEnd::kLf; }
PathStyle PlatformPathStyle() { return PathStyle::kPosix; }

// A build with AddressSanitizer takes this memory from the allocator it
// watches, so that a read or write past the end of a table or block is
// caught there as it would be for any other memory.
#if defined(__SANITIZE_ADDRESS__)
#define NOTORA_WATCHED_MEMORY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NOTORA_WATCHED_MEMORY 1
#endif
#endif

namespace {
constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kPage = 4096;
constexpr std::size_t kLargePagesFrom = std::size_t{256} << 10;
}  // namespace

SystemMemory AllocateSystemMemory(std::size_t size) {
  if (size == 0) size = 1;
  if (size > SIZE_MAX - 2 * kLargePage) return SystemMemory();
#if defined(NOTORA_WATCHED_MEMORY)
  // More than the sanitizer's allocator gives is refused here, as the
  // system would refuse it, rather than reported by the sanitizer.
  if (size > (std::size_t{1} << 39)) return SystemMemory();
  return SystemMemory(static_cast<char*>(std::calloc(size, 1)), ReleaseSystemMemory{size});
#else
  size = (size + kPage - 1) & ~(kPage - 1);
  // On a virtual machine, the first touch of a page costs as much as
  // zeroing dozens of them: a piece that would take many small pages takes
  // whole large pages instead, filled with one fault each. A smaller piece
  // has no use for the alignment.
  if (size >= kLargePagesFrom) size = (size + kLargePage - 1) & ~(kLargePage - 1);
  const std::size_t slack = size >= kLargePage ? kLargePage : 0;
  void* mapped =
      mmap(nullptr, size + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return SystemMemory();
  auto start = reinterpret_cast<std::uintptr_t>(mapped);
  if (slack != 0) {
    // Keep the part that starts at a large page; give back the rest.
    const std::uintptr_t aligned = (start + kLargePage - 1) & ~(kLargePage - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    const std::uintptr_t tail = aligned + size;
    const std::uintptr_t end = start + size + slack;
    if (end > tail) munmap(reinterpret_cast<void*>(tail), end - tail);
    start = aligned;
#if defined(MADV_HUGEPAGE)
    madvise(reinterpret_cast<void*>(start), size, MADV_HUGEPAGE);
#endif
  }
  return SystemMemory(reinterpret_cast<char*>(start), ReleaseSystemMemory{size});
#endif
}

void ReleaseSystemMemory::operator()(char* memory) const {
#if defined(NOTORA_WATCHED_MEMORY)
  std::free(memory);
#else
  munmap(memory, size);
#endif
}

}  // namespace notora
