// Undo and redo of deletions. An entry keeps an unregistered copy of the
// deleted subtree and where it sat: its parent (or owner) and the node before
// it, both by identity. Undo restores a step's entries in reverse order, so
// the node before an entry is always back in place when the entry is; the
// restored nodes get new handles and keep their identities, which revives
// every weak link to them. Redo deletes the same nodes again, copying them
// anew.
#include "core/breach.h"
#include "scene/model.h"
#include "scene/world.h"

#include <utility>

namespace standin::scene {
namespace {

Place PlaceOf(const Node* node) {
  Place place;
  place.kind = node->kind;
  place.held = node->held;
  place.slot = node->slot;
  place.parent = node->parent != nullptr ? node->parent->identity : 0;
  place.prev = node->prev != nullptr ? node->prev->identity : 0;
  return place;
}

void TakeSnapshot(Document* doc, Node* node, UndoEntry& entry) {
  entry.identity = node->identity;
  entry.snapshot = CloneSubtree(node);
  entry.place = PlaceOf(node);
  entry.activeObject = 0;
  entry.activeMaterial = 0;
  ForEachInSubtree(node, [&](Node* n) {
    if (doc->activeObject == n)
      entry.activeObject = n->identity;
    if (doc->activeMaterial == n)
      entry.activeMaterial = n->identity;
  });
}

// Puts an entry's copy back; false (and nothing changes) when its place is
// gone or taken, or when the node still exists.
bool Restore(Document* doc, UndoEntry& entry) {
  if (entry.snapshot == nullptr || ByIdentity(entry.identity) != nullptr)
    return false;
  const Place& place = entry.place;
  Node* parent = place.parent != 0 ? LinkedNode(place.parent, doc) : nullptr;
  if (place.parent != 0 && parent == nullptr)
    return false;
  Node* node = entry.snapshot;
  switch (place.held) {
  case Held::List: {
    NodeList* list = ListOf(node, parent, doc);
    if (list == nullptr)
      return false;
    Node* prev = nullptr;
    if (place.prev != 0) {
      prev = LinkedNode(place.prev, doc);
      if (prev == nullptr || prev->held != Held::List || prev->parent != parent || prev->kind != node->kind)
        prev = list->last; // cannot happen with undo in order; keep the node rather than lose it
    }
    ListInsertAfter(*list, prev, node);
    break;
  }
  case Held::Channel: {
    if (!parent->material || place.slot < 0 || place.slot > 14)
      return false;
    Channel* channel = EnsureChannel(parent, place.slot);
    if (channel->shader != nullptr)
      return false;
    channel->shader = node;
    break;
  }
  case Held::Reflectance: {
    if (!parent->material || place.slot < 0 || size_t(place.slot) >= parent->material->reflectance.size())
      return false;
    Slot& slot = parent->material->reflectance[place.slot];
    if (slot.owned != nullptr)
      return false;
    slot.owned = node;
    slot.link = node->identity;
    break;
  }
  case Held::Layer: {
    if (!parent->layers || place.slot < 0 || size_t(place.slot) >= parent->layers->size())
      return false;
    Layer& layer = *(*parent->layers)[place.slot];
    if (layer.slot.owned != nullptr)
      return false;
    layer.slot.owned = node;
    layer.slot.link = node->identity;
    layer.content = LayerContent::Link;
    break;
  }
  case Held::Document:
    if (doc->renderSettings != nullptr)
      return false;
    doc->renderSettings = node;
    break;
  case Held::None: return false;
  }
  entry.snapshot = nullptr;
  node->held = place.held;
  node->parent = parent;
  node->slot = place.slot;
  RegisterSubtree(node);
  SetDocument(node, doc);
  if (entry.activeObject != 0)
    doc->activeObject = ByIdentity(entry.activeObject);
  if (entry.activeMaterial != 0)
    doc->activeMaterial = ByIdentity(entry.activeMaterial);
  return true;
}

void DeleteAgain(Document* doc, UndoEntry& entry) {
  Node* node = ByIdentity(entry.identity);
  if (node == nullptr || node->doc != doc)
    return;
  if (entry.snapshot != nullptr) {
    FreeSnapshot(entry.snapshot);
    entry.snapshot = nullptr;
  }
  TakeSnapshot(doc, node, entry);
  DetachNode(node);
  DestroySubtree(node);
}

} // namespace

UndoEntry::UndoEntry(UndoEntry&& other) noexcept
    : identity(other.identity), snapshot(std::exchange(other.snapshot, nullptr)), place(other.place),
      activeObject(other.activeObject), activeMaterial(other.activeMaterial) {}

UndoEntry& UndoEntry::operator=(UndoEntry&& other) noexcept {
  if (this != &other) {
    if (snapshot != nullptr)
      FreeSnapshot(snapshot);
    identity = other.identity;
    snapshot = std::exchange(other.snapshot, nullptr);
    place = other.place;
    activeObject = other.activeObject;
    activeMaterial = other.activeMaterial;
  }
  return *this;
}

UndoEntry::~UndoEntry() {
  if (snapshot != nullptr)
    FreeSnapshot(snapshot);
}

bool RecordDeletion(Document* doc, Node* node) {
  UndoEntry entry;
  TakeSnapshot(doc, node, entry);
  doc->openStep->entries.push_back(std::move(entry));
  return true;
}

void CloseBracket(Document* doc) {
  doc->bracketOpen = false;
  std::unique_ptr<UndoStep> step = std::move(doc->openStep);
  if (step && !step->entries.empty()) {
    doc->undo.push_back(std::move(step));
    doc->redo.clear();
  }
}

} // namespace standin::scene

namespace standin {

using namespace scene;

bool Undo() {
  Document* doc = Active();
  if (doc == nullptr || doc->undo.empty() || doc->bracketOpen)
    return false;
  std::unique_ptr<UndoStep> step = std::move(doc->undo.back());
  doc->undo.pop_back();
  for (auto it = step->entries.rbegin(); it != step->entries.rend(); ++it)
    Restore(doc, *it);
  doc->redo.push_back(std::move(step));
  return true;
}

bool Redo() {
  Document* doc = Active();
  if (doc == nullptr || doc->redo.empty() || doc->bracketOpen)
    return false;
  std::unique_ptr<UndoStep> step = std::move(doc->redo.back());
  doc->redo.pop_back();
  for (UndoEntry& entry : step->entries)
    DeleteAgain(doc, entry);
  doc->undo.push_back(std::move(step));
  return true;
}

int UnbalancedUndoBrackets() {
  int open = 0;
  for (const auto& doc : DocumentList())
    open += doc->bracketOpen ? 1 : 0;
  return open;
}

bool CheckUndoBrackets() {
  bool balanced = true;
  for (const auto& doc : DocumentList())
    if (doc->bracketOpen) {
      Breach("UndoEnd", "an undo bracket was left open");
      CloseBracket(doc.get());
      balanced = false;
    }
  return balanced;
}

} // namespace standin
