// Documents, selection, printing, census, the builder and inspection.
// Undo lives in undo.cpp, the areas in areas.cpp, scene files in
// scene_file.cpp.
#include "scene/world.h"

#include "scene/model.h"

#include <map>
#include <utility>

namespace standin {

using namespace scene;

namespace {

Document* DocOf(OxDocument* handle) {
  return handle != nullptr ? Documents().Get(handle) : Active();
}

Node* LiveNode(const OxNode* handle) {
  return Nodes().Get(handle);
}

Node* LiveKind(const OxNode* handle, NodeKind kind) {
  Node* node = Nodes().Get(handle);
  return node != nullptr && node->kind == kind ? node : nullptr;
}

// Two spaces a level up to 40 levels; deeper lines stay at 80 columns and
// carry their level, so a deep chain prints in linear space.
constexpr int kMaxIndent = 40;
std::string Indent(int depth) {
  if (depth <= kMaxIndent)
    return std::string(size_t(2 * depth), ' ');
  return std::string(size_t(2 * kMaxIndent), ' ') + "(" + std::to_string(depth) + ") ";
}

std::string Label(const Node* node) {
  return node->name + " [" + std::to_string(node->type) + "]";
}

Node* AttachNew(NodeKind kind, std::string_view name, int32_t type, Held held, Node* parent, Document* doc) {
  Node* node = NewNode(kind, std::string(name), type);
  node->held = held;
  node->parent = parent;
  node->doc = doc;
  return node;
}

// Shaders and their layers, nested at any depth, without recursion.
void ShaderLines(const Node* shader, int depth, std::string prefix, const Document* doc,
                 std::vector<std::string>& lines) {
  struct Item {
    const Node* shader;
    int depth;
    std::string text; // the line, or the prefix before the shader's label
  };
  std::vector<Item> stack{{shader, depth, std::move(prefix)}};
  while (!stack.empty()) {
    Item item = std::move(stack.back());
    stack.pop_back();
    if (item.shader == nullptr) {
      lines.push_back(Indent(item.depth) + item.text);
      continue;
    }
    lines.push_back(Indent(item.depth) + item.text + Label(item.shader));
    if (!item.shader->layers)
      continue;
    const auto& layers = *item.shader->layers;
    for (size_t i = layers.size(); i-- > 0;) {
      const Layer& layer = *layers[i];
      std::string text = "layer " + std::to_string(i) + " (kind " + std::to_string(layer.kind) + ")";
      switch (layer.content) {
      case LayerContent::Nothing: break;
      case LayerContent::Value: text += ": value " + std::to_string(layer.value); break;
      case LayerContent::Link:
        if (layer.slot.owned != nullptr) {
          stack.push_back({layer.slot.owned, item.depth + 1, text + ": "});
          continue;
        }
        if (const Node* target = LinkedNode(layer.slot.link, doc))
          text += ": link to " + Label(target);
        else
          text += layer.slot.link == 0 ? ": empty link" : ": link to nothing";
        break;
      }
      stack.push_back({nullptr, item.depth + 1, std::move(text)});
    }
  }
}

void DeselectObjects(Document* doc) {
  WalkObjects(doc, [](Node* node, int) { node->selected = false; });
  doc->activeObject = nullptr;
}

void DeselectMaterials(Document* doc) {
  for (Node* node = doc->materials.first; node != nullptr; node = node->next)
    node->selected = false;
  doc->activeMaterial = nullptr;
}

std::string PathOf(const Node* object) {
  std::vector<const Node*> chain;
  for (const Node* node = object; node != nullptr; node = node->parent)
    chain.push_back(node);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!path.empty())
      path += '/';
    path += (*it)->name;
  }
  return path;
}

} // namespace

// ---- lifetime -----------------------------------------------------------------

void ResetScene() {
  ResetModel();
}

// ---- documents ------------------------------------------------------------------

int DocumentCount() {
  return static_cast<int>(DocumentList().size());
}

OxDocument* DocumentAt(int index) {
  return index >= 0 && index < DocumentCount() ? DocumentList()[size_t(index)]->handle : nullptr;
}

int DocumentIndex(OxDocument* handle) {
  const Document* doc = handle != nullptr ? Documents().Get(handle) : nullptr;
  for (int i = 0; doc != nullptr && i < DocumentCount(); ++i)
    if (DocumentList()[size_t(i)].get() == doc)
      return i;
  return -1;
}

