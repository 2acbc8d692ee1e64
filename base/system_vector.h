// SystemVector: a growing array of plain values kept in the system's memory
// (AllocateSystemMemory) rather than the heap. From 256 KB on that memory is
// whole large pages, so a table that grows with the drawing (one entry for
// every rebuilt note) is first touched with one page fault every 2 MB
// instead of one every 4 KB, which on a virtual machine costs more than
// filling the page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "base/memory_guard.h"
#include "base/platform.h"

namespace notora {

template <typename T>
class SystemVector {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                "values are moved with memcpy and never destroyed");

 public:
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](std::size_t index) { return data()[index]; }
  const T& operator[](std::size_t index) const { return data()[index]; }

  T& back() { return data()[size_ - 1]; }
  void clear() { size_ = 0; }

  // Appends the `count` values at `values`.
  void Append(const T* values, std::size_t count) {
    while (capacity_ - size_ < count) Grow();
    if (count != 0) std::memcpy(static_cast<void*>(data() + size_), values, count * sizeof(T));
    size_ += count;
  }

  // Appends `value`; runs out of memory (RunOutOfMemory) when the system
  // gives none for a larger array.
  void push_back(const T& value) {
    if (size_ == capacity_) Grow();
    std::memcpy(static_cast<void*>(data() + size_), &value, sizeof(T));
    ++size_;
  }

 private:
  // The first array fills one small page; each next one is twice as large.
  static constexpr std::size_t kFirstBytes = 4096;

  T* data() const { return reinterpret_cast<T*>(memory_.get()); }

  void Grow() {
    const std::size_t capacity =
        capacity_ == 0 ? (kFirstBytes + sizeof(T) - 1) / sizeof(T) : 2 * capacity_;
    if (capacity > SIZE_MAX / 2 / sizeof(T)) RunOutOfMemory();
    SystemMemory memory = AllocateSystemMemory(capacity * sizeof(T));
    if (memory == nullptr) RunOutOfMemory();
    if (size_ != 0) std::memcpy(memory.get(), memory_.get(), size_ * sizeof(T));
    memory_ = std::move(memory);
    capacity_ = capacity;
  }

  SystemMemory memory_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace notora
