#include "host/tables.h"

#include "host/entry.h"

#include <array>

namespace ox::tables {
namespace {

// The area pointers kept from the first action 1 to the last action 3.
std::array<const void*, OX_AREA_COUNT> g_areas{};
bool g_kept = false;

template <class T> struct LibraryCache {
  bool lookedUp = false;
  const T* table = nullptr;
};
LibraryCache<OxTreeViewLibrary> g_treeView;
LibraryCache<OxLayerShaderLibrary> g_layerShader;

// True when `table` is present, declares at least the size of the module's
// `T` and none of the named slots is null. The size is read before any slot,
// so a short table is never read past its end.
template <class T, class... Slot> bool Complete(const void* table, Slot T::*... slots) noexcept {
  if (table == nullptr)
    return false;
  const auto* t = static_cast<const T*>(table);
  if (t->size < sizeof(T))
    return false;
  return ((t->*slots != nullptr) && ...);
}

bool AreasComplete(const OxHostTables& h) noexcept {
  const auto& a = h.areas;
  using Draw = OxDrawArea;
  // Only the mac flavour resets the pen before it fills a cell.
  const bool drawComplete =
      Complete<Draw>(a[OX_AREA_DRAW], &Draw::fillRect, &Draw::setFont, &Draw::setTextColors, &Draw::drawText,
                     &Draw::textWidth, &Draw::lineHeight) &&
      (!kResetPenBeforeFill || Complete<Draw>(a[OX_AREA_DRAW], &Draw::resetPen));
  return Complete<OxMemoryArea>(a[OX_AREA_MEMORY], &OxMemoryArea::allocate, &OxMemoryArea::release) &&
         Complete<OxTextArea>(a[OX_AREA_TEXT], &OxTextArea::fromLiteral, &OxTextArea::fromInteger,
                              &OxTextArea::join, &OxTextArea::retain, &OxTextArea::release, &OxTextArea::utf8,
                              &OxTextArea::length) &&
         Complete<OxConsoleArea>(a[OX_AREA_CONSOLE], &OxConsoleArea::write) &&
         Complete<OxDocumentArea>(a[OX_AREA_DOCUMENT], &OxDocumentArea::active, &OxDocumentArea::firstObject,
                                  &OxDocumentArea::firstMaterial, &OxDocumentArea::renderSettings,
                                  &OxDocumentArea::selectedObjects, &OxDocumentArea::selectedMaterials,
                                  &OxDocumentArea::selectObject, &OxDocumentArea::selectMaterial) &&
         Complete<OxNodeArea>(a[OX_AREA_NODE], &OxNodeArea::firstChild, &OxNodeArea::next,
                              &OxNodeArea::typeId, &OxNodeArea::name, &OxNodeArea::owner,
                              &OxNodeArea::document, &OxNodeArea::detach, &OxNodeArea::destroy,
                              &OxNodeArea::sendMessage) &&
         Complete<OxObjectArea>(a[OX_AREA_OBJECT], &OxObjectArea::tagsOfType) &&
         Complete<OxMaterialArea>(a[OX_AREA_MATERIAL], &OxMaterialArea::channel,
                                  &OxMaterialArea::channelShader, &OxMaterialArea::layerShaders,
                                  &OxMaterialArea::update) &&
         Complete<OxRenderArea>(a[OX_AREA_RENDER], &OxRenderArea::firstVideopost) &&
         Complete<OxNodeArrayArea>(a[OX_AREA_NODE_ARRAY], &OxNodeArrayArea::create, &OxNodeArrayArea::count,
                                   &OxNodeArrayArea::at, &OxNodeArrayArea::clear,
                                   &OxNodeArrayArea::release) &&
         Complete<OxUndoArea>(a[OX_AREA_UNDO], &OxUndoArea::begin, &OxUndoArea::record, &OxUndoArea::end) &&
         Complete<OxRegistryArea>(a[OX_AREA_REGISTRY], &OxRegistryArea::lookup) &&
         Complete<OxValueArea>(a[OX_AREA_VALUE], &OxValueArea::create, &OxValueArea::kind, &OxValueArea::link,
                               &OxValueArea::release) &&
         Complete<OxLinkArea>(a[OX_AREA_LINK], &OxLinkArea::create, &OxLinkArea::target,
                              &OxLinkArea::release) &&
         Complete<OxDialogArea>(a[OX_AREA_DIALOG], &OxDialogArea::create, &OxDialogArea::destroy,
                                &OxDialogArea::addElement, &OxDialogArea::groupBegin, &OxDialogArea::groupEnd,
                                &OxDialogArea::groupBorder, &OxDialogArea::groupSpacing,
                                &OxDialogArea::getInt, &OxDialogArea::getNumber, &OxDialogArea::setValue,
                                &OxDialogArea::enable, &OxDialogArea::open, &OxDialogArea::restore,
                                &OxDialogArea::close) &&
         Complete<OxGuiArea>(a[OX_AREA_GUI], &OxGuiArea::messageBox, &OxGuiArea::pauseHostActivity) &&
         Complete<OxElementArea>(a[OX_AREA_ELEMENT], &OxElementArea::redraw) && drawComplete &&
         Complete<OxContainerArea>(a[OX_AREA_CONTAINER], &OxContainerArea::create, &OxContainerArea::setInt,
                                   &OxContainerArea::setBool, &OxContainerArea::clear,
                                   &OxContainerArea::release) &&
         Complete<OxResourceArea>(a[OX_AREA_RESOURCE], &OxResourceArea::load, &OxResourceArea::text,
                                  &OxResourceArea::unload) &&
         Complete<OxCommandArea>(a[OX_AREA_COMMAND], &OxCommandArea::registerCommand) &&
         Complete<OxBitmapArea>(a[OX_AREA_BITMAP], &OxBitmapArea::create, &OxBitmapArea::load,
                                &OxBitmapArea::setScale, &OxBitmapArea::release) &&
         Complete<OxFileArea>(a[OX_AREA_FILE], &OxFileArea::directory, &OxFileArea::join,
                              &OxFileArea::openWithSystem) &&
         Complete<OxLibraryArea>(a[OX_AREA_LIBRARY], &OxLibraryArea::find) &&
         Complete<OxEventArea>(a[OX_AREA_EVENT], &OxEventArea::sceneChanged);
}

const OxLibraryHeader* FindLibrary(int32_t id) noexcept {
  const auto* area = static_cast<const OxLibraryArea*>(Area(OX_AREA_LIBRARY));
  return area != nullptr ? area->find(id) : nullptr;
}

} // namespace

bool Keep(const OxHostTables& host) noexcept {
  if (!AreasComplete(host))
    return false;
  // Areas 24 and up are not the module's; they are neither checked nor kept.
  for (int i = 0; i < OX_AREA_COUNT; ++i)
    g_areas[i] = i <= OX_AREA_EVENT ? host.areas[i] : nullptr;
  g_kept = true;
  g_treeView = {};
  g_layerShader = {};
  return true;
}

void Forget() noexcept {
  g_areas.fill(nullptr);
  g_kept = false;
  g_treeView = {};
  g_layerShader = {};
}

bool Kept() noexcept {
  return g_kept;
}

const void* Area(int index) noexcept {
  return index >= 0 && index < OX_AREA_COUNT ? g_areas[static_cast<size_t>(index)] : nullptr;
}

const OxTreeViewLibrary* TreeViewLibrary() noexcept {
  using L = OxTreeViewLibrary;
  if (g_kept && !g_treeView.lookedUp) {
    const OxLibraryHeader* found = FindLibrary(OX_LIBRARY_TREEVIEW);
    g_treeView.lookedUp = true;
    g_treeView.table = Complete<L>(found, &L::setLayout, &L::setRoot, &L::refresh)
                           ? reinterpret_cast<const L*>(found)
                           : nullptr;
  }
  return g_treeView.table;
}

const OxLayerShaderLibrary* LayerShaderLibrary() noexcept {
  using L = OxLayerShaderLibrary;
  if (g_kept && !g_layerShader.lookedUp) {
    const OxLibraryHeader* found = FindLibrary(OX_LIBRARY_LAYERSHADER);
    g_layerShader.lookedUp = true;
    g_layerShader.table = Complete<L>(found, &L::first, &L::next, &L::kind, &L::parameter)
                              ? reinterpret_cast<const L*>(found)
                              : nullptr;
  }
  return g_layerShader.table;
}

} // namespace ox::tables
