#include "iges/windows_file_retry.h"

#include <gtest/gtest.h>

namespace notora {
namespace {

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
  EXPECT_EQ(RetryWhileHeld(std::ref(step), 300), DWORD{ERROR_SHARING_VIOLATION});
  // Tried again, but paused between tries rather than spinning: the pauses
  // double from 10 ms, so 300 ms hold only a handful.
  EXPECT_GT(step.calls, 1);
  EXPECT_LE(step.calls, 30);
}

}  // namespace
}  // namespace notora
