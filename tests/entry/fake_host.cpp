#include "entry/fake_host.h"

#include <cstdlib>
#include <memory>

namespace fake {
namespace {

State g_state;

// ---- stubs: every slot of every area gets one
template <class R, class... A> R Stub(A...) {
  if constexpr (!std::is_void_v<R>)
    return R{};
}
template <class R, class... A> void Fill(R (*&slot)(A...)) {
  slot = &Stub<R, A...>;
}
template <class... Slot> void FillAll(Slot&... slots) {
  (Fill(slots), ...);
}

// ---- texts: reference-counted strings behind the handle
struct TextBox {
  std::string value;
  int refs = 1;
};
std::set<TextBox*> g_texts;

OxText* NewText(std::string value) {
  if (value.empty())
    return nullptr;
  auto* box = new TextBox{std::move(value)};
  g_texts.insert(box);
  return reinterpret_cast<OxText*>(box);
}
TextBox* Box(const OxText* text) {
  auto* box = reinterpret_cast<TextBox*>(const_cast<OxText*>(text));
  return g_texts.count(box) != 0 ? box : nullptr;
}

// Distinct non-null handles for things the fake does not model.
template <class T> T* Dummy() {
  static char cell;
  return reinterpret_cast<T*>(&cell);
}

template <class T> T Sized() {
  T table{};
  table.size = sizeof(T);
  return table;
}

struct Areas {
  OxMemoryArea memory = Sized<OxMemoryArea>();
  OxTextArea text = Sized<OxTextArea>();
  OxConsoleArea console = Sized<OxConsoleArea>();
  OxDocumentArea document = Sized<OxDocumentArea>();
  OxNodeArea node = Sized<OxNodeArea>();
  OxObjectArea object = Sized<OxObjectArea>();
  OxMaterialArea material = Sized<OxMaterialArea>();
  OxRenderArea render = Sized<OxRenderArea>();
  OxNodeArrayArea nodeArray = Sized<OxNodeArrayArea>();
  OxUndoArea undo = Sized<OxUndoArea>();
  OxRegistryArea registry = Sized<OxRegistryArea>();
  OxValueArea value = Sized<OxValueArea>();
  OxLinkArea link = Sized<OxLinkArea>();
  OxDialogArea dialog = Sized<OxDialogArea>();
  OxGuiArea gui = Sized<OxGuiArea>();
  OxElementArea element = Sized<OxElementArea>();
  OxDrawArea draw = Sized<OxDrawArea>();
  OxContainerArea container = Sized<OxContainerArea>();
  OxResourceArea resource = Sized<OxResourceArea>();
  OxCommandArea command = Sized<OxCommandArea>();
  OxBitmapArea bitmap = Sized<OxBitmapArea>();
  OxFileArea file = Sized<OxFileArea>();
  OxLibraryArea library = Sized<OxLibraryArea>();
  OxEventArea event = Sized<OxEventArea>();
};

void FillStubs(Areas& a) {
  FillAll(a.document.active, a.document.firstObject, a.document.firstMaterial, a.document.renderSettings,
          a.document.selectedObjects, a.document.selectedMaterials, a.document.selectObject,
          a.document.selectMaterial);
  FillAll(a.node.firstChild, a.node.next, a.node.typeId, a.node.name, a.node.owner, a.node.document,
          a.node.detach, a.node.destroy, a.node.sendMessage);
  FillAll(a.object.tagsOfType);
  FillAll(a.material.channel, a.material.channelShader, a.material.layerShaders, a.material.update);
  FillAll(a.render.firstVideopost);
  FillAll(a.nodeArray.create, a.nodeArray.count, a.nodeArray.at, a.nodeArray.clear, a.nodeArray.release);
  FillAll(a.undo.begin, a.undo.record, a.undo.end);
  FillAll(a.registry.lookup);
  FillAll(a.value.create, a.value.kind, a.value.link, a.value.release);
  FillAll(a.link.create, a.link.target, a.link.release);
  FillAll(a.dialog.groupBegin, a.dialog.groupEnd, a.dialog.groupBorder, a.dialog.groupSpacing,
          a.dialog.getInt, a.dialog.getNumber, a.dialog.setValue, a.dialog.enable, a.dialog.close);
  FillAll(a.gui.messageBox, a.gui.pauseHostActivity);
  FillAll(a.element.redraw);
  FillAll(a.draw.resetPen, a.draw.fillRect, a.draw.setFont, a.draw.setTextColors, a.draw.drawText,
          a.draw.textWidth, a.draw.lineHeight);
  FillAll(a.container.setInt, a.container.setBool, a.container.clear, a.container.release);
  FillAll(a.file.openWithSystem);
  FillAll(a.event.sceneChanged);
}

void FillRecorders(Areas& a) {
  a.memory.allocate = [](size_t bytes) -> void* {
    ++g_state.allocations;
    if (g_state.failAllocations)
      return nullptr;
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    g_state.liveBlocks.insert(block);
    return block;
  };
  a.memory.release = [](void* block) {
    if (block == nullptr)
      return;
    if (g_state.liveBlocks.erase(block) == 0) {
      ++g_state.badFrees;
      return;
    }
    std::free(block);
  };

  a.text.fromLiteral = [](const char* utf8) { return utf8 != nullptr ? NewText(utf8) : nullptr; };
  a.text.fromInteger = [](int64_t v) { return NewText(std::to_string(v)); };
  a.text.join = [](const OxText* x, const OxText* y) { return NewText(TextOf(x) + TextOf(y)); };
  a.text.retain = [](OxText* text) -> OxText* {
    if (TextBox* box = Box(text))
      ++box->refs;
    return text;
  };
  a.text.release = [](OxText* text) {
    TextBox* box = Box(text);
    if (box != nullptr && --box->refs == 0) {
      g_texts.erase(box);
      delete box;
    }
  };
  a.text.utf8 = [](const OxText* text) {
    TextBox* box = Box(text);
    return box != nullptr ? box->value.c_str() : "";
  };
  a.text.length = [](const OxText* text) {
    TextBox* box = Box(text);
    return box != nullptr ? box->value.size() : size_t{0};
  };

  a.console.write = [](const OxText* line) { g_state.console.push_back(TextOf(line)); };

  a.resource.load = [](const OxText* folder) -> OxBool {
    g_state.resourceLoads.push_back(TextOf(folder));
    return g_state.resourceLoadSucceeds;
  };
  a.resource.text = [](int32_t id) -> OxText* {
    auto it = g_state.resourceTexts.find(id);
    return it != g_state.resourceTexts.end() ? NewText(it->second) : nullptr;
  };
  a.resource.unload = [] { ++g_state.resourceUnloads; };

  a.command.registerCommand = [](const OxCommandRegistration* r) -> OxBool {
    ++g_state.registerCalls;
    if (!g_state.registrationSucceeds)
      return 0;
    g_state.registrations.push_back({r->pluginId, TextOf(r->name), TextOf(r->help), r->infoFlags,
                                     r->icon != nullptr, r->apiVersion, r->callbacks, r->self});
    return 1;
  };

  a.bitmap.create = [] { return reinterpret_cast<OxBitmap*>(&g_state.bitmaps.emplace_back()); };
  a.bitmap.load = [](OxBitmap* b, const OxText* path) -> OxBool {
    reinterpret_cast<Bitmap*>(b)->loadedFrom = TextOf(path);
    return g_state.bitmapLoadSucceeds;
  };
  a.bitmap.setScale = [](OxBitmap* b, double scale) { reinterpret_cast<Bitmap*>(b)->scale = scale; };
  a.bitmap.release = [](OxBitmap* b) { reinterpret_cast<Bitmap*>(b)->released = true; };

  a.file.directory = [](const OxText* path) {
    const std::string p = TextOf(path);
    const size_t slash = p.rfind('/');
    return NewText(slash == std::string::npos ? "." : p.substr(0, slash));
  };
  a.file.join = [](const OxText* folder, const OxText* name) {
    return NewText(TextOf(folder) + "/" + TextOf(name));
  };

  a.dialog.create = [](const OxDialogCallbacks* callbacks, void* self) -> OxDialog* {
    if (!g_state.dialogCreateSucceeds)
      return nullptr;
    return reinterpret_cast<OxDialog*>(&g_state.dialogs.emplace_back(Dialog{callbacks, self}));
  };
  a.dialog.destroy = [](OxDialog* d) { reinterpret_cast<Dialog*>(d)->destroyed = true; };
  a.dialog.addElement = [](OxDialog*, const OxElementDesc* desc, OxElement** out) -> OxBool {
    if (desc->kind == OX_ELEM_IS_OPEN)
      return g_state.dialogOpen;
    if (out != nullptr)
      *out = Dummy<OxElement>();
    return 1;
  };
  a.dialog.open = [](OxDialog* d, int32_t type, int32_t id, int32_t sub, int32_t x, int32_t y, int32_t w,
                     int32_t h) -> OxBool {
    g_state.opens.push_back({d, type, id, sub, x, y, w, h});
    return 1;
  };
  a.dialog.restore = [](OxDialog* d, int32_t id, int32_t sub, void* data) {
    g_state.restores.push_back({d, id, sub, data});
    return g_state.restoreAnswer;
  };

  a.container.create = [](int32_t) { return Dummy<OxContainer>(); };
  a.nodeArray.create = [] { return Dummy<OxNodeArray>(); };

  a.library.find = [](int32_t id) -> const OxLibraryHeader* {
    ++g_state.libraryFinds[id];
    auto it = g_state.libraries.find(id);
    return it != g_state.libraries.end() ? it->second : nullptr;
  };
}

Areas& TheAreas() {
  static Areas areas = [] {
    Areas a;
    FillStubs(a);
    FillRecorders(a);
    return a;
  }();
  return areas;
}

} // namespace

State& Host() {
  return g_state;
}

void Reset() {
  for (void* block : g_state.liveBlocks)
    std::free(block);
  g_state = State{};
  for (TextBox* box : g_texts)
    delete box;
  g_texts.clear();
}

OxHostTables Tables(int32_t apiVersion) {
  Areas& a = TheAreas();
  OxHostTables t{};
  t.apiVersion = apiVersion;
  t.areas[OX_AREA_MEMORY] = &a.memory;
  t.areas[OX_AREA_TEXT] = &a.text;
  t.areas[OX_AREA_CONSOLE] = &a.console;
  t.areas[OX_AREA_DOCUMENT] = &a.document;
  t.areas[OX_AREA_NODE] = &a.node;
  t.areas[OX_AREA_OBJECT] = &a.object;
  t.areas[OX_AREA_MATERIAL] = &a.material;
  t.areas[OX_AREA_RENDER] = &a.render;
  t.areas[OX_AREA_NODE_ARRAY] = &a.nodeArray;
  t.areas[OX_AREA_UNDO] = &a.undo;
  t.areas[OX_AREA_REGISTRY] = &a.registry;
  t.areas[OX_AREA_VALUE] = &a.value;
  t.areas[OX_AREA_LINK] = &a.link;
  t.areas[OX_AREA_DIALOG] = &a.dialog;
  t.areas[OX_AREA_GUI] = &a.gui;
  t.areas[OX_AREA_ELEMENT] = &a.element;
  t.areas[OX_AREA_DRAW] = &a.draw;
  t.areas[OX_AREA_CONTAINER] = &a.container;
  t.areas[OX_AREA_RESOURCE] = &a.resource;
  t.areas[OX_AREA_COMMAND] = &a.command;
  t.areas[OX_AREA_BITMAP] = &a.bitmap;
  t.areas[OX_AREA_FILE] = &a.file;
  t.areas[OX_AREA_LIBRARY] = &a.library;
  t.areas[OX_AREA_EVENT] = &a.event;
  return t;
}

size_t LiveTexts() {
  return g_texts.size();
}

std::string TextOf(const OxText* text) {
  TextBox* box = Box(text);
  return box != nullptr ? box->value : std::string();
}

int32_t SendDialogMessage(const Dialog& dialog, int32_t id, int32_t a, void* data) {
  return dialog.callbacks->message(dialog.self, id, a, data);
}

const OxTreeViewLibrary& TreeViewLibrary() {
  static const OxTreeViewLibrary library = [] {
    OxTreeViewLibrary l = Sized<OxTreeViewLibrary>();
    l.setLayout = [](OxElement*, int32_t, const OxContainer*) -> OxBool {
      ++g_state.treeLayouts;
      return 1;
    };
    Fill(l.setRoot);
    Fill(l.refresh);
    return l;
  }();
  return library;
}

} // namespace fake
