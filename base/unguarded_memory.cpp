// Memory exhaustion on systems without exceptions: the program stops, and
// whoever runs it (the page around a WebAssembly module) reports it.
#include <cstdlib>

#include "base/memory_guard.h"

namespace notora {

Status GuardMemory(const std::function<Status()>& step) { return step(); }

bool RunWithinMemory(void (*step)(void* context), void* context) {
  step(context);
  return true;
}

void RunOutOfMemory() { std::abort(); }

}  // namespace notora
