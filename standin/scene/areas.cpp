// The scene's area tables: what the module may ask of documents, nodes,
// materials, undo, the registry, values, links and layer shaders. Every
// handle is checked; a breach is reported and the call answers null, false or
// 0 and changes nothing.
#include "core/breach.h"
#include "core/recycler.h"
#include "core/texts.h"
#include "scene/model.h"
#include "scene/world.h"

#include <algorithm>
#include <string>
#include <vector>

namespace standin {
namespace {

using namespace scene;

// Value kinds this host hands out (OX_VALUE_KIND_LINK is the one the module reads).
constexpr int32_t kValueEmpty = 0;
constexpr int32_t kValueInteger = 15;

struct NodeArrayBody {
  std::vector<OxNode*> items;
  OxNodeArray* handle = nullptr;
};
struct LinkBody {
  uint32_t identity = 0;
  OxLink* handle = nullptr;
};
struct ValueBody {
  int32_t kind = kValueEmpty;
  int32_t integer = 0;
  OxLink* link = nullptr; // owned by the value
  OxValue* handle = nullptr;
};

HandleTable<NodeArrayBody>& Arrays() {
  static HandleTable<NodeArrayBody> table(HandleKind::NodeArray);
  return table;
}
// A list run makes a link per row and drops them all together: their bodies
// are recycled (and live exactly as long as their table).
struct LinkState {
  HandleTable<LinkBody> table{HandleKind::Link};
  Recycler<LinkBody> bodies;
};
LinkState& LinkStore() {
  static LinkState state;
  return state;
}
HandleTable<LinkBody>& Links() {
  return LinkStore().table;
}
Recycler<LinkBody>& LinkBodies() {
  return LinkStore().bodies;
}
HandleTable<ValueBody>& Values() {
  static HandleTable<ValueBody> table(HandleKind::Value);
  return table;
}

// The tags handed out by the last tagsOfType call.
std::vector<OxNode*>& TagSnapshot() {
  static std::vector<OxNode*> snapshot;
  return snapshot;
}

// Kept out of line so that the checks on the way of every call stay short.
[[gnu::cold, gnu::noinline]] void ReportBadHandle(const void* handle, bool ofKind, const char* op,
                                                  const char* what) {
  if (handle == nullptr)
    Breach(op, std::string("null ") + what);
  else
    Breach(op, ofKind ? std::string("stale ") + what + " handle" : std::string("not a ") + what + " handle");
}

template <class T>
T* Resolve(const HandleTable<T>& table, const void* handle, const char* op, const char* what) {
  T* body = table.Get(handle);
  if (body == nullptr) [[unlikely]]
    ReportBadHandle(handle, table.IsKind(handle), op, what);
  return body;
}

Node* NodeArg(const OxNode* handle, const char* op) {
  return Resolve(Nodes(), handle, op, "node");
}
Document* DocArg(const OxDocument* handle, const char* op) {
  return Resolve(Documents(), handle, op, "document");
}

const char* KindName(NodeKind kind) {
  switch (kind) {
  case NodeKind::Object: return "an object";
  case NodeKind::Tag: return "a tag";
  case NodeKind::Material: return "a material";
  case NodeKind::Shader: return "a shader";
  case NodeKind::Videopost: return "a videopost";
  case NodeKind::RenderSettings: return "render settings";
  case NodeKind::Plugin: return "a plug-in record";
  }
  return "a node";
}

[[gnu::cold, gnu::noinline]] void ReportWrongKind(const char* op, NodeKind expected, NodeKind got) {
  Breach(op, std::string("expected ") + KindName(expected) + ", got " + KindName(got));
}

Node* KindArg(const OxNode* handle, NodeKind kind, const char* op) {
  Node* node = NodeArg(handle, op);
  if (node != nullptr && node->kind != kind) [[unlikely]] {
    ReportWrongKind(op, kind, node->kind);
    return nullptr;
  }
  return node;
}

OxNode* HandleOf(const Node* node) {
  return node != nullptr ? node->handle : nullptr;
}

// ---- DOCUMENT -----------------------------------------------------------------

OxDocument* DocActive() noexcept {
  return Active() != nullptr ? Active()->handle : nullptr;
}

OxNode* DocFirstObject(OxDocument* handle) noexcept {
  Document* doc = DocArg(handle, "DocumentFirstObject");
  return doc != nullptr ? HandleOf(doc->objects.first) : nullptr;
}

OxNode* DocFirstMaterial(OxDocument* handle) noexcept {
  Document* doc = DocArg(handle, "DocumentFirstMaterial");
  return doc != nullptr ? HandleOf(doc->materials.first) : nullptr;
}

OxNode* DocRenderSettings(OxDocument* handle) noexcept {
  Document* doc = DocArg(handle, "DocumentRenderSettings");
  return doc != nullptr ? HandleOf(doc->renderSettings) : nullptr;
}

void DocSelectedObjects(OxDocument* handle, OxNodeArray* out, int32_t mode) noexcept {
  const char* op = "DocumentSelectedObjects";
  Document* doc = DocArg(handle, op);
  NodeArrayBody* array = Resolve(Arrays(), out, op, "node array");
  if (doc == nullptr || array == nullptr)
    return;
  if (mode != 0) {
    Breach(op, "unknown mode " + std::to_string(mode));
    return;
  }
  array->items.clear();
  WalkObjects(doc, [&](Node* node, int) {
    if (node->selected)
      array->items.push_back(node->handle);
  });
}

void DocSelectedMaterials(OxDocument* handle, OxNodeArray* out) noexcept {
  const char* op = "DocumentSelectedMaterials";
  Document* doc = DocArg(handle, op);
  NodeArrayBody* array = Resolve(Arrays(), out, op, "node array");
  if (doc == nullptr || array == nullptr)
    return;
  array->items.clear();
  for (Node* node = doc->materials.first; node != nullptr; node = node->next)
    if (node->selected)
      array->items.push_back(node->handle);
}

void DocSelectObject(OxDocument* handle, OxNode* objectHandle, int32_t mode) noexcept {
  const char* op = "DocumentSelectObject";
  Document* doc = DocArg(handle, op);
  Node* object = KindArg(objectHandle, NodeKind::Object, op);
  if (doc == nullptr || object == nullptr)
    return;
  if (object->doc != doc) {
    Breach(op, "the object is not in the document");
    return;
  }
  if (mode != 0) {
    Breach(op, "unknown mode " + std::to_string(mode));
    return;
  }
  WalkObjects(doc, [](Node* node, int) { node->selected = false; });
  object->selected = true;
  doc->activeObject = object;
}

void DocSelectMaterial(OxDocument* handle, OxNode* materialHandle, int32_t mode) noexcept {
  const char* op = "DocumentSelectMaterial";
  Document* doc = DocArg(handle, op);
  Node* material = KindArg(materialHandle, NodeKind::Material, op);
  if (doc == nullptr || material == nullptr)
    return;
  if (material->doc != doc) {
    Breach(op, "the material is not in the document");
    return;
  }
  if (mode != 0) {
    Breach(op, "unknown mode " + std::to_string(mode));
    return;
  }
  for (Node* node = doc->materials.first; node != nullptr; node = node->next)
    node->selected = false;
  material->selected = true;
  doc->activeMaterial = material;
}

// ---- NODE ---------------------------------------------------------------------

OxNode* NodeFirstChildFn(OxNode* handle) noexcept {
  Node* node = NodeArg(handle, "NodeFirstChild");
  return node != nullptr && node->kind == NodeKind::Object ? HandleOf(node->children.first) : nullptr;
}

OxNode* NodeNextFn(OxNode* handle) noexcept {
  Node* node = NodeArg(handle, "NodeNext");
  return node != nullptr && node->held == Held::List ? HandleOf(node->next) : nullptr;
}

int32_t NodeTypeIdFn(OxNode* handle) noexcept {
  Node* node = NodeArg(handle, "NodeTypeId");
  return node != nullptr ? node->type : 0;
}

OxText* NodeNameFn(OxNode* handle) noexcept {
  Node* node = NodeArg(handle, "NodeName");
  return node != nullptr ? NewText(node->name) : nullptr;
}

OxNode* NodeOwnerFn(OxNode* handle) noexcept {
  Node* node = NodeArg(handle, "NodeOwner");
  if (node == nullptr || node->held == Held::None)
    return nullptr;
  if (node->kind == NodeKind::Shader || node->kind == NodeKind::Tag || node->kind == NodeKind::Videopost)
    return HandleOf(node->parent);
  return nullptr;
}

OxDocument* NodeDocumentFn(OxNode* handle) noexcept {
  Node* node = NodeArg(handle, "NodeDocument");
  return node != nullptr && node->doc != nullptr ? node->doc->handle : nullptr;
}

OxBool NodeDetachFn(OxNode* handle) noexcept {
  Node* node = NodeArg(handle, "NodeDetach");
  if (node == nullptr)
    return 0;
  if (node->kind == NodeKind::Plugin) {
    Breach("NodeDetach", "a plug-in record belongs to the registry");
    return 0;
  }
  if (node->held == Held::None)
    return 0;
  DetachNode(node);
  return 1;
}

void NodeDestroyFn(OxNode* handle) noexcept {
  Node* node = NodeArg(handle, "NodeDestroy");
  if (node == nullptr)
    return;
  if (node->kind == NodeKind::Plugin) {
    Breach("NodeDestroy", "a plug-in record belongs to the registry");
    return;
  }
  if (node->held != Held::None) {
    Breach("NodeDestroy", "the node is still attached (detach it first)");
    return;
  }
  DestroySubtree(node);
}

OxBool NodeSendMessageFn(OxNode* handle, int32_t, void*) noexcept {
  if (NodeArg(handle, "NodeSendMessage") == nullptr)
    return 0;
  ++Count().nodeMessages;
  return 1;
}

// ---- OBJECT -------------------------------------------------------------------

OxNode* const* ObjectTagsOfTypeFn(OxNode* handle, int32_t type, int32_t* count) noexcept {
  const char* op = "ObjectTagsOfType";
  if (count == nullptr) {
    Breach(op, "null count");
    return nullptr;
  }
  *count = 0;
  Node* object = KindArg(handle, NodeKind::Object, op);
  if (object == nullptr)
    return nullptr;
  auto& snapshot = TagSnapshot();
  snapshot.clear();
  for (Node* tag = object->tags.first; tag != nullptr; tag = tag->next)
    if (tag->type == type)
      snapshot.push_back(tag->handle);
  *count = static_cast<int32_t>(snapshot.size());
  return snapshot.empty() ? nullptr : snapshot.data();
}

// ---- MATERIAL -----------------------------------------------------------------

OxChannel* MaterialChannelFn(OxNode* handle, int32_t index) noexcept {
  Node* material = KindArg(handle, NodeKind::Material, "MaterialChannel");
  if (material == nullptr || index < 0 || index > 14 || !material->material->channels[index])
    return nullptr;
  return material->material->channels[index]->handle;
}

OxNode* ChannelShaderFn(OxChannel* handle) noexcept {
  Channel* channel = Resolve(Channels(), handle, "ChannelShader", "channel");
  return channel != nullptr ? HandleOf(channel->shader) : nullptr;
}

// Reports the shaders of the reflectance entries (owned ones and the live
// targets of references) and, after each layer shader, the shaders nested in
// its layers at any depth (owned ones only, so reference cycles cannot loop).
// Nested entries are owned by their layer shader, not by the material; they
// die with it when it is deleted.
void MaterialLayerShadersFn(OxNode* handle, OxNodeArray* out) noexcept {
  const char* op = "MaterialLayerShaders";
  Node* material = KindArg(handle, NodeKind::Material, op);
  NodeArrayBody* array = Resolve(Arrays(), out, op, "node array");
  if (material == nullptr || array == nullptr)
    return;
  for (const Slot& slot : material->material->reflectance) {
    Node* shader = slot.owned != nullptr ? slot.owned : LinkedNode(slot.link, material->doc);
    if (shader == nullptr || shader->kind != NodeKind::Shader)
      continue;
    ForEachInSubtree(shader, [&](Node* node) { array->items.push_back(node->handle); });
  }
}

void MaterialUpdateFn(OxNode* handle, OxBool, OxBool) noexcept {
  if (KindArg(handle, NodeKind::Material, "MaterialUpdate") != nullptr)
    ++Count().materialUpdates;
}

// ---- RENDER -------------------------------------------------------------------

OxNode* RenderFirstVideopost(OxNode* handle) noexcept {
  Node* settings = KindArg(handle, NodeKind::RenderSettings, "RenderSettingsFirstVideopost");
  return settings != nullptr ? HandleOf(settings->children.first) : nullptr;
}

// ---- NODE_ARRAY ---------------------------------------------------------------

OxNodeArray* ArrayCreate() noexcept {
  auto* body = new NodeArrayBody;
  body->handle = Arrays().Add<OxNodeArray>(body);
  return body->handle;
}

int32_t ArrayCount(const OxNodeArray* handle) noexcept {
  NodeArrayBody* array = Resolve(Arrays(), handle, "NodeArrayCount", "node array");
  return array != nullptr ? static_cast<int32_t>(array->items.size()) : 0;
}

OxNode* ArrayAt(const OxNodeArray* handle, int32_t index) noexcept {
  NodeArrayBody* array = Resolve(Arrays(), handle, "NodeArrayAt", "node array");
  if (array == nullptr)
    return nullptr;
  if (index < 0 || size_t(index) >= array->items.size()) {
    Breach("NodeArrayAt", "index " + std::to_string(index) + " outside 0.." +
                              std::to_string(int64_t(array->items.size()) - 1));
    return nullptr;
  }
  return array->items[index];
}

void ArrayClear(OxNodeArray* handle) noexcept {
  if (NodeArrayBody* array = Resolve(Arrays(), handle, "NodeArrayClear", "node array"))
    array->items.clear();
}

void ArrayRelease(OxNodeArray* handle) noexcept {
  if (handle == nullptr)
    return;
  NodeArrayBody* array = Resolve(Arrays(), handle, "NodeArrayFree", "node array");
  if (array == nullptr)
    return;
  Arrays().Remove(handle);
  delete array;
}

// ---- UNDO ---------------------------------------------------------------------

OxBool UndoBeginFn(OxDocument* handle) noexcept {
  Document* doc = DocArg(handle, "UndoBegin");
  if (doc == nullptr)
    return 0;
  if (doc->bracketOpen) {
    Breach("UndoBegin", "an undo bracket is already open on this document");
    return 0;
  }
  doc->bracketOpen = true;
  doc->openStep = std::make_unique<UndoStep>();
  return 1;
}

OxBool UndoRecordFn(OxDocument* docHandle, int32_t kind, OxNode* nodeHandle, void*) noexcept {
  const char* op = "UndoRecord";
  Document* doc = DocArg(docHandle, op);
  Node* node = NodeArg(nodeHandle, op);
  if (doc == nullptr || node == nullptr)
    return 0;
  if (!doc->bracketOpen) {
    Breach(op, "outside an undo bracket");
    return 0;
  }
  if (kind != OX_UNDO_DELETE) {
    Breach(op, "unknown undo kind " + std::to_string(kind));
    return 0;
  }
  if (node->kind == NodeKind::Plugin) {
    Breach(op, "a plug-in record belongs to the registry");
    return 0;
  }
  if (node->doc != doc) {
    Breach(op, node->held == Held::None ? "the node is detached (record before detaching)"
                                        : "the node is not in this document");
    return 0;
  }
  return RecordDeletion(doc, node) ? 1 : 0;
}

OxBool UndoEndFn(OxDocument* handle) noexcept {
  Document* doc = DocArg(handle, "UndoEnd");
  if (doc == nullptr)
    return 0;
  if (!doc->bracketOpen) {
    Breach("UndoEnd", "no undo bracket is open on this document");
    return 0;
  }
  CloseBracket(doc);
  return 1;
}

// ---- REGISTRY -----------------------------------------------------------------

OxNode* RegistryLookup(int32_t id, int32_t typeCode) noexcept {
  return HandleOf(LookupPlugin(id, typeCode));
}

// ---- VALUE and LINK -------------------------------------------------------------

OxLink* NewLink(uint32_t identity) {
  LinkState& store = LinkStore();
  LinkBody* body = store.bodies.Take();
  body->identity = identity;
  body->handle = store.table.Add<OxLink>(body);
  return body->handle;
}

void FreeLink(OxLink* handle) {
  if (LinkBody* body = Links().Get(handle)) {
    Links().Remove(handle);
    LinkBodies().Give(body);
  }
}

void ClearValue(ValueBody* value) {
  FreeLink(value->link);
  value->link = nullptr;
  value->kind = kValueEmpty;
  value->integer = 0;
}

OxValue* ValueCreate() noexcept {
  auto* body = new ValueBody;
  body->handle = Values().Add<OxValue>(body);
  return body->handle;
}

int32_t ValueKindFn(const OxValue* handle) noexcept {
  ValueBody* value = Resolve(Values(), handle, "ValueKind", "value");
  return value != nullptr ? value->kind : 0;
}

OxLink* ValueLinkFn(const OxValue* handle, int32_t kind) noexcept {
  ValueBody* value = Resolve(Values(), handle, "ValueLink", "value");
  if (value == nullptr || kind != OX_VALUE_KIND_LINK || value->kind != OX_VALUE_KIND_LINK)
    return nullptr;
  return value->link;
}

void ValueRelease(OxValue* handle) noexcept {
  if (handle == nullptr)
    return;
  ValueBody* value = Resolve(Values(), handle, "ValueFree", "value");
  if (value == nullptr)
    return;
  ClearValue(value);
  Values().Remove(handle);
  delete value;
}

// A link to nothing is the null link: creating one from no node answers null.
OxLink* LinkCreate(OxNode* handle) noexcept {
  if (handle == nullptr)
    return nullptr;
  Node* node = NodeArg(handle, "LinkNew");
  return node != nullptr ? NewLink(node->identity) : nullptr;
}

OxNode* LinkTargetFn(const OxLink* handle, OxDocument* docHandle, int32_t) noexcept {
  if (handle == nullptr)
    return nullptr;
  LinkBody* link = Resolve(Links(), handle, "LinkTarget", "link");
  if (link == nullptr)
    return nullptr;
  if (docHandle == nullptr)
    return nullptr; // nothing belongs to no document
  Document* doc = DocArg(docHandle, "LinkTarget");
  return doc != nullptr ? HandleOf(LinkedNode(link->identity, doc)) : nullptr;
}

void LinkRelease(OxLink* handle) noexcept {
  if (handle == nullptr)
    return;
  if (Resolve(Links(), handle, "LinkFree", "link") != nullptr)
    FreeLink(handle);
}

// ---- EVENT --------------------------------------------------------------------

void SceneChangedFn(int32_t) noexcept {
  ++Count().sceneChanged;
}

// ---- layer shaders (library) ----------------------------------------------------

OxLayer* LayerFirstFn(OxNode* handle) noexcept {
  Node* shader = KindArg(handle, NodeKind::Shader, "LayerFirst");
  if (shader == nullptr || !shader->layers || shader->layers->empty())
    return nullptr;
  return shader->layers->front()->handle;
}

OxLayer* LayerNextFn(OxLayer* handle) noexcept {
  Layer* layer = Resolve(Layers(), handle, "LayerNext", "layer");
  if (layer == nullptr)
    return nullptr;
  auto& layers = *layer->layerShader->layers;
  auto it = std::find_if(layers.begin(), layers.end(), [&](const auto& l) { return l.get() == layer; });
  return it != layers.end() && it + 1 != layers.end() ? (*(it + 1))->handle : nullptr;
}

int32_t LayerKindFn(OxLayer* handle) noexcept {
  Layer* layer = Resolve(Layers(), handle, "LayerKind", "layer");
  return layer != nullptr ? layer->kind : 0;
}

OxBool LayerParameterFn(OxLayer* handle, int32_t id, OxValue* out) noexcept {
  Layer* layer = Resolve(Layers(), handle, "LayerParameter", "layer");
  ValueBody* value = Resolve(Values(), out, "LayerParameter", "value");
  if (layer == nullptr || value == nullptr)
    return 0;
  if (layer->kind != OX_LAYER_KIND_SHADER || id != OX_LAYER_PARAM_LINK)
    return 0;
  ClearValue(value);
  if (layer->content == LayerContent::Value) {
    value->kind = kValueInteger;
    value->integer = layer->value;
  } else {
    value->kind = OX_VALUE_KIND_LINK;
    value->link = NewLink(layer->slot.link);
  }
  return 1;
}

const OxDocumentArea kDocumentArea = {sizeof(OxDocumentArea), DocActive,         DocFirstObject,
                                      DocFirstMaterial,       DocRenderSettings, DocSelectedObjects,
                                      DocSelectedMaterials,   DocSelectObject,   DocSelectMaterial};
const OxNodeArea kNodeArea = {sizeof(OxNodeArea), NodeFirstChildFn, NodeNextFn,     NodeTypeIdFn,
                              NodeNameFn,         NodeOwnerFn,      NodeDocumentFn, NodeDetachFn,
                              NodeDestroyFn,      NodeSendMessageFn};
const OxObjectArea kObjectArea = {sizeof(OxObjectArea), ObjectTagsOfTypeFn};
const OxMaterialArea kMaterialArea = {sizeof(OxMaterialArea), MaterialChannelFn, ChannelShaderFn,
                                      MaterialLayerShadersFn, MaterialUpdateFn};
const OxRenderArea kRenderArea = {sizeof(OxRenderArea), RenderFirstVideopost};
const OxNodeArrayArea kNodeArrayArea = {
    sizeof(OxNodeArrayArea), ArrayCreate, ArrayCount, ArrayAt, ArrayClear, ArrayRelease};
const OxUndoArea kUndoArea = {sizeof(OxUndoArea), UndoBeginFn, UndoRecordFn, UndoEndFn};
const OxRegistryArea kRegistryArea = {sizeof(OxRegistryArea), RegistryLookup};
const OxValueArea kValueArea = {sizeof(OxValueArea), ValueCreate, ValueKindFn, ValueLinkFn, ValueRelease};
const OxLinkArea kLinkArea = {sizeof(OxLinkArea), LinkCreate, LinkTargetFn, LinkRelease};
const OxEventArea kEventArea = {sizeof(OxEventArea), SceneChangedFn};
const OxLayerShaderLibrary kLayerLibrary = {sizeof(OxLayerShaderLibrary), LayerFirstFn, LayerNextFn,
                                            LayerKindFn, LayerParameterFn};

template <class T> void FreeAll(HandleTable<T>& table, void (*free)(T*)) {
  std::vector<T*> all;
  table.ForEach([&all](T* body) { all.push_back(body); });
  for (T* body : all)
    free(body);
}

} // namespace

void FillSceneAreas(OxHostTables& tables) {
  tables.areas[OX_AREA_DOCUMENT] = &kDocumentArea;
  tables.areas[OX_AREA_NODE] = &kNodeArea;
  tables.areas[OX_AREA_OBJECT] = &kObjectArea;
  tables.areas[OX_AREA_MATERIAL] = &kMaterialArea;
  tables.areas[OX_AREA_RENDER] = &kRenderArea;
  tables.areas[OX_AREA_NODE_ARRAY] = &kNodeArrayArea;
  tables.areas[OX_AREA_UNDO] = &kUndoArea;
  tables.areas[OX_AREA_REGISTRY] = &kRegistryArea;
  tables.areas[OX_AREA_VALUE] = &kValueArea;
  tables.areas[OX_AREA_LINK] = &kLinkArea;
  tables.areas[OX_AREA_EVENT] = &kEventArea;
}

const OxLayerShaderLibrary* LayerShaderLibrary() {
  return &kLayerLibrary;
}

namespace scene {

// Frees what the module created (node arrays, values, links) and the tag
// snapshot; used by ResetScene.
void ResetModuleObjects() {
  FreeAll<NodeArrayBody>(Arrays(), [](NodeArrayBody* body) {
    Arrays().Remove(body->handle);
    delete body;
  });
  FreeAll<ValueBody>(Values(), [](ValueBody* body) {
    body->link = nullptr; // freed with the links below
    Values().Remove(body->handle);
    delete body;
  });
  FreeAll<LinkBody>(Links(), [](LinkBody* body) {
    Links().Remove(body->handle);
    LinkBodies().Give(body);
  });
  TagSnapshot().clear();
}

size_t LiveModuleObjects() {
  return Arrays().live() + Values().live() + Links().live();
}

} // namespace scene
} // namespace standin
