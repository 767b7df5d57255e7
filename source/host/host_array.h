// A growable array whose storage comes from the host's allocator, so that a
// failed growth is an answer (Append returns false) rather than an exception.
#pragma once

#include "host/host.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace ox {

// `kFirstCapacity` is the number of elements the first growth makes room for.
template <class T, size_t kFirstCapacity = 16> class HostArray {
public:
  HostArray() noexcept = default;
  ~HostArray() {
    Clear();
    MemoryFree(data_);
  }
  HostArray(const HostArray&) = delete;
  HostArray& operator=(const HostArray&) = delete;

  // Moves `value` in at the end; false (and nothing changed) when the
  // storage cannot grow.
  bool Append(T&& value) noexcept {
    if (count_ == capacity_ && !Grow())
      return false;
    ::new (static_cast<void*>(data_ + count_)) T(std::move(value));
    ++count_;
    return true;
  }

  bool Append(const T& value) noexcept { return Append(T(value)); }

  // Destroys the last element; the array must not be empty.
  void RemoveLast() noexcept { data_[--count_].~T(); }
  // The last element; valid until the next Append.
  T& Last() noexcept { return data_[count_ - 1]; }

  // Destroys every element, last first; the storage stays for reuse.
  void Clear() noexcept {
    while (count_ > 0)
      data_[--count_].~T();
  }

  // Destroys every element and gives the storage back.
  void Release() noexcept {
    Clear();
    MemoryFree(data_);
    data_ = nullptr;
    capacity_ = 0;
  }

  size_t Count() const noexcept { return count_; }
  bool Empty() const noexcept { return count_ == 0; }
  T& operator[](size_t i) noexcept { return data_[i]; }
  const T& operator[](size_t i) const noexcept { return data_[i]; }
  T* begin() noexcept { return data_; }
  T* end() noexcept { return data_ + count_; }
  const T* begin() const noexcept { return data_; }
  const T* end() const noexcept { return data_ + count_; }

  // The position of `element` when it points at a live element, else -1.
  ptrdiff_t IndexOf(const void* element) const noexcept {
    const auto* p = static_cast<const T*>(element);
    if (p == nullptr || data_ == nullptr || p < data_ || p >= data_ + count_)
      return -1;
    return p - data_;
  }

private:
  bool Grow() noexcept {
    const size_t next = capacity_ == 0 ? kFirstCapacity : capacity_ * 2;
    if (next > SIZE_MAX / sizeof(T))
      return false;
    T* fresh = static_cast<T*>(MemoryAllocate(next * sizeof(T)));
    if (fresh == nullptr)
      return false;
    for (size_t i = 0; i < count_; ++i) {
      ::new (static_cast<void*>(fresh + i)) T(std::move(data_[i]));
      data_[i].~T();
    }
    MemoryFree(data_);
    data_ = fresh;
    capacity_ = next;
    return true;
  }

  T* data_ = nullptr;
  size_t count_ = 0;
  size_t capacity_ = 0;
};

} // namespace ox