OxDocument* ActiveDocument() {
  return Active() != nullptr ? Active()->handle : nullptr;
}

int ActiveDocumentIndex() {
  return DocumentIndex(ActiveDocument());
}

int NewDocument() {
  std::unique_ptr<Document> doc(NewEmptyDocument());
  Node* settings =
      AttachNew(NodeKind::RenderSettings, "Render Settings", 0, Held::Document, nullptr, doc.get());
  doc->renderSettings = settings;
  DocumentList().push_back(std::move(doc));
  Active() = DocumentList().back().get();
  return DocumentCount() - 1;
}

bool ActivateDocument(int index) {
  if (index < 0 || index >= DocumentCount())
    return false;
  Active() = DocumentList()[size_t(index)].get();
  return true;
}

void CloseAllDocuments() {
  DestroyAllDocuments();
}

// ---- printing -------------------------------------------------------------------

// `show scene`: the objects as a tree, two spaces a level (beyond 40 levels:
// 80 spaces and `(LEVEL) `), `name [type]`,
// each object's tags one level deeper as `#name [type]`; then each material
// as `material name [type]` with its channels one level deeper
// (`channel N: name [type]` or `channel N: no shader`), reflectance entries
// under channel 3 (`reflectance N: ...`), the layers of layer shaders one
// level below their shader (`layer N (kind K)` with `: name [type]`,
// `: link to name [type]`, `: link to nothing`, `: empty link` or
// `: value V`); then `videopost name [type]` for each videopost, or
// `no render settings`. Selected objects and materials end in ` (selected)`.
std::vector<std::string> SceneLines() {
  std::vector<std::string> lines;
  const Document* doc = Active();
  if (doc == nullptr) {
    lines.push_back("no document");
    return lines;
  }
  WalkObjects(doc, [&](const Node* object, int depth) {
    lines.push_back(Indent(depth) + Label(object) + (object->selected ? " (selected)" : ""));
    for (const Node* tag = object->tags.first; tag != nullptr; tag = tag->next)
      lines.push_back(Indent(depth + 1) + "#" + Label(tag));
  });
  for (const Node* material = doc->materials.first; material != nullptr; material = material->next) {
    lines.push_back("material " + Label(material) + (material->selected ? " (selected)" : ""));
    const MaterialData& data = *material->material;
    for (int i = 0; i < 15; ++i) {
      const Channel* channel = data.channels[i].get();
      if (channel == nullptr)
        continue;
      const std::string prefix = "channel " + std::to_string(i) + ": ";
      if (channel->shader != nullptr)
        ShaderLines(channel->shader, 1, prefix, doc, lines);
      else
        lines.push_back(Indent(1) + prefix + "no shader");
      if (i != 3)
        continue;
      for (size_t e = 0; e < data.reflectance.size(); ++e) {
        const Slot& slot = data.reflectance[e];
        const std::string entry = "reflectance " + std::to_string(e) + ": ";
        if (slot.owned != nullptr)
          ShaderLines(slot.owned, 2, entry, doc, lines);
        else if (const Node* target = LinkedNode(slot.link, doc))
          lines.push_back(Indent(2) + entry + "link to " + Label(target));
        else
          lines.push_back(Indent(2) + entry + (slot.link == 0 ? "empty" : "link to nothing"));
      }
    }
  }
  if (doc->renderSettings == nullptr)
    lines.push_back("no render settings");
  else
    for (const Node* vp = doc->renderSettings->children.first; vp != nullptr; vp = vp->next)
      lines.push_back("videopost " + Label(vp));
  return lines;
}

// `show selection`: `active object: PATH|none`, `active material: NAME|none`,
// then `selected objects: PATH, PATH...` and `selected materials: NAME, ...`
// (`none` when empty), in document order.
std::vector<std::string> SelectionLines() {
  const Document* doc = Active();
  if (doc == nullptr)
    return {"no document"};
  std::vector<std::string> lines;
  lines.push_back("active object: " + (doc->activeObject ? PathOf(doc->activeObject) : std::string("none")));
  lines.push_back("active material: " +
                  (doc->activeMaterial ? doc->activeMaterial->name : std::string("none")));
  std::string objects;
  WalkObjects(doc, [&](const Node* node, int) {
    if (node->selected)
      objects += (objects.empty() ? "" : ", ") + PathOf(node);
  });
  lines.push_back("selected objects: " + (objects.empty() ? std::string("none") : objects));
  std::string materials;
  for (const Node* node = doc->materials.first; node != nullptr; node = node->next)
    if (node->selected)
      materials += (materials.empty() ? "" : ", ") + node->name;
  lines.push_back("selected materials: " + (materials.empty() ? std::string("none") : materials));
  return lines;
}

