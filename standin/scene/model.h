// The scene's inner model, shared by the scene's own sources only (areas,
// undo, scene files, printing). Nothing here is seen by the module: it gets
// handles from the tables below.
//
// Ownership is a tree: a document holds its top-level objects, materials and
// render settings; an object holds its children and tags; a material holds the
// shaders of its channels and the shaders owned by its reflectance entries; a
// layer shader holds the shaders owned by its layers; render settings hold
// their videoposts. Links (reflectance references, layer links, the module's
// links) are weak: they name a node by its identity, a number that survives
// undo (a restored node gets a new handle but keeps its identity), so links
// revive when undo brings their node back.
#pragma once

#include "core/handle_table.h"
#include "host/ox_abi.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace standin::scene {

enum class NodeKind : uint8_t { Object, Tag, Material, Shader, Videopost, RenderSettings, Plugin };

// Where an attached node sits.
enum class Held : uint8_t {
  None,        // detached (or a plug-in record)
  List,        // objects, tags, materials, videoposts
  Channel,     // a material channel's shader (parent = material, slot = channel index)
  Reflectance, // owned by a reflectance entry (parent = material, slot = entry index)
  Layer,       // owned by a layer (parent = layer shader, slot = layer index)
  Document,    // render settings
};

struct Node;
struct Document;

struct NodeList {
  Node* first = nullptr;
  Node* last = nullptr;
};

// A reflectance entry or the link of a kind-2 layer: an owned shader, a weak
// link to a shader held elsewhere, or nothing. While `owned` is there, `link`
// is its identity; once the owned shader is deleted the link stays and
// resolves to nothing until undo brings the shader back.
struct Slot {
  Node* owned = nullptr;
  uint32_t link = 0; // identity, 0: empty
};

struct Channel {
  Node* material = nullptr;
  int32_t index = 0;
  Node* shader = nullptr;
  OxChannel* handle = nullptr;
};

enum class LayerContent : uint8_t { Nothing, Link, Value };

struct Layer {
  Node* layerShader = nullptr;
  int32_t kind = 0;
  LayerContent content = LayerContent::Nothing;
  Slot slot;
  int32_t value = 0;
  OxLayer* handle = nullptr;
};

struct MaterialData {
  std::array<std::unique_ptr<Channel>, 15> channels;
  std::vector<Slot> reflectance;
};

struct Node {
  NodeKind kind = NodeKind::Object;
  Held held = Held::None;
  bool selected = false;
  bool hasUid = false; // a uid is kept for it (UidOf)
  int32_t type = 0;    // plug-in records: their type code
  uint32_t identity = 0;
  int32_t slot = 0; // Held::Channel / Reflectance / Layer: the index there
  OxNode* handle = nullptr;
  std::string name;
  Document* doc = nullptr; // set while the node lies in a document
  // Object: parent object (null at top level); tag: its object; videopost:
  // its render settings; held shader: its owner (material or layer shader).
  Node* parent = nullptr;
  Node* prev = nullptr;
  Node* next = nullptr;
  NodeList children;                      // objects: child objects; render settings: videoposts
  NodeList tags;                          // objects
  std::unique_ptr<MaterialData> material; // materials
  std::unique_ptr<std::vector<std::unique_ptr<Layer>>> layers; // layer shaders
  int32_t pluginId = 0;                                        // plug-in records
};

struct UndoEntry;
struct UndoStep {
  std::vector<UndoEntry> entries;
};

struct Document {
  OxDocument* handle = nullptr;
  NodeList objects;
  NodeList materials;
  Node* renderSettings = nullptr;
  Node* activeObject = nullptr;
  Node* activeMaterial = nullptr;
  bool bracketOpen = false;
  std::unique_ptr<UndoStep> openStep;
  std::vector<std::unique_ptr<UndoStep>> undo;
  std::vector<std::unique_ptr<UndoStep>> redo;
  Document();
  ~Document();
};

// ---- handle tables -----------------------------------------------------------

// Inline: every boundary call resolves at least one handle through these.
inline HandleTable<Node>& Nodes() {
  static HandleTable<Node> table(HandleKind::Node);
  return table;
}
inline HandleTable<Document>& Documents() {
  static HandleTable<Document> table(HandleKind::Document);
  return table;
}
inline HandleTable<Channel>& Channels() {
  static HandleTable<Channel> table(HandleKind::Channel);
  return table;
}
inline HandleTable<Layer>& Layers() {
  static HandleTable<Layer> table(HandleKind::Layer);
  return table;
}

// ---- identities --------------------------------------------------------------

// Node by identity (index); null when that node is gone. Index 0: none.
inline std::vector<Node*>& IdentityTable() {
  static std::vector<Node*> table{nullptr};
  return table;
}

uint32_t NewIdentity(Node* node);
// The live node, or null.
inline Node* ByIdentity(uint32_t identity) {
  auto& table = IdentityTable();
  return identity < table.size() ? table[identity] : nullptr;
}
inline void SetIdentity(uint32_t identity, Node* node) {
  auto& table = IdentityTable();
  if (identity < table.size())
    table[identity] = node;
}

// ---- nodes -------------------------------------------------------------------

// A node with a handle and a fresh identity, detached.
Node* NewNode(NodeKind kind, std::string name, int32_t type);
// Gives a detached, unregistered node (a snapshot) handles; keeps identities.
void RegisterSubtree(Node* root);
void ListAppend(NodeList& list, Node* node);
void ListInsertAfter(NodeList& list, Node* prev, Node* node); // prev null: at the front
void ListRemove(NodeList& list, Node* node);
// The list that holds (or would hold) a node of kind Object/Tag/Material/Videopost.
NodeList* ListOf(Node* node, Node* parent, Document* doc);

