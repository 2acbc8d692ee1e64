// Threads: the second core a run may use, behind one small seam.
//
// Where the system has threads, Thread starts one and Mutex and Condition
// are the standard library's. Where it has none (a WebAssembly module),
// Thread::Start fails, and Mutex and Condition do nothing: every caller is
// written so that the work a thread would have done is then done on the
// caller's own thread, which gives the same results, only later.
#pragma once

#include <functional>
#include <memory>

namespace notora {

class Mutex {
 public:
  Mutex();
  ~Mutex();
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;
  void lock();
  void unlock();

 private:
  friend class Condition;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Holds `*mutex` for its lifetime, or until Unlock.
class MutexLock {
 public:
  explicit MutexLock(Mutex* mutex) : mutex_(mutex) { mutex_->lock(); }
  ~MutexLock() {
    if (held_) mutex_->unlock();
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;
  void Unlock() {
    mutex_->unlock();
    held_ = false;
  }
  void Lock() {
    mutex_->lock();
    held_ = true;
  }
  Mutex* mutex() const { return mutex_; }

 private:
  Mutex* mutex_;
  bool held_ = true;
};

class Condition {
 public:
  Condition();
  ~Condition();
  Condition(const Condition&) = delete;
  Condition& operator=(const Condition&) = delete;
  // Waits, with `*lock` held, until `ready()` is true. Only ever called
  // while another thread runs (without threads, nothing waits).
  template <typename Ready>
  void Wait(MutexLock* lock, Ready ready) {
    while (!ready()) WaitOnce(lock);
  }
  // Waits, with `*lock` held, until notified or `milliseconds` have passed.
  void WaitFor(MutexLock* lock, int milliseconds);
  void NotifyAll();

 private:
  void WaitOnce(MutexLock* lock);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

class Thread {
 public:
  Thread();
  // Joins a thread still running.
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  // Runs `work` on a thread of its own; false when no thread can be had
  // (none on this system, or none left), and then nothing runs. Never
  // throws.
  bool Start(std::function<void()> work);
  bool running() const;
  // Waits for the work to end. Only when running().
  void Join();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace notora
