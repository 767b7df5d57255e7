// The host allocator. Every block is tracked so that a release of a pointer
// the allocator never handed out (or handed out and already took back) is
// caught instead of corrupting the heap, and so that blocks left behind at
// unload can be counted.
#include "core/breach.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

#include <cstdlib>
#include <unordered_set>

namespace standin {
namespace {

struct MemoryState {
  std::unordered_set<void*> live;
  size_t failAt = 0; // allocation number that fails; 0: none
  size_t answered = 0;
};

MemoryState& State() {
  static MemoryState state;
  return state;
}

void* Allocate(size_t bytes) noexcept {
  MemoryState& s = State();
  ++s.answered;
  if (s.failAt != 0 && s.answered == s.failAt) {
    s.failAt = 0;
    return nullptr;
  }
  // A zero-byte request still gets a distinct block, as from malloc(1).
  void* block = std::malloc(bytes == 0 ? 1 : bytes);
  if (block == nullptr)
    return nullptr;
  try {
    s.live.insert(block);
  } catch (...) {
    std::free(block);
    return nullptr;
  }
  return block;
}

void Release(void* block) noexcept {
  if (block == nullptr)
    return;
  if (State().live.erase(block) == 0) {
    Breach("MemoryFree", "block not from the host allocator, or already released");
    return;
  }
  std::free(block);
}

} // namespace

void FailAllocationAfter(size_t n) {
  MemoryState& s = State();
  s.failAt = n == 0 ? 0 : s.answered + n;
}

size_t LiveBlocks() {
  return State().live.size();
}

size_t AllocationCount() {
  return State().answered;
}

namespace runtime_detail {

void ResetMemory() {
  MemoryState& s = State();
  for (void* block : s.live)
    std::free(block);
  s.live.clear();
  s.failAt = 0;
  s.answered = 0;
}

const OxMemoryArea* MemoryArea() {
  static const OxMemoryArea area{sizeof(OxMemoryArea), Allocate, Release};
  return &area;
}

} // namespace runtime_detail
} // namespace standin
