// The object scan: objects of the plug-in in the document's hierarchy. Every
// node comes after its subtree, so a deletion never cuts off a part that is
// still to be walked.
#include "scene_scan/scan_run.h"
#include "scene_scan/walk_support.h"

namespace ox {

namespace {

// True when the object identified the plug-in.
bool ActOnObject(RemoverDialog& dialog, OxDocument* doc, OxNode* object, int32_t pluginId, int32_t action) {
  return ActOnNode(dialog, doc, object, kObject, kRegistryObject, pluginId, action);
}

struct RunFrame {
  OxNode* object; // the object whose turn it is in this sibling run
  bool subtreeDone;
};

// One sibling run from `first` with the subtree of each, post-order. Each
// frame stands for one sibling run, i.e. one ScanObjects call in walk mode 0,
// and ends with that call's change notification. An identification ends the
// run it happens in; the runs further up go on.
void WalkObjectRun(RemoverDialog& dialog, OxDocument* doc, OxNode* first, int32_t pluginId, int32_t action,
                   ScanStarts* starts) {
  WalkStack<RunFrame> runs;
  if (!runs.Append({first, false})) {
    SceneChanged(0);
    return;
  }
  while (!runs.Empty()) {
    RunFrame& run = runs.Last();
    OxNode* object = run.object;
    if (object == nullptr) {
      SceneChanged(0);
      runs.RemoveLast(); // the parent's subtree is done
      continue;
    }
    if (!run.subtreeDone) {
      if (starts != nullptr && !starts->Claim(object)) {
        run.object = NodeNext(object); // handled with its subtree already
        continue;
      }
      run.subtreeDone = true;
      if (OxNode* child = NodeFirstChild(object)) {
        if (!runs.Append({child, false})) {
          // Out of memory: stop before any node whose subtree is unwalked.
          SceneChanged(0);
          return;
        }
        continue;
      }
    }
    OxNode* next = NodeNext(object); // before the object may be deleted
    if (NodeTypeId(object) == pluginId && ActOnObject(dialog, doc, object, pluginId, action)) {
      SceneChanged(0);
      runs.RemoveLast();
      continue;
    }
    run.object = next;
    run.subtreeDone = false;
  }
}

constexpr ScanKind kObjectScan{kObject,
                               "Object plugin ",
                               " is an Object plugin with the default name ",
                               ScanSelection::kObjects,
                               0,
                               &WalkHierarchy<&RemoverDialog::ScanObjects>};

} // namespace

void RemoverDialog::ProcessObjects(OxDocument* doc, int32_t action) {
  RunScan(*this, doc, action, kObjectScan);
}

void RemoverDialog::ScanObjects(OxDocument* doc, OxNode* startObject, int32_t pluginId, int32_t walkMode,
                                int32_t action, ScanStarts* starts) {
  if (pluginId == 0)
    return;
  if (startObject == nullptr) {
    SceneChanged(0);
    return;
  }
  if (walkMode == 0) {
    WalkObjectRun(*this, doc, startObject, pluginId, action, starts);
    return;
  }
  // Walk mode 1 (and any other but 2): every descendant, subtrees first,
  // then the object itself.
  if (walkMode != 2) {
    if (OxNode* child = NodeFirstChild(startObject))
      WalkObjectRun(*this, doc, child, pluginId, action, starts);
  }
  if (NodeTypeId(startObject) == pluginId)
    ActOnObject(*this, doc, startObject, pluginId, action);
  SceneChanged(0);
}

} // namespace ox
