// The host's area tables as kept by the entry glue, and the host libraries
// found through them. Internal to source/host: the module's other code calls
// the host through the wrappers of host.h.
#pragma once

#include "host/ox_abi.h"

#include <cstdint>
#include <type_traits>
#include <utility>

namespace ox::tables {

// Checks that every area the module uses is present, at least as long as the
// module's declaration of it and has no null slot, then keeps the area
// pointers. On any shortcoming nothing is kept and the answer is false.
bool Keep(const OxHostTables& host) noexcept;
// Forgets the areas and the library look-ups.
void Forget() noexcept;
bool Kept() noexcept;

// The kept area at `index` (OX_AREA_*), or null.
const void* Area(int index) noexcept;

// The host libraries, looked up on first use and remembered until Forget();
// null when the host has none, or one shorter than the module needs or with a
// null slot.
const OxTreeViewLibrary* TreeViewLibrary() noexcept;
const OxLayerShaderLibrary* LayerShaderLibrary() noexcept;

// The index of each area type.
template <class AreaT> inline constexpr int kIndex = -1;
template <> inline constexpr int kIndex<OxMemoryArea> = OX_AREA_MEMORY;
template <> inline constexpr int kIndex<OxTextArea> = OX_AREA_TEXT;
template <> inline constexpr int kIndex<OxConsoleArea> = OX_AREA_CONSOLE;
template <> inline constexpr int kIndex<OxDocumentArea> = OX_AREA_DOCUMENT;
template <> inline constexpr int kIndex<OxNodeArea> = OX_AREA_NODE;
template <> inline constexpr int kIndex<OxObjectArea> = OX_AREA_OBJECT;
template <> inline constexpr int kIndex<OxMaterialArea> = OX_AREA_MATERIAL;
template <> inline constexpr int kIndex<OxRenderArea> = OX_AREA_RENDER;
template <> inline constexpr int kIndex<OxNodeArrayArea> = OX_AREA_NODE_ARRAY;
template <> inline constexpr int kIndex<OxUndoArea> = OX_AREA_UNDO;
template <> inline constexpr int kIndex<OxRegistryArea> = OX_AREA_REGISTRY;
template <> inline constexpr int kIndex<OxValueArea> = OX_AREA_VALUE;
template <> inline constexpr int kIndex<OxLinkArea> = OX_AREA_LINK;
template <> inline constexpr int kIndex<OxDialogArea> = OX_AREA_DIALOG;
template <> inline constexpr int kIndex<OxGuiArea> = OX_AREA_GUI;
template <> inline constexpr int kIndex<OxElementArea> = OX_AREA_ELEMENT;
template <> inline constexpr int kIndex<OxDrawArea> = OX_AREA_DRAW;
template <> inline constexpr int kIndex<OxContainerArea> = OX_AREA_CONTAINER;
template <> inline constexpr int kIndex<OxResourceArea> = OX_AREA_RESOURCE;
template <> inline constexpr int kIndex<OxCommandArea> = OX_AREA_COMMAND;
template <> inline constexpr int kIndex<OxBitmapArea> = OX_AREA_BITMAP;
template <> inline constexpr int kIndex<OxFileArea> = OX_AREA_FILE;
template <> inline constexpr int kIndex<OxLibraryArea> = OX_AREA_LIBRARY;
template <> inline constexpr int kIndex<OxEventArea> = OX_AREA_EVENT;

template <class Table> const Table* Find() noexcept {
  if constexpr (std::is_same_v<Table, OxTreeViewLibrary>)
    return TreeViewLibrary();
  else if constexpr (std::is_same_v<Table, OxLayerShaderLibrary>)
    return LayerShaderLibrary();
  else
    return static_cast<const Table*>(Area(kIndex<Table>));
}

// Calls `slot` of its area or library with `args`; without the table (or the
// slot) the answer is the result type's zero and nothing is called.
template <class Table, class Fn, class... Args> auto Call(Fn Table::*slot, Args&&... args) noexcept {
  using Result = decltype((std::declval<Fn>())(std::forward<Args>(args)...));
  const Table* table = Find<Table>();
  if (table == nullptr || table->*slot == nullptr) {
    if constexpr (std::is_void_v<Result>)
      return;
    else
      return Result{};
  } else {
    return (table->*slot)(std::forward<Args>(args)...);
  }
}

} // namespace ox::tables
