#include "scene_scan/walk_support.h"

namespace ox {

NodeSet::~NodeSet() {
  MemoryFree(static_cast<void*>(slots_));
}

size_t NodeSet::Home(const void* node) const noexcept {
  // Handles are aligned and often close together: mix the bits first.
  uint64_t h = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(node));
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  return static_cast<size_t>(h) & (capacity_ - 1);
}

size_t NodeSet::Find(const void* node) const noexcept {
  if (capacity_ == 0 || node == nullptr)
    return capacity_;
  for (size_t i = Home(node);; i = (i + 1) & (capacity_ - 1)) {
    if (slots_[i] == node)
      return i;
    if (slots_[i] == nullptr)
      return capacity_;
  }
}

bool NodeSet::Contains(const void* node) const noexcept {
  return Find(node) != capacity_;
}

bool NodeSet::Grow() noexcept {
  const size_t next = capacity_ == 0 ? 64 : capacity_ * 2;
  if (next > SIZE_MAX / sizeof(void*))
    return false;
  auto* fresh = static_cast<const void**>(MemoryAllocate(next * sizeof(void*)));
  if (fresh == nullptr)
    return false;
  for (size_t i = 0; i < next; ++i)
    fresh[i] = nullptr;
  const void** old = slots_;
  const size_t oldCapacity = capacity_;
  slots_ = fresh;
  capacity_ = next;
  for (size_t i = 0; i < oldCapacity; ++i) {
    if (old[i] == nullptr)
      continue;
    size_t j = Home(old[i]);
    while (slots_[j] != nullptr)
      j = (j + 1) & (capacity_ - 1);
    slots_[j] = old[i];
  }
  MemoryFree(static_cast<void*>(old));
  return true;
}

bool NodeSet::Insert(const void* node) noexcept {
  if (node == nullptr)
    return false;
  if (Contains(node))
    return true;
  // At most half full keeps the probe runs short.
  if ((count_ + 1) * 2 > capacity_ && !Grow())
    return false;
  size_t i = Home(node);
  while (slots_[i] != nullptr)
    i = (i + 1) & (capacity_ - 1);
  slots_[i] = node;
  ++count_;
  return true;
}

void NodeSet::Erase(const void* node) noexcept {
  size_t hole = Find(node);
  if (hole == capacity_)
    return;
  // Shift later members of the probe run back so none is cut off from its
  // home slot by the hole.
  const size_t mask = capacity_ - 1;
  slots_[hole] = nullptr;
  for (size_t j = (hole + 1) & mask; slots_[j] != nullptr; j = (j + 1) & mask) {
    const size_t home = Home(slots_[j]);
    const bool reachable = hole <= j ? (hole < home && home <= j) : (hole < home || home <= j);
    if (reachable)
      continue;
    slots_[hole] = slots_[j];
    slots_[j] = nullptr;
    hole = j;
  }
  --count_;
}

} // namespace ox
