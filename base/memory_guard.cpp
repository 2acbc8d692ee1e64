// Memory exhaustion on systems with exceptions: std::bad_alloc, caught at
// the top of the run.
#include "base/memory_guard.h"

#include <new>

namespace notora {

Status GuardMemory(const std::function<Status()>& step) {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    return Status::Error(MessageId::OutOfMemory);
  }
}

bool RunWithinMemory(void (*step)(void* context), void* context) {
  try {
    step(context);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void RunOutOfMemory() { throw std::bad_alloc(); }

}  // namespace notora
