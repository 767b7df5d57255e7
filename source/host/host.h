// The module's calls into the host, one wrapper per host operation, named
// after it. Every wrapper goes through the area tables kept by the entry glue
// and answers null, false, 0 or the empty text when its table, library or
// slot is missing. Main thread only.
#pragma once

#include "host/owners.h"
#include "host/ox_abi.h"
#include "host/text.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace ox {

// Four-character codes: up to four characters, big-endian, right-aligned.
constexpr int32_t FourCC(const char (&code)[5]) {
  return static_cast<int32_t>((uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
                              (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3])));
}
constexpr int32_t FourCC(const char (&code)[4]) {
  return static_cast<int32_t>((uint32_t(uint8_t(code[0])) << 16) | (uint32_t(uint8_t(code[1])) << 8) |
                              uint32_t(uint8_t(code[2])));
}
constexpr int32_t FourCC(const char (&code)[3]) {
  return static_cast<int32_t>((uint32_t(uint8_t(code[0])) << 8) | uint32_t(uint8_t(code[1])));
}

// Memory (the host's allocator).
void* MemoryAllocate(size_t bytes);
void MemoryFree(void* block);

// Console.
void ConsoleWrite(const Text& line);

// Scene.
OxDocument* HostActiveDocument();
OxNode* DocumentFirstObject(OxDocument* doc);
OxNode* DocumentFirstMaterial(OxDocument* doc);
OxNode* DocumentRenderSettings(OxDocument* doc);
OxNode* RenderSettingsFirstVideopost(OxNode* renderSettings);
OxNode* NodeFirstChild(OxNode* node);
OxNode* NodeNext(OxNode* node);
int32_t NodeTypeId(OxNode* node);
Text NodeName(OxNode* node);
OxNode* NodeOwner(OxNode* node);
OxDocument* NodeDocument(OxNode* node);
bool NodeDetach(OxNode* node);
void NodeDestroy(OxNode* node);
bool NodeSendMessage(OxNode* node, int32_t message, void* data);
// Host storage, readable until the next call even while its tags are destroyed.
std::span<OxNode* const> ObjectTagsOfType(OxNode* object, int32_t type);
OxChannel* MaterialChannel(OxNode* material, int32_t index);
OxNode* ChannelShader(OxChannel* channel);
void MaterialLayerShaders(OxNode* material, OxNodeArray* out);
void MaterialUpdate(OxNode* material, bool preview, bool rttm);

// Layer shaders (library 450000055).
OxLayer* LayerFirst(OxNode* layerShader);
OxLayer* LayerNext(OxLayer* layer);
int32_t LayerKind(OxLayer* layer);
bool LayerParameter(OxLayer* layer, int32_t id, OxValue* out);

// Values and links.
Value ValueNew();
int32_t ValueKind(const OxValue* value);
OxLink* ValueLink(const OxValue* value, int32_t kind); // borrowed from the value
Link LinkNew(OxNode* node);
OxNode* LinkTarget(const OxLink* link, OxDocument* doc, int32_t flags);

// Selections and node arrays.
NodeArray NodeArrayNew();
void DocumentSelectedObjects(OxDocument* doc, OxNodeArray* out, int32_t mode);
void DocumentSelectedMaterials(OxDocument* doc, OxNodeArray* out);
int32_t NodeArrayCount(const OxNodeArray* array);
OxNode* NodeArrayAt(const OxNodeArray* array, int32_t index);
void NodeArrayClear(OxNodeArray* array);
void DocumentSelectObject(OxDocument* doc, OxNode* object, int32_t mode);
void DocumentSelectMaterial(OxDocument* doc, OxNode* material, int32_t mode);

// Identification.
OxNode* PluginLookup(int32_t id, int32_t typeCode);

// Removal.
bool UndoBegin(OxDocument* doc);
bool UndoRecord(OxDocument* doc, int32_t kind, OxNode* node, void* data);
bool UndoEnd(OxDocument* doc);
void SceneChanged(int32_t flags);

// Dialogs.
OxDialog* DialogCreate(const OxDialogCallbacks* callbacks, void* self);
void DialogDestroy(OxDialog* dialog);
bool DialogAddElement(OxDialog* dialog, const OxElementDesc& desc, OxElement** out = nullptr);
bool DialogGroupBegin(OxDialog* dialog, int32_t id, int32_t flags, int32_t columns, int32_t rows,
                      const Text& title, int32_t groupFlags, int32_t width, int32_t height);
bool DialogGroupEnd(OxDialog* dialog);
bool DialogGroupBorder(OxDialog* dialog, uint32_t style);
bool DialogGroupSpacing(OxDialog* dialog, int32_t left, int32_t top, int32_t right, int32_t bottom);
bool DialogGetInt(OxDialog* dialog, int32_t id, int32_t& out);
bool DialogGetNumber(OxDialog* dialog, int32_t id, double& out);
bool DialogSetValue(OxDialog* dialog, int32_t id, const OxDialogValue& value);
bool DialogEnable(OxDialog* dialog, int32_t id, bool enabled);
bool DialogOpen(OxDialog* dialog, int32_t type, int32_t pluginId, int32_t subId, int32_t x, int32_t y,
                int32_t width, int32_t height);
bool DialogRestore(OxDialog* dialog, int32_t pluginId, int32_t subId, void* layoutData);
bool DialogClose(OxDialog* dialog);
int32_t MessageBox(const Text& text, int32_t flags);
bool PauseHostActivity(int32_t a, int32_t b, int32_t c);

// The results list (library 1000475) and drawing.
bool TreeViewSetLayout(OxElement* tree, int32_t columns, const OxContainer* layout);
bool TreeViewSetRoot(OxElement* tree, void* root, const OxTreeModelCallbacks* model, void* self,
                     void* userData);
void TreeViewRefresh(OxElement* tree);
bool ElementRedraw(OxElement* element, int32_t libraryId);
void AreaResetPen(OxArea* area);
void AreaFillRect(OxArea* area, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void AreaSetFont(OxArea* area, int32_t fontId);
void AreaSetTextColors(OxArea* area, int32_t foreground, int32_t background);
void AreaDrawText(OxArea* area, const Text& text, int32_t x, int32_t y, int32_t flags);
int32_t AreaTextWidth(OxArea* area, const Text& text);
int32_t AreaLineHeight(OxArea* area);
Container ContainerInit(int32_t id);
bool ContainerSetInt(OxContainer* container, int32_t key, int32_t value);
bool ContainerSetBool(OxContainer* container, int32_t key, bool value);
void ContainerClear(OxContainer* container);

// Module resources and files.
bool ResourceLoad(const Text& folder);
Text ResourceText(int32_t id);
void ResourceUnload();
bool RegisterCommand(const OxCommandRegistration& registration);
Bitmap IconLoad(const Text& path, double scale); // empty when the file does not load
Text ModuleDirectory();                          // the folder that holds the module file
Text FileNameJoin(const Text& folder, const Text& name);
bool OpenWithSystem(const Text& path);

} // namespace ox
