#include "host/host.h"

#include "host/entry.h"
#include "host/tables.h"

namespace ox {

using tables::Call;

// ---- memory, console -------------------------------------------------------

void* MemoryAllocate(size_t bytes) {
  return Call(&OxMemoryArea::allocate, bytes);
}

void MemoryFree(void* block) {
  if (block != nullptr)
    Call(&OxMemoryArea::release, block);
}

void ConsoleWrite(const Text& line) {
  Call(&OxConsoleArea::write, line.get());
}

// ---- scene -------------------------------------------------------------------

OxDocument* HostActiveDocument() {
  return Call(&OxDocumentArea::active);
}
OxNode* DocumentFirstObject(OxDocument* doc) {
  return Call(&OxDocumentArea::firstObject, doc);
}
OxNode* DocumentFirstMaterial(OxDocument* doc) {
  return Call(&OxDocumentArea::firstMaterial, doc);
}
OxNode* DocumentRenderSettings(OxDocument* doc) {
  return Call(&OxDocumentArea::renderSettings, doc);
}
OxNode* RenderSettingsFirstVideopost(OxNode* renderSettings) {
  return Call(&OxRenderArea::firstVideopost, renderSettings);
}
OxNode* NodeFirstChild(OxNode* node) {
  return Call(&OxNodeArea::firstChild, node);
}
OxNode* NodeNext(OxNode* node) {
  return Call(&OxNodeArea::next, node);
}
int32_t NodeTypeId(OxNode* node) {
  return Call(&OxNodeArea::typeId, node);
}
Text NodeName(OxNode* node) {
  return Text::Adopt(Call(&OxNodeArea::name, node));
}
OxNode* NodeOwner(OxNode* node) {
  return Call(&OxNodeArea::owner, node);
}
OxDocument* NodeDocument(OxNode* node) {
  return Call(&OxNodeArea::document, node);
}
bool NodeDetach(OxNode* node) {
  return Call(&OxNodeArea::detach, node) != 0;
}
void NodeDestroy(OxNode* node) {
  Call(&OxNodeArea::destroy, node);
}
bool NodeSendMessage(OxNode* node, int32_t message, void* data) {
  return Call(&OxNodeArea::sendMessage, node, message, data) != 0;
}

std::span<OxNode* const> ObjectTagsOfType(OxNode* object, int32_t type) {
  int32_t count = 0;
  OxNode* const* tags = Call(&OxObjectArea::tagsOfType, object, type, &count);
  if (tags == nullptr || count <= 0)
    return {};
  return {tags, static_cast<size_t>(count)};
}

OxChannel* MaterialChannel(OxNode* material, int32_t index) {
  return Call(&OxMaterialArea::channel, material, index);
}
OxNode* ChannelShader(OxChannel* channel) {
  return Call(&OxMaterialArea::channelShader, channel);
}
void MaterialLayerShaders(OxNode* material, OxNodeArray* out) {
  Call(&OxMaterialArea::layerShaders, material, out);
}
void MaterialUpdate(OxNode* material, bool preview, bool rttm) {
  Call(&OxMaterialArea::update, material, OxBool{preview}, OxBool{rttm});
}

// ---- layer shaders (library) ---------------------------------------------------

OxLayer* LayerFirst(OxNode* layerShader) {
  return Call(&OxLayerShaderLibrary::first, layerShader);
}
OxLayer* LayerNext(OxLayer* layer) {
  return Call(&OxLayerShaderLibrary::next, layer);
}
int32_t LayerKind(OxLayer* layer) {
  return Call(&OxLayerShaderLibrary::kind, layer);
}
bool LayerParameter(OxLayer* layer, int32_t id, OxValue* out) {
  return Call(&OxLayerShaderLibrary::parameter, layer, id, out) != 0;
}

// ---- values, links -------------------------------------------------------------

Value ValueNew() {
  return Value(Call(&OxValueArea::create));
}
int32_t ValueKind(const OxValue* value) {
  return Call(&OxValueArea::kind, value);
}
OxLink* ValueLink(const OxValue* value, int32_t kind) {
  return Call(&OxValueArea::link, value, kind);
}
Link LinkNew(OxNode* node) {
  return Link(Call(&OxLinkArea::create, node));
}
OxNode* LinkTarget(const OxLink* link, OxDocument* doc, int32_t flags) {
  return Call(&OxLinkArea::target, link, doc, flags);
}

// ---- selections, node arrays ---------------------------------------------------

NodeArray NodeArrayNew() {
  return NodeArray(Call(&OxNodeArrayArea::create));
}
void DocumentSelectedObjects(OxDocument* doc, OxNodeArray* out, int32_t mode) {
  Call(&OxDocumentArea::selectedObjects, doc, out, mode);
}
void DocumentSelectedMaterials(OxDocument* doc, OxNodeArray* out) {
  Call(&OxDocumentArea::selectedMaterials, doc, out);
}
int32_t NodeArrayCount(const OxNodeArray* array) {
  return Call(&OxNodeArrayArea::count, array);
}
OxNode* NodeArrayAt(const OxNodeArray* array, int32_t index) {
  return Call(&OxNodeArrayArea::at, array, index);
}
void NodeArrayClear(OxNodeArray* array) {
  Call(&OxNodeArrayArea::clear, array);
}
void DocumentSelectObject(OxDocument* doc, OxNode* object, int32_t mode) {
  Call(&OxDocumentArea::selectObject, doc, object, mode);
}
void DocumentSelectMaterial(OxDocument* doc, OxNode* material, int32_t mode) {
  Call(&OxDocumentArea::selectMaterial, doc, material, mode);
}

// ---- identification, removal ---------------------------------------------------

OxNode* PluginLookup(int32_t id, int32_t typeCode) {
  return Call(&OxRegistryArea::lookup, id, typeCode);
}
bool UndoBegin(OxDocument* doc) {
  return Call(&OxUndoArea::begin, doc) != 0;
}
bool UndoRecord(OxDocument* doc, int32_t kind, OxNode* node, void* data) {
  return Call(&OxUndoArea::record, doc, kind, node, data) != 0;
}
bool UndoEnd(OxDocument* doc) {
  return Call(&OxUndoArea::end, doc) != 0;
}
void SceneChanged(int32_t flags) {
  Call(&OxEventArea::sceneChanged, flags);
}

// ---- dialogs -------------------------------------------------------------------

OxDialog* DialogCreate(const OxDialogCallbacks* callbacks, void* self) {
  return Call(&OxDialogArea::create, callbacks, self);
}
void DialogDestroy(OxDialog* dialog) {
  if (dialog != nullptr)
    Call(&OxDialogArea::destroy, dialog);
}
bool DialogAddElement(OxDialog* dialog, const OxElementDesc& desc, OxElement** out) {
  return Call(&OxDialogArea::addElement, dialog, &desc, out) != 0;
}
bool DialogGroupBegin(OxDialog* dialog, int32_t id, int32_t flags, int32_t columns, int32_t rows,
                      const Text& title, int32_t groupFlags, int32_t width, int32_t height) {
  return Call(&OxDialogArea::groupBegin, dialog, id, flags, columns, rows, title.get(), groupFlags, width,
              height) != 0;
}
bool DialogGroupEnd(OxDialog* dialog) {
  return Call(&OxDialogArea::groupEnd, dialog) != 0;
}
bool DialogGroupBorder(OxDialog* dialog, uint32_t style) {
  return Call(&OxDialogArea::groupBorder, dialog, style) != 0;
}
bool DialogGroupSpacing(OxDialog* dialog, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return Call(&OxDialogArea::groupSpacing, dialog, left, top, right, bottom) != 0;
}
// The getters leave `out` as it was when the host does not answer.
bool DialogGetInt(OxDialog* dialog, int32_t id, int32_t& out) {
  int32_t value = 0;
  if (Call(&OxDialogArea::getInt, dialog, id, &value) == 0)
    return false;
  out = value;
  return true;
}
bool DialogGetNumber(OxDialog* dialog, int32_t id, double& out) {
  double value = 0.0;
  if (Call(&OxDialogArea::getNumber, dialog, id, &value) == 0)
    return false;
  out = value;
  return true;
}
bool DialogSetValue(OxDialog* dialog, int32_t id, const OxDialogValue& value) {
  return Call(&OxDialogArea::setValue, dialog, id, &value) != 0;
}
bool DialogEnable(OxDialog* dialog, int32_t id, bool enabled) {
  return Call(&OxDialogArea::enable, dialog, id, OxBool{enabled}) != 0;
}
bool DialogOpen(OxDialog* dialog, int32_t type, int32_t pluginId, int32_t subId, int32_t x, int32_t y,
                int32_t width, int32_t height) {
  return Call(&OxDialogArea::open, dialog, type, pluginId, subId, x, y, width, height) != 0;
}
bool DialogRestore(OxDialog* dialog, int32_t pluginId, int32_t subId, void* layoutData) {
  return Call(&OxDialogArea::restore, dialog, pluginId, subId, layoutData) != 0;
}
bool DialogClose(OxDialog* dialog) {
  return Call(&OxDialogArea::close, dialog) != 0;
}
int32_t MessageBox(const Text& text, int32_t flags) {
  return Call(&OxGuiArea::messageBox, text.get(), flags);
}
bool PauseHostActivity(int32_t a, int32_t b, int32_t c) {
  return Call(&OxGuiArea::pauseHostActivity, a, b, c) != 0;
}

// ---- results list, drawing -----------------------------------------------------

bool TreeViewSetLayout(OxElement* tree, int32_t columns, const OxContainer* layout) {
  return Call(&OxTreeViewLibrary::setLayout, tree, columns, layout) != 0;
}
bool TreeViewSetRoot(OxElement* tree, void* root, const OxTreeModelCallbacks* model, void* self,
                     void* userData) {
  return Call(&OxTreeViewLibrary::setRoot, tree, root, model, self, userData) != 0;
}
void TreeViewRefresh(OxElement* tree) {
  Call(&OxTreeViewLibrary::refresh, tree);
}
bool ElementRedraw(OxElement* element, int32_t libraryId) {
  return Call(&OxElementArea::redraw, element, libraryId) != 0;
}
void AreaResetPen(OxArea* area) {
  Call(&OxDrawArea::resetPen, area);
}
void AreaFillRect(OxArea* area, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Call(&OxDrawArea::fillRect, area, x1, y1, x2, y2);
}
void AreaSetFont(OxArea* area, int32_t fontId) {
  Call(&OxDrawArea::setFont, area, fontId);
}
void AreaSetTextColors(OxArea* area, int32_t foreground, int32_t background) {
  Call(&OxDrawArea::setTextColors, area, foreground, background);
}
void AreaDrawText(OxArea* area, const Text& text, int32_t x, int32_t y, int32_t flags) {
  Call(&OxDrawArea::drawText, area, text.get(), x, y, flags);
}
int32_t AreaTextWidth(OxArea* area, const Text& text) {
  return Call(&OxDrawArea::textWidth, area, text.get());
}
int32_t AreaLineHeight(OxArea* area) {
  return Call(&OxDrawArea::lineHeight, area);
}
Container ContainerInit(int32_t id) {
  return Container(Call(&OxContainerArea::create, id));
}
bool ContainerSetInt(OxContainer* container, int32_t key, int32_t value) {
  return Call(&OxContainerArea::setInt, container, key, value) != 0;
}
bool ContainerSetBool(OxContainer* container, int32_t key, bool value) {
  return Call(&OxContainerArea::setBool, container, key, OxBool{value}) != 0;
}
void ContainerClear(OxContainer* container) {
  Call(&OxContainerArea::clear, container);
}

// ---- module resources, files ---------------------------------------------------

bool ResourceLoad(const Text& folder) {
  return Call(&OxResourceArea::load, folder.get()) != 0;
}
Text ResourceText(int32_t id) {
  return Text::Adopt(Call(&OxResourceArea::text, id));
}
void ResourceUnload() {
  Call(&OxResourceArea::unload);
}
bool RegisterCommand(const OxCommandRegistration& registration) {
  return Call(&OxCommandArea::registerCommand, &registration) != 0;
}

Bitmap IconLoad(const Text& path, double scale) {
  Bitmap bitmap(Call(&OxBitmapArea::create));
  if (!bitmap || Call(&OxBitmapArea::load, bitmap.get(), path.get()) == 0)
    return {};
  Call(&OxBitmapArea::setScale, bitmap.get(), scale);
  return bitmap;
}

Text ModuleDirectory() {
  const Text path = TextFromLiteral(ModulePath());
  if (path.empty())
    return {};
  return Text::Adopt(Call(&OxFileArea::directory, path.get()));
}
Text FileNameJoin(const Text& folder, const Text& name) {
  return Text::Adopt(Call(&OxFileArea::join, folder.get(), name.get()));
}
bool OpenWithSystem(const Text& path) {
  return Call(&OxFileArea::openWithSystem, path.get()) != 0;
}

} // namespace ox
