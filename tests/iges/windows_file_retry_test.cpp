#include "iges/windows_file_retry.h"

#include <gtest/gtest.h>

#include <chrono>

namespace notora {
namespace {

using Clock = std::chrono::steady_clock;

// A step that fails with `error` `failures` times, then succeeds; it counts
// its calls.
struct HeldStep {
  DWORD error;
  int failures;
  int calls = 0;

  DWORD operator()() { return calls++ < failures ? error : ERROR_SUCCESS; }
};

TEST(RetryWhileHeldTest, AStepHeldForAWhileSucceedsInTheEnd) {
  for (const DWORD error :
       {DWORD{ERROR_SHARING_VIOLATION}, DWORD{ERROR_LOCK_VIOLATION}, DWORD{ERROR_ACCESS_DENIED}}) {
    SCOPED_TRACE(error);
    HeldStep step{error, 5};
    EXPECT_EQ(RetryWhileHeld(std::ref(step)), DWORD{ERROR_SUCCESS});
    EXPECT_EQ(step.calls, 6);
  }
}

TEST(RetryWhileHeldTest, AnyOtherFailureCountsAtOnce) {
  // A name that is taken is the answer, not a wait.
  for (const DWORD error :
       {DWORD{ERROR_ALREADY_EXISTS}, DWORD{ERROR_FILE_NOT_FOUND}, DWORD{ERROR_DISK_FULL}}) {
    SCOPED_TRACE(error);
    HeldStep step{error, 1};
    EXPECT_EQ(RetryWhileHeld(std::ref(step)), error);
    EXPECT_EQ(step.calls, 1);
  }
}

TEST(RetryWhileHeldTest, AFileHeldForGoodIsGivenUpWhenThePatienceIsSpent) {
  HeldStep step{ERROR_SHARING_VIOLATION, 1 << 30};
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(RetryWhileHeld(std::ref(step), 300), DWORD{ERROR_SHARING_VIOLATION});
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  // The system's tick is coarse (about 16 ms).
  EXPECT_GE(waited.count(), 300 - 20);
  EXPECT_LT(waited.count(), 3000);
  // Paused between tries, not spinning, yet tried more than once or twice.
  EXPECT_GE(step.calls, 4);
  EXPECT_LE(step.calls, 30);
}

}  // namespace
}  // namespace notora
