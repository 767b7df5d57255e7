// The videopost scan: the render settings' videoposts of the plug-in.
#include "scene_scan/scan_run.h"

namespace ox {

namespace {

void WalkVideoPosts(RemoverDialog& dialog, OxDocument* doc, int32_t pluginId, int32_t action,
                    const StartLinks&) {
  dialog.ScanVideoPosts(doc, pluginId, action);
}

// Videoposts have no scope: the run takes no selection.
constexpr ScanKind kVideoPostScan{
    kVideoPost, "VP plugin ",   " is a VideoPost plugin with the default name ", ScanSelection::kNone,
    0,          &WalkVideoPosts};

} // namespace

void RemoverDialog::ProcessVideoPosts(OxDocument* doc, int32_t action) {
  RunScan(*this, doc, action, kVideoPostScan);
}

void RemoverDialog::ScanVideoPosts(OxDocument* doc, int32_t pluginId, int32_t action) {
  if (pluginId == 0)
    return;
  if (OxNode* renderSettings = DocumentRenderSettings(doc)) {
    for (OxNode* videopost = RenderSettingsFirstVideopost(renderSettings); videopost != nullptr;) {
      OxNode* next = NodeNext(videopost); // before it may be deleted
      if (NodeTypeId(videopost) == pluginId &&
          ActOnNode(*this, doc, videopost, kVideoPost, kRegistryVideoPost, pluginId, action))
        break; // the first instance names the plug-in
      videopost = next;
    }
  }
  SceneChanged(0);
}

} // namespace ox
