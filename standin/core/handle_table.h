// Opaque handles for everything the host hands the module: a kind tag, a
// generation and a slot index packed into the pointer value. A destroyed
// object's handle never resolves again (until its generation wraps after
// 16M reuses of one slot), and a handle of one kind never resolves as another,
// so stale and mixed-up handles are caught instead of dereferenced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace standin {

enum class HandleKind : uint8_t {
  Document = 1,
  Node,
  Dialog,
  Element,
  Area,
  Container,
  Text,
  Link,
  NodeArray,
  Value,
  Layer,
  Channel,
  Bitmap,
};

const char* HandleKindName(HandleKind kind);

// Non-owning: the owner of each object adds it and removes it before it dies.
template <class T> class HandleTable {
public:
  explicit HandleTable(HandleKind kind) : kind_(kind) { slots_.push_back({}); } // index 0: never used

  template <class H = void> H* Add(T* object) {
    uint32_t index;
    if (!free_.empty()) {
      index = free_.back();
      free_.pop_back();
    } else {
      index = static_cast<uint32_t>(slots_.size());
      slots_.push_back({});
    }
    Slot& slot = slots_[index];
    slot.object = object;
    ++live_;
    return reinterpret_cast<H*>(Encode(index, slot.generation));
  }

  // The object, or null for a null, stale or other-kind handle.
  T* Get(const void* handle) const {
    const uint64_t value = reinterpret_cast<uintptr_t>(handle);
    if (value == 0 || (value >> 56) != static_cast<uint64_t>(kind_))
      return nullptr;
    const uint32_t index = static_cast<uint32_t>(value);
    const uint32_t generation = static_cast<uint32_t>(value >> 32) & 0xFFFFFFu;
    if (index >= slots_.size())
      return nullptr;
    const Slot& slot = slots_[index];
    return slot.generation == generation ? slot.object : nullptr;
  }

  // Retires the handle; false when it was not live.
  bool Remove(const void* handle) {
    if (Get(handle) == nullptr)
      return false;
    const uint32_t index = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
    Slot& slot = slots_[index];
    slot.object = nullptr;
    slot.generation = (slot.generation + 1) & 0xFFFFFFu;
    free_.push_back(index);
    --live_;
    return true;
  }

  // True when the handle has this table's kind (live or not).
  bool IsKind(const void* handle) const {
    return (reinterpret_cast<uintptr_t>(handle) >> 56) == static_cast<uint64_t>(kind_);
  }

  HandleKind kind() const { return kind_; }
  size_t live() const { return live_; }

  template <class F> void ForEach(F&& visit) const {
    for (const Slot& slot : slots_)
      if (slot.object != nullptr)
        visit(slot.object);
  }

private:
  struct Slot {
    T* object = nullptr;
    uint32_t generation = 1;
  };

  uintptr_t Encode(uint32_t index, uint32_t generation) const {
    return (static_cast<uint64_t>(kind_) << 56) | (static_cast<uint64_t>(generation) << 32) | index;
  }

  HandleKind kind_;
  std::vector<Slot> slots_;
  std::vector<uint32_t> free_;
  size_t live_ = 0;
};

} // namespace standin
