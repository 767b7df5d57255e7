// Area CONTAINER: keyed settings containers of integers and booleans, in
// insertion order. A container the host lends to the module for one call
// (a tree model's row container) may be cleared but not released.
#include "core/breach.h"
#include "ui/ui_state.h"

#include <algorithm>

namespace standin::ui {

namespace {

Container* Get(const OxContainer* handle, const char* op) {
  State& s = S();
  Container* c = s.containers.Get(handle);
  if (c == nullptr)
    Breach(op, handle == nullptr             ? "null container handle"
               : s.containers.IsKind(handle) ? "stale container handle (already released)"
                                             : "not a container handle");
  return c;
}

OxBool Set(OxContainer* handle, int32_t key, bool isBool, int32_t value, const char* op) {
  Container* c = Get(handle, op);
  if (c == nullptr)
    return 0;
  auto it = std::find_if(c->entries.begin(), c->entries.end(),
                         [key](const ContainerEntry& e) { return e.key == key; });
  if (it != c->entries.end()) {
    it->isBool = isBool;
    it->value = value;
  } else {
    c->entries.push_back({key, isBool, value});
  }
  return 1;
}

OxContainer* Create(int32_t id) noexcept {
  return NewContainer(id, false)->handle;
}

OxBool SetInt(OxContainer* c, int32_t key, int32_t value) noexcept {
  return Set(c, key, false, value, "ContainerSetInt");
}

OxBool SetBool(OxContainer* c, int32_t key, OxBool value) noexcept {
  return Set(c, key, true, value != 0 ? 1 : 0, "ContainerSetBool");
}

void Clear(OxContainer* handle) noexcept {
  if (Container* c = Get(handle, "ContainerClear"))
    c->entries.clear();
}

void Release(OxContainer* handle) noexcept {
  if (handle == nullptr)
    return;
  Container* c = Get(handle, "ContainerFree");
  if (c == nullptr)
    return;
  if (c->hostOwned) {
    Breach("ContainerFree", "the container belongs to the host (lent for one call); clear it instead");
    return;
  }
  FreeContainer(c);
}

const OxContainerArea kArea{sizeof(OxContainerArea), Create, SetInt, SetBool, Clear, Release};

} // namespace

Container* NewContainer(int32_t id, bool hostOwned) {
  State& s = S();
  auto c = std::make_unique<Container>();
  c->id = id;
  c->hostOwned = hostOwned;
  c->handle = s.containers.Add<OxContainer>(c.get());
  s.containerList.push_back(std::move(c));
  return s.containerList.back().get();
}

void FreeContainer(Container* container) {
  State& s = S();
  s.containers.Remove(container->handle);
  auto it = std::find_if(s.containerList.begin(), s.containerList.end(),
                         [container](const auto& c) { return c.get() == container; });
  if (it != s.containerList.end()) {
    std::swap(*it, s.containerList.back());
    s.containerList.pop_back();
  }
}

const OxContainerArea* ContainerArea() {
  return &kArea;
}

} // namespace standin::ui
