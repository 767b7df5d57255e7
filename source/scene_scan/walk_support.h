// Storage for the scene walks: an explicit stack (hierarchies and layer
// nesting may be a million levels deep, far beyond the call stack) and a set
// of node handles. Both take their memory from the host's allocator, so a
// failed growth is an answer the walk can act on rather than an exception.
#pragma once

#include "host/host.h"
#include "host/host_array.h"

#include <cstddef>
#include <cstdint>

namespace ox {

// The explicit stack of a walk: Append pushes (false when it cannot grow),
// Last is the top, RemoveLast pops.
template <class T> using WalkStack = HostArray<T, 64>;

// A set of node handles (open addressing, linear probing).
class NodeSet {
public:
  NodeSet() noexcept = default;
  ~NodeSet();
  NodeSet(const NodeSet&) = delete;
  NodeSet& operator=(const NodeSet&) = delete;

  // False when `node` is null or the set cannot grow; then nothing changed.
  // Inserting a member again is true and changes nothing.
  bool Insert(const void* node) noexcept;
  bool Contains(const void* node) const noexcept;
  void Erase(const void* node) noexcept;
  size_t Count() const noexcept { return count_; }

private:
  size_t Home(const void* node) const noexcept;
  size_t Find(const void* node) const noexcept; // capacity_ when absent
  bool Grow() noexcept;

  const void** slots_ = nullptr;
  size_t capacity_ = 0; // a power of two, or 0
  size_t count_ = 0;
};

// The selected start objects of one run, and which of them have been handled
// so far. A start object that lies below another start object is reached by
// that object's walk, and the selection may list a descendant before its
// ancestor; either way each object is handled once per run.
class ScanStarts {
public:
  void Add(OxNode* start) noexcept { starts_.Insert(start); }

  // False when `node` has been handled already in this run (skip it, and in
  // a walk that goes down, its subtree too). Otherwise true, and a start
  // object is marked as handled from now on.
  bool Claim(OxNode* node) noexcept {
    if (done_.Contains(node))
      return false;
    if (starts_.Contains(node))
      done_.Insert(node);
    return true;
  }

private:
  NodeSet starts_;
  NodeSet done_;
};

} // namespace ox
