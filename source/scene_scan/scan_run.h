// The scan run that the four drivers share, and the small pieces every walk
// uses: acting on an identified node and walking the selected start objects.
#pragma once

#include "host/host_array.h"
#include "remover_dialog/remover_dialog.h"

#include <cstdint>

namespace ox {

// Plug-in registry type codes of the four kinds.
inline constexpr int32_t kRegistryTag = OX_PLUGINTYPE_TAG;
inline constexpr int32_t kRegistryShader = OX_PLUGINTYPE_SHADER;
inline constexpr int32_t kRegistryObject = OX_PLUGINTYPE_OBJECT;
inline constexpr int32_t kRegistryVideoPost = OX_PLUGINTYPE_VIDEOPOST;

// Weak links to the selected nodes, taken before anything is walked: a
// removal may take a later start node out of the document.
using StartLinks = HostArray<Link>;

enum class ScanSelection { kNone, kObjects, kMaterials };

// What sets one driver's run apart from the others'.
struct ScanKind {
  int32_t kind;             // PluginKind
  const char* notFound;     // the not-found row: this + id + " not found."
  const char* identifiedAs; // the message: "Plugin " + id + this + name + "."
  ScanSelection selection;  // what scopes other than 0 start from
  int32_t notFoundChannel;  // the not-found row's channel
  using Walk = void (*)(RemoverDialog& dialog, OxDocument* doc, int32_t pluginId, int32_t action,
                        const StartLinks& starts);
  Walk walk;
};

// Question, clearing, identifier, selection, undo bracket, walk, report and
// refresh of the list, in this order. A declined question changes nothing.
void RunScan(RemoverDialog& dialog, OxDocument* doc, int32_t action, const ScanKind& kind);

// Records `node` as the identified instance of kind `kind`; the default name
// is the registry's when it knows the plug-in, else the node's own.
void Identify(RemoverDialog& dialog, int32_t kind, int32_t registryType, int32_t pluginId, OxNode* node);

// Removes, lists or identifies `node` (a node of kind `kind`, not a tag) as
// `action` says; true when it identified the plug-in.
bool ActOnNode(RemoverDialog& dialog, OxDocument* doc, OxNode* node, int32_t kind, int32_t registryType,
               int32_t pluginId, int32_t action);

using StartObjectScan = void (RemoverDialog::*)(OxDocument*, OxNode*, int32_t, int32_t, int32_t, ScanStarts*);

// Scopes 1 and 2 of the tag and object scans: `scan` for each selected start
// object that is still in the document and not yet handled, in selection
// order, with `walkMode` = the dialog's scope.
void ScanStartObjects(RemoverDialog& dialog, OxDocument* doc, int32_t pluginId, int32_t action,
                      const StartLinks& starts, StartObjectScan scan);

// The walk of the tag and object scans: in scope 0 `kScan` over the
// document's top level in walk mode 0, else over the selected start objects.
template <StartObjectScan kScan>
void WalkHierarchy(RemoverDialog& dialog, OxDocument* doc, int32_t pluginId, int32_t action,
                   const StartLinks& starts) {
  if (dialog.scopeMode == 0) {
    (dialog.*kScan)(doc, DocumentFirstObject(doc), pluginId, 0, action, nullptr);
    return;
  }
  ScanStartObjects(dialog, doc, pluginId, action, starts, kScan);
}

} // namespace ox