// Visits the node and everything it owns, pre-order, without recursion.
template <class F> void ForEachInSubtree(Node* root, F&& visit);

Node* ChannelShaderOf(const Node* material, int index);
Channel* EnsureChannel(Node* material, int index);
std::vector<std::unique_ptr<Layer>>& LayersOf(Node* layerShader);

// Detaches without checks (node must be attached); clears `doc` in the subtree.
void DetachNode(Node* node);
// Destroys a detached subtree: handles and identities die with it.
void DestroySubtree(Node* root);
// Attaches a detached node and sets `doc` in its subtree.
void SetDocument(Node* root, Document* doc);

// Deep copy of a subtree, unregistered (no handles), identities kept.
Node* CloneSubtree(const Node* root);
// Frees an unregistered subtree (a snapshot never restored).
void FreeSnapshot(Node* root);

// Resolves a weak link in a document.
Node* LinkedNode(uint32_t identity, const Document* doc);

// Pre-order walk of a document's objects with depth (top level: 0).
template <class F> void WalkObjects(const Document* doc, F&& visit);

// ---- documents ---------------------------------------------------------------

std::vector<std::unique_ptr<Document>>& DocumentList();
Document*& Active();
Document* NewEmptyDocument(); // not listed
void DestroyDocument(std::unique_ptr<Document> doc);
// Destroys every document, last first; none is active afterwards.
void DestroyAllDocuments();

// ---- registry ----------------------------------------------------------------

struct PluginInfo {
  int32_t id;
  int32_t type;
  std::string name;
};
void ReplaceRegistry(const std::vector<PluginInfo>& plugins);
const std::vector<Node*>& Registry(); // in registration order
Node* LookupPlugin(int32_t id, int32_t typeCode);

// ---- uids kept for saving ----------------------------------------------------

void SetUid(Node* node, std::string uid);
const std::string* UidOf(uint32_t identity);

// ---- the module's own objects (areas.cpp) --------------------------------------

void ResetModuleObjects(); // node arrays, values, links, the tag snapshot
size_t LiveModuleObjects();

// Everything back to empty: documents, registry, identities, uids.
void ResetModel();

// ---- counters ----------------------------------------------------------------

struct Counters {
  size_t sceneChanged = 0;
  size_t materialUpdates = 0;
  size_t nodeMessages = 0;
};
Counters& Count();

// ---- undo (undo.cpp) -----------------------------------------------------------

struct Place {
  NodeKind kind = NodeKind::Object;
  Held held = Held::None;
  uint32_t parent = 0; // identity of the parent / owner; 0: the document's top list
  uint32_t prev = 0;   // lists: identity of the node before it; 0: first
  int32_t slot = 0;    // channel / reflectance entry / layer index
};

struct UndoEntry {
  uint32_t identity = 0;
  Node* snapshot = nullptr; // unregistered copy, null once restored
  Place place;
  uint32_t activeObject = 0; // identities that were active inside the subtree
  uint32_t activeMaterial = 0;
  UndoEntry() = default;
  UndoEntry(UndoEntry&& other) noexcept;
  UndoEntry& operator=(UndoEntry&& other) noexcept;
  ~UndoEntry();
};

bool RecordDeletion(Document* doc, Node* node);
// Ends the open bracket: a non-empty step becomes the last undo step.
void CloseBracket(Document* doc);

// ---- templates ---------------------------------------------------------------

// True when the node owns other nodes (children, tags, held shaders).
inline bool OwnsNodes(const Node* node) {
  return node->children.first != nullptr || node->tags.first != nullptr || node->material != nullptr ||
         (node->layers && !node->layers->empty());
}

template <class F> void ForEachInSubtree(Node* root, F&& visit) {
  // Most subtrees handled one at a time are single nodes (a tag, a shader):
  // those need no stack. Visits never change what a node owns.
  if (!OwnsNodes(root)) {
    visit(root);
    return;
  }
  std::vector<Node*> stack{root};
  while (!stack.empty()) {
    Node* node = stack.back();
    stack.pop_back();
    visit(node);
    // Pushed in reverse so that they are visited in order.
    if (node->layers)
      for (auto it = node->layers->rbegin(); it != node->layers->rend(); ++it)
        if ((*it)->slot.owned != nullptr)
          stack.push_back((*it)->slot.owned);
    if (node->material) {
      for (auto it = node->material->reflectance.rbegin(); it != node->material->reflectance.rend(); ++it)
        if (it->owned != nullptr)
          stack.push_back(it->owned);
      for (int i = 14; i >= 0; --i)
        if (node->material->channels[i] && node->material->channels[i]->shader != nullptr)
          stack.push_back(node->material->channels[i]->shader);
    }
    for (Node* child = node->children.last; child != nullptr; child = child->prev)
      stack.push_back(child);
    for (Node* tag = node->tags.last; tag != nullptr; tag = tag->prev)
      stack.push_back(tag);
  }
}

template <class F> void WalkObjects(const Document* doc, F&& visit) {
  Node* node = doc->objects.first;
  int depth = 0;
  while (node != nullptr) {
    visit(node, depth);
    if (node->children.first != nullptr) {
      node = node->children.first;
      ++depth;
      continue;
    }
    while (node != nullptr && node->next == nullptr) {
      node = node->parent;
      --depth;
    }
    if (node != nullptr)
      node = node->next;
  }
}

} // namespace standin::scene
