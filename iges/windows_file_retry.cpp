#include "iges/windows_file_retry.h"

#include <algorithm>

namespace notora {
namespace {

// The first pause, and the longest: a scanner lets go of a small file within
// milliseconds, a sync client may take a second.
constexpr DWORD kFirstPause = 10;
constexpr DWORD kLongestPause = 200;

}  // namespace

bool IsHeldFileError(DWORD error) {
  // Access denied is also what a folder that may not be written answers;
  // that case only costs the wait before it fails as it would have.
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

DWORD RetryWhileHeld(const std::function<DWORD()>& step, DWORD patience) {
  const ULONGLONG deadline = ::GetTickCount64() + patience;
  DWORD pause = kFirstPause;
  for (;;) {
    const DWORD error = step();
    if (!IsHeldFileError(error)) return error;
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return error;
    ::Sleep(static_cast<DWORD>(std::min<ULONGLONG>(pause, deadline - now)));
    pause = std::min(2 * pause, kLongestPause);
  }
}

}  // namespace notora
