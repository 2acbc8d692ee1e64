// Memory exhaustion on systems without exceptions: the program stops, and
// whoever runs it (the page around a WebAssembly module) reports it.
#include <cstdlib>

#include "base/memory_guard.h"

namespace notora {

Status GuardMemory(const std::function<Status()>& step) { return step(); }

void RunOutOfMemory() { std::abort(); }

}  // namespace notora
