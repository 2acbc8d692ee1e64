// Threads where the system has them: the standard library's.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "base/threads.h"

namespace notora {

struct Mutex::Impl {
  std::mutex mutex;
};
Mutex::Mutex() : impl_(std::make_unique<Impl>()) {}
Mutex::~Mutex() = default;
void Mutex::lock() { impl_->mutex.lock(); }
void Mutex::unlock() { impl_->mutex.unlock(); }

struct Condition::Impl {
  std::condition_variable_any condition;
};
Condition::Condition() : impl_(std::make_unique<Impl>()) {}
Condition::~Condition() = default;
void Condition::NotifyAll() { impl_->condition.notify_all(); }
void Condition::WaitOnce(MutexLock* lock) { impl_->condition.wait(*lock->mutex()); }
void Condition::WaitFor(MutexLock* lock, int milliseconds) {
  impl_->condition.wait_for(*lock->mutex(), std::chrono::milliseconds(milliseconds));
}

struct Thread::Impl {
  std::thread thread;
};
Thread::Thread() : impl_(std::make_unique<Impl>()) {}
Thread::~Thread() {
  if (running()) Join();
}
bool Thread::Start(std::function<void()> work) {
  try {
    impl_->thread = std::thread(std::move(work));
    return true;
  } catch (const std::system_error&) {
  } catch (const std::bad_alloc&) {
  }
  return false;
}
bool Thread::running() const { return impl_->thread.joinable(); }
void Thread::Join() { impl_->thread.join(); }

}  // namespace notora
