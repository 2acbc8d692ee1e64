#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/platform.h"
#include "base/system_vector.h"
#include "base/threads.h"

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

// Values appended one by one and in runs keep their order through every
// growth of the array.
TEST(SystemVectorTest, KeepsWhatWasAppendedThroughGrowth) {
  SystemVector<std::uint32_t> values;
  std::vector<std::uint32_t> expected;
  for (std::uint32_t i = 0; i < 300000; ++i) {
    if (i % 7 == 0) {
      const std::uint32_t run[3] = {i, i + 1, i + 2};
      values.Append(run, 3);
      expected.insert(expected.end(), run, run + 3);
    } else {
      values.push_back(i);
      expected.push_back(i);
    }
  }
  ASSERT_EQ(values.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(values[i], expected[i]) << i;
}

// Where the system has threads, work started on one runs beside the caller
// and is waited for; where it has none, Start refuses and the caller does
// the work itself.
TEST(ThreadsTest, WorkRunsOnAThreadOrIsRefused) {
  Mutex mutex;
  Condition changed;
  bool done = false;
  Thread thread;
  const bool started = thread.Start([&] {
    MutexLock lock(&mutex);
    done = true;
    changed.NotifyAll();
  });
  if (!started) {
    EXPECT_FALSE(thread.running());
    return;
  }
  {
    MutexLock lock(&mutex);
    changed.Wait(&lock, [&] { return done; });
  }
  thread.Join();
  EXPECT_TRUE(done);
}

}  // namespace
}  // namespace notora
