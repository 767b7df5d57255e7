#include "scene/model.h"

#include "core/recycler.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <utility>

namespace standin::scene {
namespace {

std::vector<Node*>& RegistryNodes() {
  static std::vector<Node*> nodes;
  return nodes;
}

std::unordered_map<uint32_t, std::string>& Uids() {
  static std::unordered_map<uint32_t, std::string> uids;
  return uids;
}

// Nodes are recycled: a removal copies each deleted node for undo and frees
// the original, and undo of a million tags does the reverse. The store is
// never destroyed, so nodes freed while the process ends (undo history of
// the last documents) still have somewhere to go.
Recycler<Node>& NodeStore() {
  static Recycler<Node>& store = *new Recycler<Node>;
  return store;
}

Node* BlankNode() {
  return NodeStore().Take();
}

// A freed node goes back blank, with what it owned (material data, layers,
// a long name's storage) released now.
void FreeNode(Node* node) {
  std::destroy_at(node);
  std::construct_at(node);
  NodeStore().Give(node);
}

void RetireHandles(Node* node) {
  Nodes().Remove(node->handle);
  node->handle = nullptr;
  if (node->material)
    for (auto& channel : node->material->channels)
      if (channel) {
        Channels().Remove(channel->handle);
        channel->handle = nullptr;
      }
  if (node->layers)
    for (auto& layer : *node->layers) {
      Layers().Remove(layer->handle);
      layer->handle = nullptr;
    }
}

} // namespace

Document::Document() = default;
Document::~Document() = default;

uint32_t NewIdentity(Node* node) {
  auto& table = IdentityTable();
  table.push_back(node);
  return static_cast<uint32_t>(table.size() - 1);
}

Node* NewNode(NodeKind kind, std::string name, int32_t type) {
  Node* node = BlankNode();
  node->kind = kind;
  node->name = std::move(name);
  node->type = type;
  node->identity = NewIdentity(node);
  node->handle = Nodes().Add<OxNode>(node);
  if (kind == NodeKind::Material)
    node->material = std::make_unique<MaterialData>();
  if (kind == NodeKind::Shader && type == OX_TYPE_LAYER_SHADER)
    node->layers = std::make_unique<std::vector<std::unique_ptr<Layer>>>();
  return node;
}

void RegisterSubtree(Node* root) {
  ForEachInSubtree(root, [](Node* node) {
    node->handle = Nodes().Add<OxNode>(node);
    SetIdentity(node->identity, node);
    if (node->material)
      for (auto& channel : node->material->channels)
        if (channel)
          channel->handle = Channels().Add<OxChannel>(channel.get());
    if (node->layers)
      for (auto& layer : *node->layers)
        layer->handle = Layers().Add<OxLayer>(layer.get());
  });
}

void ListAppend(NodeList& list, Node* node) {
  node->prev = list.last;
  node->next = nullptr;
  if (list.last != nullptr)
    list.last->next = node;
  else
    list.first = node;
  list.last = node;
}

void ListInsertAfter(NodeList& list, Node* prev, Node* node) {
  Node* next = prev != nullptr ? prev->next : list.first;
  node->prev = prev;
  node->next = next;
  if (prev != nullptr)
    prev->next = node;
  else
    list.first = node;
  if (next != nullptr)
    next->prev = node;
  else
    list.last = node;
}

void ListRemove(NodeList& list, Node* node) {
  if (node->prev != nullptr)
    node->prev->next = node->next;
  else
    list.first = node->next;
  if (node->next != nullptr)
    node->next->prev = node->prev;
  else
    list.last = node->prev;
  node->prev = node->next = nullptr;
}

NodeList* ListOf(Node* node, Node* parent, Document* doc) {
  switch (node->kind) {
  case NodeKind::Object: return parent != nullptr ? &parent->children : (doc ? &doc->objects : nullptr);
  case NodeKind::Tag: return parent != nullptr ? &parent->tags : nullptr;
  case NodeKind::Material: return doc ? &doc->materials : nullptr;
  case NodeKind::Videopost: return parent != nullptr ? &parent->children : nullptr;
  default: return nullptr;
  }
}

Node* ChannelShaderOf(const Node* material, int index) {
  if (!material->material || index < 0 || index > 14 || !material->material->channels[index])
    return nullptr;
  return material->material->channels[index]->shader;
}

Channel* EnsureChannel(Node* material, int index) {
  auto& channel = material->material->channels[index];
  if (!channel) {
    channel = std::make_unique<Channel>();
    channel->material = material;
    channel->index = index;
    channel->handle = Channels().Add<OxChannel>(channel.get());
  }
  return channel.get();
}

std::vector<std::unique_ptr<Layer>>& LayersOf(Node* layerShader) {
  if (!layerShader->layers)
    layerShader->layers = std::make_unique<std::vector<std::unique_ptr<Layer>>>();
  return *layerShader->layers;
}

void SetDocument(Node* root, Document* doc) {
  ForEachInSubtree(root, [doc](Node* node) { node->doc = doc; });
}

void DetachNode(Node* node) {
  Document* doc = node->doc;
  switch (node->held) {
  case Held::List: ListRemove(*ListOf(node, node->parent, doc), node); break;
  case Held::Channel: node->parent->material->channels[node->slot]->shader = nullptr; break;
  case Held::Reflectance: node->parent->material->reflectance[node->slot].owned = nullptr; break;
  case Held::Layer: (*node->parent->layers)[node->slot]->slot.owned = nullptr; break;
  case Held::Document:
    if (doc != nullptr)
      doc->renderSettings = nullptr;
    break;
  case Held::None: return;
  }
  node->held = Held::None;
  node->parent = nullptr;
  ForEachInSubtree(node, [doc](Node* n) {
    n->doc = nullptr;
    if (doc != nullptr && doc->activeObject == n)
      doc->activeObject = nullptr;
    if (doc != nullptr && doc->activeMaterial == n)
      doc->activeMaterial = nullptr;
  });
}

// Frees every node of a collected subtree. Owned children are freed here,
// not through their owners, so that a deep chain never unwinds recursively.
static void FreeCollected(const std::vector<Node*>& all) {
  for (Node* node : all) {
    node->children = {};
    node->tags = {};
    if (node->material) {
      for (auto& channel : node->material->channels)
        if (channel)
          channel->shader = nullptr;
      for (auto& slot : node->material->reflectance)
        slot.owned = nullptr;
    }
    if (node->layers)
      for (auto& layer : *node->layers)
        layer->slot.owned = nullptr;
    FreeNode(node);
  }
}

void DestroySubtree(Node* root) {
  if (!OwnsNodes(root)) {
    RetireHandles(root);
    if (ByIdentity(root->identity) == root)
      SetIdentity(root->identity, nullptr);
    FreeNode(root);
    return;
  }
  std::vector<Node*> all;
  ForEachInSubtree(root, [&all](Node* node) { all.push_back(node); });
  for (Node* node : all) {
    RetireHandles(node);
    if (ByIdentity(node->identity) == node)
      SetIdentity(node->identity, nullptr);
  }
  FreeCollected(all);
}

Node* CloneSubtree(const Node* root) {
  auto copyOne = [](const Node* from) {
    Node* to = BlankNode();
    to->kind = from->kind;
    to->selected = from->selected;
    to->type = from->type;
    to->identity = from->identity;
    to->name = from->name;
    to->pluginId = from->pluginId;
    to->hasUid = from->hasUid;
    return to;
  };
  Node* top = copyOne(root);
  if (!OwnsNodes(root) && !root->layers)
    return top;
  std::vector<std::pair<const Node*, Node*>> stack{{root, top}};
  while (!stack.empty()) {
    auto [from, to] = stack.back();
    stack.pop_back();
    for (const Node* tag = from->tags.first; tag != nullptr; tag = tag->next) {
      Node* copy = copyOne(tag);
      copy->held = Held::List;
      copy->parent = to;
      ListAppend(to->tags, copy);
    }
    for (const Node* child = from->children.first; child != nullptr; child = child->next) {
      Node* copy = copyOne(child);
      copy->held = Held::List;
      copy->parent = to;
      ListAppend(to->children, copy);
      stack.push_back({child, copy});
    }
    auto hold = [&](const Node* shader, Held held, int32_t slot) {
      Node* copy = copyOne(shader);
      copy->held = held;
      copy->parent = to;
      copy->slot = slot;
      stack.push_back({shader, copy});
      return copy;
    };
    if (from->material) {
      to->material = std::make_unique<MaterialData>();
      for (int i = 0; i < 15; ++i)
        if (const auto& channel = from->material->channels[i]) {
          auto copy = std::make_unique<Channel>();
          copy->material = to;
          copy->index = i;
          if (channel->shader != nullptr)
            copy->shader = hold(channel->shader, Held::Channel, i);
          to->material->channels[i] = std::move(copy);
        }
      const auto& entries = from->material->reflectance;
      to->material->reflectance.resize(entries.size());
      for (size_t i = 0; i < entries.size(); ++i) {
        to->material->reflectance[i].link = entries[i].link;
        if (entries[i].owned != nullptr)
          to->material->reflectance[i].owned = hold(entries[i].owned, Held::Reflectance, int32_t(i));
      }
    }
    if (from->layers) {
      to->layers = std::make_unique<std::vector<std::unique_ptr<Layer>>>();
      for (size_t i = 0; i < from->layers->size(); ++i) {
        const Layer& layer = *(*from->layers)[i];
        auto copy = std::make_unique<Layer>();
        copy->layerShader = to;
        copy->kind = layer.kind;
        copy->content = layer.content;
        copy->value = layer.value;
        copy->slot.link = layer.slot.link;
        if (layer.slot.owned != nullptr)
          copy->slot.owned = hold(layer.slot.owned, Held::Layer, int32_t(i));
        to->layers->push_back(std::move(copy));
      }
    }
  }
  return top;
}

void FreeSnapshot(Node* root) {
  if (!OwnsNodes(root)) {
    FreeNode(root);
    return;
  }
  std::vector<Node*> all;
  ForEachInSubtree(root, [&all](Node* node) { all.push_back(node); });
  FreeCollected(all);
}

Node* LinkedNode(uint32_t identity, const Document* doc) {
  Node* node = ByIdentity(identity);
  return node != nullptr && doc != nullptr && node->doc == doc ? node : nullptr;
}

std::vector<std::unique_ptr<Document>>& DocumentList() {
  static std::vector<std::unique_ptr<Document>> list;
  return list;
}

Document*& Active() {
  static Document* active = nullptr;
  return active;
}

Document* NewEmptyDocument() {
  auto* doc = new Document;
  doc->handle = Documents().Add<OxDocument>(doc);
  return doc;
}

void DestroyDocument(std::unique_ptr<Document> doc) {
  if (!doc)
    return;
  Documents().Remove(doc->handle);
  auto destroyList = [](NodeList& list) {
    while (Node* node = list.first) {
      DetachNode(node);
      DestroySubtree(node);
    }
  };
  destroyList(doc->objects);
  destroyList(doc->materials);
  if (Node* settings = doc->renderSettings) {
    DetachNode(settings);
    DestroySubtree(settings);
  }
  doc->openStep.reset();
  doc->undo.clear();
  doc->redo.clear();
}

void ReplaceRegistry(const std::vector<PluginInfo>& plugins) {
  auto& nodes = RegistryNodes();
  for (Node* node : nodes)
    DestroySubtree(node);
  nodes.clear();
  for (const PluginInfo& info : plugins) {
    Node* node = NewNode(NodeKind::Plugin, info.name, info.type);
    node->pluginId = info.id;
    nodes.push_back(node);
  }
}

const std::vector<Node*>& Registry() {
  return RegistryNodes();
}

Node* LookupPlugin(int32_t id, int32_t typeCode) {
  // The registry is small; a linear look-up keeps registration order.
  for (Node* node : RegistryNodes())
    if (node->pluginId == id && (typeCode == OX_PLUGINTYPE_ANY || node->type == typeCode))
      return node;
  return nullptr;
}

void SetUid(Node* node, std::string uid) {
  node->hasUid = true;
  Uids()[node->identity] = std::move(uid);
}

const std::string* UidOf(uint32_t identity) {
  auto it = Uids().find(identity);
  return it == Uids().end() ? nullptr : &it->second;
}

void DestroyAllDocuments() {
  auto& docs = DocumentList();
  while (!docs.empty()) {
    std::unique_ptr<Document> doc = std::move(docs.back());
    docs.pop_back();
    DestroyDocument(std::move(doc));
  }
  Active() = nullptr;
}

void ResetModel() {
  DestroyAllDocuments();
  ReplaceRegistry({});
  ResetModuleObjects();
  Uids().clear();
  IdentityTable().assign(1, nullptr);
  Count() = {};
}

Counters& Count() {
  static Counters counters;
  return counters;
}

} // namespace standin::scene
