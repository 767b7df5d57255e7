// The scan run shared by the four drivers, AppendResult and DeleteWithUndo.
#include "scene_scan/scan_run.h"

#include "scene_scan/walk_support.h"

#include <utility>

namespace ox {

void RunScan(RemoverDialog& dialog, OxDocument* doc, int32_t action, const ScanKind& kind) {
  NodeArray selection = NodeArrayNew();

  if (action == kRemove && dialog.warnBeforeDeleting &&
      MessageBox(TextFromLiteral("Are you sure you want to delete the plugin instances?"), OX_MB_YESNO) !=
          OX_MB_ANSWER_YES)
    return;

  dialog.results.Clear();
  dialog.resultCount = 0;
  const int32_t pluginId = dialog.ReadPluginId();

  // Without a document there is nothing to select, bracket or walk; the run
  // then ends like one over an empty scene.
  StartLinks starts;
  if (kind.selection != ScanSelection::kNone && doc != nullptr && selection && dialog.scopeMode != 0) {
    if (kind.selection == ScanSelection::kObjects)
      DocumentSelectedObjects(doc, selection.get(), 0);
    else
      DocumentSelectedMaterials(doc, selection.get());
    const int32_t count = NodeArrayCount(selection.get());
    for (int32_t i = 0; i < count; ++i) {
      OxNode* node = NodeArrayAt(selection.get(), i);
      if (node == nullptr)
        continue;
      if (Link link = LinkNew(node))
        starts.Append(std::move(link));
    }
  }

  // The message below is this driver's only when its own walk identified
  // the plug-in; an earlier value of foundKind is kept otherwise.
  const int32_t previousKind = dialog.foundKind;
  if (action == kIdentify)
    dialog.foundKind = -1;

  if (doc != nullptr) {
    UndoBegin(doc);
    kind.walk(dialog, doc, pluginId, action, starts);
    UndoEnd(doc);
  }

  if (action != kIdentify) {
    if (dialog.results.Empty()) {
      ResultEntry row;
      row.number = 0;
      row.name = TextFromLiteral(kind.notFound) + TextFromInteger(pluginId) + TextFromLiteral(" not found.");
      row.channel = kind.notFoundChannel;
      dialog.results.Append(std::move(row));
    }
  } else if (dialog.foundKind >= 0) {
    MessageBox(TextFromLiteral("Plugin ") + TextFromInteger(pluginId) + TextFromLiteral(kind.identifiedAs) +
                   dialog.foundName + TextFromLiteral("."),
               OX_MB_OK);
  } else {
    dialog.foundKind = previousKind;
  }

  dialog.RefreshResults();
}

void Identify(RemoverDialog& dialog, int32_t kind, int32_t registryType, int32_t pluginId, OxNode* node) {
  dialog.foundKind = kind;
  OxNode* record = PluginLookup(pluginId, registryType);
  dialog.foundName = NodeName(record != nullptr ? record : node);
}

bool ActOnNode(RemoverDialog& dialog, OxDocument* doc, OxNode* node, int32_t kind, int32_t registryType,
               int32_t pluginId, int32_t action) {
  switch (action) {
  case kRemove: dialog.DeleteWithUndo(doc, node, kind); break;
  case kList: dialog.AppendResult(node, nullptr, kind, 0, false); break;
  case kIdentify: Identify(dialog, kind, registryType, pluginId, node); return true;
  default: break;
  }
  return false;
}

void ScanStartObjects(RemoverDialog& dialog, OxDocument* doc, int32_t pluginId, int32_t action,
                      const StartLinks& starts, StartObjectScan scan) {
  ScanStarts handled;
  for (const Link& link : starts)
    if (OxNode* start = LinkTarget(link.get(), doc, 0))
      handled.Add(start);
  for (const Link& link : starts) {
    // Resolved only now: an earlier start object's removal may have taken
    // this one out of the document.
    OxNode* start = LinkTarget(link.get(), doc, 0);
    if (start == nullptr || !handled.Claim(start))
      continue;
    (dialog.*scan)(doc, start, pluginId, dialog.scopeMode, action, &handled);
  }
}

bool RemoverDialog::AppendResult(OxNode* node, OxNode* secondNode, int32_t kind, int32_t channel,
                                 bool inLayerShader) {
  if (kind < kTag || kind > kVideoPost)
    return false;
  ResultEntry row;
  row.number = resultCount;
  row.name = NodeName(node);
  switch (kind) {
  case kTag:
    if (secondNode != nullptr)
      row.tagName = NodeName(secondNode);
    row.object = LinkNew(node);
    break;
  case kShader:
    row.material = LinkNew(node);
    row.channel = channel;
    row.inLayerShader = inLayerShader;
    break;
  case kObject: row.object = LinkNew(node); break;
  default: break;
  }
  // A row that finds no room is dropped; the count goes on regardless.
  results.Append(std::move(row));
  ++resultCount;
  return true;
}

bool RemoverDialog::DeleteWithUndo(OxDocument* doc, OxNode* node, int32_t kind) {
  if (kind < kTag || kind > kVideoPost || node == nullptr)
    return true;
  // The undo entry must see the node still in place.
  UndoRecord(doc, OX_UNDO_DELETE, node, nullptr);
  NodeDetach(node);
  NodeDestroy(node);
  return true;
}

} // namespace ox