// ---- selection ------------------------------------------------------------------

bool SelectObjectPath(std::string_view path, std::string& reason) {
  Document* doc = Active();
  if (doc == nullptr) {
    reason = "no document";
    return false;
  }
  Node* found = nullptr;
  NodeList* level = &doc->objects;
  size_t start = 0;
  while (true) {
    const size_t slash = path.find('/', start);
    const std::string_view name =
        path.substr(start, slash == std::string_view::npos ? path.npos : slash - start);
    found = nullptr;
    for (Node* node = level->first; node != nullptr; node = node->next)
      if (node->name == name) {
        found = node;
        break;
      }
    if (found == nullptr) {
      reason = "no object \"" +
               std::string(path.substr(0, slash == std::string_view::npos ? path.size() : slash)) + "\"";
      return false;
    }
    if (slash == std::string_view::npos)
      break;
    level = &found->children;
    start = slash + 1;
  }
  DeselectObjects(doc);
  found->selected = true;
  doc->activeObject = found;
  return true;
}

bool SelectMaterial(std::string_view name, std::string& reason) {
  Document* doc = Active();
  if (doc == nullptr) {
    reason = "no document";
    return false;
  }
  for (Node* node = doc->materials.first; node != nullptr; node = node->next)
    if (node->name == name) {
      DeselectMaterials(doc);
      node->selected = true;
      doc->activeMaterial = node;
      return true;
    }
  reason = "no material \"" + std::string(name) + "\"";
  return false;
}

void DeselectAll() {
  if (Document* doc = Active()) {
    DeselectObjects(doc);
    DeselectMaterials(doc);
  }
}

// ---- counters -------------------------------------------------------------------

size_t SceneChangedCount() {
  return Count().sceneChanged;
}
size_t MaterialUpdateCount() {
  return Count().materialUpdates;
}
size_t NodeMessageCount() {
  return Count().nodeMessages;
}

// ---- census ---------------------------------------------------------------------

const char* CensusKindName(CensusKind kind) {
  switch (kind) {
  case CensusKind::Object: return "object";
  case CensusKind::Tag: return "tag";
  case CensusKind::Shader: return "shader";
  case CensusKind::Videopost: return "videopost";
  }
  return "";
}

std::vector<CensusEntry> Census(OxDocument* handle) {
  const Document* doc = DocOf(handle);
  std::vector<CensusEntry> entries;
  if (doc == nullptr)
    return entries;
  std::map<std::pair<CensusKind, int32_t>, size_t> counts;
  WalkObjects(doc, [&](const Node* object, int) {
    ++counts[{CensusKind::Object, object->type}];
    for (const Node* tag = object->tags.first; tag != nullptr; tag = tag->next)
      ++counts[{CensusKind::Tag, tag->type}];
  });
  for (Node* material = doc->materials.first; material != nullptr; material = material->next)
    ForEachInSubtree(material, [&](const Node* node) {
      if (node->kind == NodeKind::Shader)
        ++counts[{CensusKind::Shader, node->type}];
    });
  if (doc->renderSettings != nullptr)
    for (const Node* vp = doc->renderSettings->children.first; vp != nullptr; vp = vp->next)
      ++counts[{CensusKind::Videopost, vp->type}];
  for (const auto& [key, count] : counts) {
    static constexpr int32_t kCodes[] = {OX_PLUGINTYPE_OBJECT, OX_PLUGINTYPE_TAG, OX_PLUGINTYPE_SHADER,
                                         OX_PLUGINTYPE_VIDEOPOST};
    CensusEntry entry;
    entry.kind = key.first;
    entry.typeId = key.second;
    entry.count = count;
    entry.known = LookupPlugin(key.second, kCodes[static_cast<int>(key.first)]) != nullptr;
    entries.push_back(entry);
  }
  return entries;
}

// ---- registry -------------------------------------------------------------------

