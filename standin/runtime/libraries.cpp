// Host libraries by id: the ui's tree view and the scene's layer shaders.
// Test switches make one missing, short (its size leaves out the last
// function) or with a null last function, so the module's answers to a host
// without them can be checked.
#include "runtime/internal.h"
#include "runtime/runtime.h"
#include "scene/world.h"
#include "ui/gui.h"

#include <cstddef>
#include <map>

namespace standin {
namespace {

std::map<int32_t, LibraryMode>& Modes() {
  static std::map<int32_t, LibraryMode> modes;
  return modes;
}

template <class Table, class LastSlot>
const OxLibraryHeader* Variant(const Table* present, LibraryMode mode, LastSlot Table::*last) {
  static Table copy;
  if (present == nullptr || mode == LibraryMode::Missing)
    return nullptr;
  if (mode == LibraryMode::Present)
    return reinterpret_cast<const OxLibraryHeader*>(present);
  copy = *present;
  if (mode == LibraryMode::Short)
    copy.size = static_cast<uint32_t>(sizeof(Table) - sizeof(void*));
  else
    copy.*last = nullptr;
  return reinterpret_cast<const OxLibraryHeader*>(&copy);
}

LibraryMode ModeOf(int32_t id) {
  const auto it = Modes().find(id);
  return it == Modes().end() ? LibraryMode::Present : it->second;
}

const OxLibraryHeader* Find(int32_t libraryId) noexcept {
  return FindLibrary(libraryId);
}

} // namespace

// Both tables start with `uint32_t size`, as OxLibraryHeader does.
static_assert(offsetof(OxTreeViewLibrary, size) == 0 && offsetof(OxLayerShaderLibrary, size) == 0);

void SetLibraryMode(int32_t libraryId, LibraryMode mode) {
  Modes()[libraryId] = mode;
}

const OxLibraryHeader* FindLibrary(int32_t libraryId) {
  switch (libraryId) {
  case OX_LIBRARY_TREEVIEW: return Variant(TreeViewLibrary(), ModeOf(libraryId), &OxTreeViewLibrary::refresh);
  case OX_LIBRARY_LAYERSHADER:
    return Variant(LayerShaderLibrary(), ModeOf(libraryId), &OxLayerShaderLibrary::parameter);
  default: return nullptr;
  }
}

namespace runtime_detail {

void ResetLibraries() {
  Modes().clear();
}

const OxLibraryArea* LibraryArea() {
  static const OxLibraryArea area{sizeof(OxLibraryArea), Find};
  return &area;
}

} // namespace runtime_detail
} // namespace standin
