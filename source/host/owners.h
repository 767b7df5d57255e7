// RAII owners of host resources the module creates: node arrays, containers,
// values, links, bitmaps. Move-only; the destructor hands the resource back.
#pragma once

#include "host/ox_abi.h"

#include <utility>

namespace ox {

template <class Handle, void (*Free)(Handle*)> class HostOwner {
public:
  HostOwner() noexcept = default;
  explicit HostOwner(Handle* owned) noexcept : handle_(owned) {}
  ~HostOwner() { reset(); }
  HostOwner(const HostOwner&) = delete;
  HostOwner& operator=(const HostOwner&) = delete;
  HostOwner(HostOwner&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  HostOwner& operator=(HostOwner&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  Handle* get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }
  void reset() noexcept {
    if (handle_ != nullptr)
      Free(std::exchange(handle_, nullptr));
  }

private:
  Handle* handle_ = nullptr;
};

void NodeArrayFree(OxNodeArray* array);
void ContainerFree(OxContainer* container);
void ValueFree(OxValue* value);
void LinkFree(OxLink* link);
void BitmapFree(OxBitmap* bitmap);

using NodeArray = HostOwner<OxNodeArray, &NodeArrayFree>;
using Container = HostOwner<OxContainer, &ContainerFree>;
using Value = HostOwner<OxValue, &ValueFree>;
using Link = HostOwner<OxLink, &LinkFree>;
using Bitmap = HostOwner<OxBitmap, &BitmapFree>;

} // namespace ox
