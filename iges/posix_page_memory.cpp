#include "iges/page_memory.h"

#include <sys/mman.h>

namespace notora {
namespace {

constexpr std::size_t kHugePage = 2 << 20;

}  // namespace

char* AllocatePages(std::size_t size) {
  void* bytes = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (bytes == MAP_FAILED) return nullptr;
  if (size >= kHugePage) ::madvise(bytes, size, MADV_HUGEPAGE);
  return static_cast<char*>(bytes);
}

char* ResizePages(char* bytes, std::size_t oldSize, std::size_t newSize) {
  void* moved = ::mremap(bytes, oldSize, newSize, MREMAP_MAYMOVE);
  if (moved == MAP_FAILED) return nullptr;
  if (newSize >= kHugePage) ::madvise(moved, newSize, MADV_HUGEPAGE);
  return static_cast<char*>(moved);
}

void FreePages(char* bytes, std::size_t size) { ::munmap(bytes, size); }

}  // namespace notora
