#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "base/platform.h"

namespace notora {
namespace {

// The table's entries and the stream's blocks come from this: memory that
// starts zeroed, can be written to its last byte, and is refused (null, no
// crash) when the system cannot give it.
TEST(SystemMemoryTest, IsZeroedAndWholeOrRefused) {
  constexpr std::size_t kLargePage = std::size_t{2} << 20;
  for (std::size_t size : {std::size_t{1}, std::size_t{4095}, std::size_t{4097},
                           (std::size_t{256} << 10) - 1, (std::size_t{256} << 10) + 1, kLargePage,
                           kLargePage + 1, 5 * kLargePage + 123}) {
    SystemMemory memory = AllocateSystemMemory(size);
    ASSERT_NE(memory, nullptr) << size;
    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < size; ++i) nonZero += memory[i] != 0;
    EXPECT_EQ(nonZero, 0u) << size;
    std::memset(memory.get(), 0x5A, size);
    EXPECT_EQ(memory[size - 1], 0x5A);
  }
  EXPECT_EQ(AllocateSystemMemory(SIZE_MAX), nullptr);
  EXPECT_EQ(AllocateSystemMemory(SIZE_MAX / 2), nullptr);
}

}  // namespace
}  // namespace notora