void RegisterPlugin(int32_t id, int32_t typeCode, std::string_view name) {
  std::vector<PluginInfo> plugins;
  for (const Node* node : Registry())
    plugins.push_back({node->pluginId, node->type, node->name});
  plugins.push_back({id, typeCode, std::string(name)});
  ReplaceRegistry(plugins);
}

// ---- builder --------------------------------------------------------------------

OxNode* AddObject(OxDocument* handle, OxNode* parentHandle, std::string_view name, int32_t type) {
  Document* doc = handle != nullptr ? Documents().Get(handle) : nullptr;
  Node* parent = parentHandle != nullptr ? LiveKind(parentHandle, NodeKind::Object) : nullptr;
  if (doc == nullptr || (parentHandle != nullptr && (parent == nullptr || parent->doc != doc)))
    return nullptr;
  Node* node = AttachNew(NodeKind::Object, name, type, Held::List, parent, doc);
  ListAppend(parent != nullptr ? parent->children : doc->objects, node);
  return node->handle;
}

OxNode* AddTag(OxNode* objectHandle, std::string_view name, int32_t type) {
  Node* object = LiveKind(objectHandle, NodeKind::Object);
  if (object == nullptr)
    return nullptr;
  Node* tag = AttachNew(NodeKind::Tag, name, type, Held::List, object, object->doc);
  ListAppend(object->tags, tag);
  return tag->handle;
}

OxNode* AddMaterial(OxDocument* handle, std::string_view name, int32_t type) {
  Document* doc = handle != nullptr ? Documents().Get(handle) : nullptr;
  if (doc == nullptr)
    return nullptr;
  Node* material = AttachNew(NodeKind::Material, name, type, Held::List, nullptr, doc);
  ListAppend(doc->materials, material);
  return material->handle;
}

OxNode* SetChannelShader(OxNode* materialHandle, int32_t index, std::string_view name, int32_t type) {
  Node* material = LiveKind(materialHandle, NodeKind::Material);
  if (material == nullptr || index < 0 || index > 14)
    return nullptr;
  Channel* channel = EnsureChannel(material, index);
  if (channel->shader != nullptr || (name.empty() && type == 0))
    return nullptr;
  channel->shader = AttachNew(NodeKind::Shader, name, type, Held::Channel, material, material->doc);
  channel->shader->slot = index;
  return channel->shader->handle;
}

OxNode* AddReflectanceShader(OxNode* materialHandle, std::string_view name, int32_t type) {
  Node* material = LiveKind(materialHandle, NodeKind::Material);
  if (material == nullptr)
    return nullptr;
  EnsureChannel(material, 3);
  auto& entries = material->material->reflectance;
  Node* shader = AttachNew(NodeKind::Shader, name, type, Held::Reflectance, material, material->doc);
  shader->slot = static_cast<int32_t>(entries.size());
  entries.push_back({shader, shader->identity});
  return shader->handle;
}

bool AddReflectanceRef(OxNode* materialHandle, OxNode* shaderHandle) {
  Node* material = LiveKind(materialHandle, NodeKind::Material);
  Node* shader = LiveKind(shaderHandle, NodeKind::Shader);
  if (material == nullptr || shader == nullptr)
    return false;
  EnsureChannel(material, 3);
  material->material->reflectance.push_back({nullptr, shader->identity});
  return true;
}

namespace {

Layer* NewLayer(OxNode* layerShaderHandle, int32_t kind) {
  Node* shader = LiveKind(layerShaderHandle, NodeKind::Shader);
  if (shader == nullptr || shader->type != OX_TYPE_LAYER_SHADER)
    return nullptr;
  auto layer = std::make_unique<Layer>();
  layer->layerShader = shader;
  layer->kind = kind;
  layer->handle = Layers().Add<OxLayer>(layer.get());
  LayersOf(shader).push_back(std::move(layer));
  return shader->layers->back().get();
}

} // namespace

OxNode* AddLayerShader(OxNode* layerShader, std::string_view name, int32_t type) {
  Layer* layer = NewLayer(layerShader, OX_LAYER_KIND_SHADER);
  if (layer == nullptr)
    return nullptr;
  Node* owner = layer->layerShader;
  Node* shader = AttachNew(NodeKind::Shader, name, type, Held::Layer, owner, owner->doc);
  shader->slot = static_cast<int32_t>(owner->layers->size() - 1);
  layer->content = LayerContent::Link;
  layer->slot = {shader, shader->identity};
  return shader->handle;
}

