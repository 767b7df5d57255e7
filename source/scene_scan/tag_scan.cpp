// The tag scan: tags of the plug-in on the objects of the document.
#include "scene_scan/scan_run.h"
#include "scene_scan/walk_support.h"

namespace ox {

namespace {

// Acts on the object's tags of the plug-in in the host's order. True when
// one identified the plug-in: the object's other tags are then left alone.
bool ActOnTags(RemoverDialog& dialog, OxDocument* doc, OxNode* object, int32_t pluginId, int32_t action) {
  // Host storage, readable while its tags are destroyed, until the next call.
  const std::span<OxNode* const> tags = ObjectTagsOfType(object, pluginId);
  for (OxNode* tag : tags) {
    if (tag == nullptr)
      continue;
    switch (action) {
    case kRemove: dialog.DeleteWithUndo(doc, tag, kTag); break;
    case kList: dialog.AppendResult(object, tag, kTag, 0, false); break;
    case kIdentify: Identify(dialog, kTag, kRegistryTag, pluginId, tag); return true;
    default: break;
    }
  }
  return false;
}

// One sibling run from `first` with the subtree of each, depth first,
// pre-order: an object's tags, then its subtree, then its next sibling.
// Each frame stands for one sibling run, i.e. one ScanTags call in walk mode
// 0, and ends with that call's change notification. The stack replaces the
// call stack, which a deep hierarchy would overflow.
void WalkTagRun(RemoverDialog& dialog, OxDocument* doc, OxNode* first, int32_t pluginId, int32_t action,
                ScanStarts* starts) {
  WalkStack<OxNode*> runs; // per run: the object whose turn it is
  if (!runs.Append(first)) {
    SceneChanged(0);
    return;
  }
  while (!runs.Empty()) {
    OxNode* object = runs.Last();
    if (object == nullptr) {
      SceneChanged(0);
      runs.RemoveLast();
      if (!runs.Empty())
        runs.Last() = NodeNext(runs.Last()); // the parent's subtree is done
      continue;
    }
    if (starts != nullptr && !starts->Claim(object)) {
      runs.Last() = NodeNext(object); // handled with its subtree already
      continue;
    }
    ActOnTags(dialog, doc, object, pluginId, action);
    if (OxNode* child = NodeFirstChild(object)) {
      if (!runs.Append(child)) {
        // Out of memory: stop here rather than skip parts silently in the
        // middle of the order.
        SceneChanged(0);
        return;
      }
      continue;
    }
    runs.Last() = NodeNext(object);
  }
}

constexpr ScanKind kTagScan{kTag,
                            "Tag plugin ",
                            " is a Tag plugin with the default name ",
                            ScanSelection::kObjects,
                            0,
                            &WalkHierarchy<&RemoverDialog::ScanTags>};

} // namespace

void RemoverDialog::ProcessTags(OxDocument* doc, int32_t action) {
  RunScan(*this, doc, action, kTagScan);
}

void RemoverDialog::ScanTags(OxDocument* doc, OxNode* startObject, int32_t pluginId, int32_t walkMode,
                             int32_t action, ScanStarts* starts) {
  if (pluginId == 0)
    return;
  if (startObject == nullptr) {
    SceneChanged(0);
    return;
  }
  if (walkMode == 0) {
    WalkTagRun(*this, doc, startObject, pluginId, action, starts);
    return;
  }
  // Walk mode 2: the object alone. Otherwise its descendants follow, also
  // after an identification.
  ActOnTags(*this, doc, startObject, pluginId, action);
  if (walkMode != 2) {
    if (OxNode* child = NodeFirstChild(startObject))
      WalkTagRun(*this, doc, child, pluginId, action, starts);
  }
  SceneChanged(0);
}

} // namespace ox
