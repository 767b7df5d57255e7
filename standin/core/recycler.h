// Keeps released objects of one kind for reuse, allocated in chunks. A list
// run hands out and takes back millions of small host objects (texts, links)
// at once; a fresh heap block for each cost more than the boundary call that
// handed it out. Handles stay generational: a recycled object gets a new
// handle, so a stale one is still refused by its table.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace standin {

template <class T, size_t kChunk = 4096> class Recycler {
public:
  // An object in whatever state its last user left it (the caller sets it up).
  T* Take() {
    if (spare_.empty())
      Grow();
    T* object = spare_.back();
    spare_.pop_back();
    return object;
  }

  void Give(T* object) { spare_.push_back(object); }

private:
  void Grow() {
    chunks_.push_back(std::make_unique<T[]>(kChunk));
    T* chunk = chunks_.back().get();
    spare_.reserve(spare_.size() + kChunk);
    // Handed out from the chunk's start, so a run's objects lie in order.
    for (size_t i = kChunk; i-- > 0;)
      spare_.push_back(&chunk[i]);
  }

  std::vector<std::unique_ptr<T[]>> chunks_;
  std::vector<T*> spare_;
};

} // namespace standin