bool AddLayerLink(OxNode* layerShader, OxNode* shaderHandle) {
  Node* shader = LiveKind(shaderHandle, NodeKind::Shader);
  if (shader == nullptr)
    return false;
  Layer* layer = NewLayer(layerShader, OX_LAYER_KIND_SHADER);
  if (layer == nullptr)
    return false;
  layer->content = LayerContent::Link;
  layer->slot.link = shader->identity;
  return true;
}

bool AddLayerEmpty(OxNode* layerShader) {
  Layer* layer = NewLayer(layerShader, OX_LAYER_KIND_SHADER);
  if (layer != nullptr)
    layer->content = LayerContent::Link;
  return layer != nullptr;
}

bool AddLayerValue(OxNode* layerShader, int32_t value) {
  Layer* layer = NewLayer(layerShader, OX_LAYER_KIND_SHADER);
  if (layer == nullptr)
    return false;
  layer->content = LayerContent::Value;
  layer->value = value;
  return true;
}

bool AddLayerOther(OxNode* layerShader, int32_t kind) {
  return NewLayer(layerShader, kind) != nullptr;
}

OxNode* AddVideopost(OxDocument* handle, std::string_view name, int32_t type) {
  Document* doc = handle != nullptr ? Documents().Get(handle) : nullptr;
  if (doc == nullptr)
    return nullptr;
  if (doc->renderSettings == nullptr)
    doc->renderSettings =
        AttachNew(NodeKind::RenderSettings, "Render Settings", 0, Held::Document, nullptr, doc);
  Node* settings = doc->renderSettings;
  Node* vp = AttachNew(NodeKind::Videopost, name, type, Held::List, settings, doc);
  ListAppend(settings->children, vp);
  return vp->handle;
}

void RemoveRenderSettings(OxDocument* handle) {
  Document* doc = handle != nullptr ? Documents().Get(handle) : nullptr;
  if (doc == nullptr || doc->renderSettings == nullptr)
    return;
  Node* settings = doc->renderSettings;
  DetachNode(settings);
  DestroySubtree(settings);
}

bool SetSelected(OxNode* handle, bool selected) {
  Node* node = LiveNode(handle);
  if (node == nullptr || node->doc == nullptr ||
      (node->kind != NodeKind::Object && node->kind != NodeKind::Material))
    return false;
  node->selected = selected;
  Node*& active = node->kind == NodeKind::Object ? node->doc->activeObject : node->doc->activeMaterial;
  if (selected)
    active = node;
  else if (active == node)
    active = nullptr;
  return true;
}

// ---- inspection -----------------------------------------------------------------

bool IsLiveNode(const OxNode* node) {
  return LiveNode(node) != nullptr;
}

bool IsLiveDocument(const OxDocument* doc) {
  return doc != nullptr && Documents().Get(doc) != nullptr;
}

std::string NodeNameOf(const OxNode* handle) {
  const Node* node = LiveNode(handle);
  return node != nullptr ? node->name : std::string();
}

int32_t NodeTypeOf(const OxNode* handle) {
  const Node* node = LiveNode(handle);
  return node != nullptr ? node->type : 0;
}

OxDocument* NodeDocumentOf(const OxNode* handle) {
  const Node* node = LiveNode(handle);
  return node != nullptr && node->doc != nullptr ? node->doc->handle : nullptr;
}

std::string ObjectPathOf(const OxNode* handle) {
  const Node* node = LiveKind(handle, NodeKind::Object);
  return node != nullptr && node->doc != nullptr ? PathOf(node) : std::string();
}

size_t LiveNodeCount() {
  return Nodes().live();
}

BareWalkCounts BareWalk(OxDocument* handle, int32_t tagType) {
  BareWalkCounts counts;
  const Document* doc = DocOf(handle);
  if (doc == nullptr)
    return counts;
  WalkObjects(doc, [&](const Node* object, int) {
    ++counts.objects;
    for (const Node* tag = object->tags.first; tag != nullptr; tag = tag->next) {
      ++counts.tags;
      counts.tagsOfType += tag->type == tagType ? 1 : 0;
    }
  });
  return counts;
}

void ForEachObject(OxDocument* handle, const std::function<void(OxNode* object, int depth)>& visit) {
  const Document* doc = DocOf(handle);
  if (doc != nullptr)
    WalkObjects(doc, [&](Node* object, int depth) { visit(object->handle, depth); });
}

} // namespace standin
