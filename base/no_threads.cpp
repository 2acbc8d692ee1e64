// Threads where the system has none: no thread ever starts, and locks have
// nothing to keep apart.
#include "base/threads.h"

namespace notora {

struct Mutex::Impl {};
Mutex::Mutex() = default;
Mutex::~Mutex() = default;
void Mutex::lock() {}
void Mutex::unlock() {}

struct Condition::Impl {};
Condition::Condition() = default;
Condition::~Condition() = default;
void Condition::NotifyAll() {}
void Condition::WaitOnce(MutexLock*) {}
void Condition::WaitFor(MutexLock*, int) {}

struct Thread::Impl {};
Thread::Thread() = default;
Thread::~Thread() = default;
bool Thread::Start(std::function<void()>) { return false; }
bool Thread::running() const { return false; }
void Thread::Join() {}

}  // namespace notora
