// The material and shader scan: shaders of the plug-in in the channels of
// materials, in their reflectance layers and, at any depth, in the layers of
// layer shaders.
#include "scene_scan/scan_run.h"
#include "scene_scan/walk_support.h"

namespace ox {

namespace {

constexpr int32_t kChannelCount = 15;
constexpr int32_t kReflectanceChannel = 3;
constexpr int32_t kMaterialUpdatedMessage = 5;

// A hit directly in a material's channel (or its reflectance layers). True
// when it identified the plug-in.
bool ActOnChannelShader(RemoverDialog& dialog, OxDocument* doc, OxNode* material, OxNode* shader,
                        int32_t channel, int32_t pluginId, int32_t action) {
  switch (action) {
  case kRemove: dialog.DeleteWithUndo(doc, shader, kShader); break;
  case kList: dialog.AppendResult(material, nullptr, kShader, channel, false); break;
  case kIdentify: Identify(dialog, kShader, kRegistryShader, pluginId, shader); return true;
  default: break;
  }
  return false;
}

void WalkShaders(RemoverDialog& dialog, OxDocument* doc, int32_t pluginId, int32_t action,
                 const StartLinks& starts) {
  if (dialog.scopeMode == 0) {
    dialog.ScanMaterials(doc, DocumentFirstMaterial(doc), pluginId, 0, action);
    return;
  }
  for (const Link& link : starts)
    if (OxNode* material = LinkTarget(link.get(), doc, 0))
      dialog.ScanMaterials(doc, material, pluginId, dialog.scopeMode, action);
}

constexpr ScanKind kShaderScan{
    kShader, "Shader plugin ", " is a Shader plugin with the default name ", ScanSelection::kMaterials,
    -1,      &WalkShaders};

struct LayerFrame {
  OxNode* layerShader;
  OxLayer* layer; // the layer examined last; null before the first
};

} // namespace

void RemoverDialog::ProcessShaders(OxDocument* doc, int32_t action) {
  RunScan(*this, doc, action, kShaderScan);
}

void RemoverDialog::ScanMaterials(OxDocument* doc, OxNode* firstMaterial, int32_t pluginId,
                                  int32_t singleMaterial, int32_t action) {
  if (pluginId == 0)
    return;
  NodeArray reflectance = NodeArrayNew();
  HostArray<Link> entries;
  for (OxNode* material = firstMaterial; material != nullptr;) {
    for (int32_t n = 0; n < kChannelCount; ++n) {
      OxChannel* channel = MaterialChannel(material, n);
      if (channel == nullptr)
        continue;
      if (n != kReflectanceChannel) {
        OxNode* shader = ChannelShader(channel);
        if (shader == nullptr)
          continue;
        const int32_t type = NodeTypeId(shader);
        if (type == pluginId) {
          if (ActOnChannelShader(*this, doc, material, shader, n, pluginId, action))
            break; // identified: on to the material's end
        } else if (type == OX_TYPE_LAYER_SHADER) {
          ScanLayerShader(doc, shader, pluginId, material, n, action);
        }
        continue;
      }
      if (!reflectance)
        continue;
      // Only this material's entries, each resolved just before it is
      // examined: a shader may have died with an earlier entry's deletion.
      NodeArrayClear(reflectance.get());
      MaterialLayerShaders(material, reflectance.get());
      entries.Clear();
      const int32_t count = NodeArrayCount(reflectance.get());
      for (int32_t i = 0; i < count; ++i) {
        OxNode* entry = NodeArrayAt(reflectance.get(), i);
        entries.Append(entry != nullptr ? LinkNew(entry) : Link());
      }
      for (const Link& link : entries) {
        OxNode* shader = link ? LinkTarget(link.get(), doc, 0) : nullptr;
        if (shader == nullptr || NodeOwner(shader) != material)
          continue;
        const int32_t type = NodeTypeId(shader);
        if (type == pluginId) {
          if (ActOnChannelShader(*this, doc, material, shader, n, pluginId, action))
            break; // identified: on to channel 4
        } else if (type == OX_TYPE_LAYER_SHADER) {
          ScanLayerShader(doc, shader, pluginId, material, n, action);
        }
      }
    }
    MaterialUpdate(material, true, true);
    NodeSendMessage(material, kMaterialUpdatedMessage, nullptr);
    if (singleMaterial != 0)
      break;
    material = NodeNext(material);
  }
  if (action == kRemove && !results.Empty())
    MessageBox(
        TextFromLiteral("Please note that not all shaders were deleted.\nIt is possible that these are "
                        "within a Layer shader.\nIf so, these will be listed in the shader list."),
        OX_MB_OK);
  SceneChanged(0);
}

// Nested layer shaders are walked where their layer stands, depth first,
// with a stack of frames (one per layer shader being walked) instead of the
// call stack. A layer shader already on the current path is not entered
// again, so links that lead back round end there.
void RemoverDialog::ScanLayerShader(OxDocument* doc, OxNode* layerShader, int32_t pluginId, OxNode* material,
                                    int32_t channel, int32_t action) {
  // One value for every layer read, each read used at once. Without it no
  // layer can be read, and every layer is passed over.
  Value value = ValueNew();
  WalkStack<LayerFrame> path;
  NodeSet onPath;
  if (!value || !onPath.Insert(layerShader) || !path.Append({layerShader, nullptr}))
    return;

  while (!path.Empty()) {
    LayerFrame& frame = path.Last();
    OxLayer* layer = frame.layer == nullptr ? LayerFirst(frame.layerShader) : LayerNext(frame.layer);
    if (layer == nullptr) {
      onPath.Erase(frame.layerShader);
      path.RemoveLast();
      continue;
    }
    frame.layer = layer;
    if (LayerKind(layer) != OX_LAYER_KIND_SHADER ||
        !LayerParameter(layer, OX_LAYER_PARAM_LINK, value.get()) ||
        ValueKind(value.get()) != OX_VALUE_KIND_LINK)
      continue;
    const OxLink* link = ValueLink(value.get(), OX_VALUE_KIND_LINK);
    if (link == nullptr)
      continue;
    OxNode* shader = LinkTarget(link, NodeDocument(frame.layerShader), 0);
    if (shader == nullptr)
      continue;

    const int32_t type = NodeTypeId(shader);
    if (type == pluginId) {
      if (action == kList || (action == kRemove && keepLayerShaders)) {
        AppendResult(material, nullptr, kShader, channel, true);
      } else if (action == kRemove) {
        DeleteWithUndo(doc, shader, kShader); // the linked shader; its layer shader stays
      } else if (action == kIdentify) {
        Identify(*this, kShader, kRegistryShader, pluginId, shader);
        // This layer shader's other layers are not looked at; the one that
        // reached it goes on.
        onPath.Erase(frame.layerShader);
        path.RemoveLast();
      }
    } else if (type == OX_TYPE_LAYER_SHADER && !onPath.Contains(shader)) {
      // A failed growth passes this layer over like any unreadable one.
      if (onPath.Insert(shader) && !path.Append({shader, nullptr}))
        onPath.Erase(shader);
    }
  }
}

} // namespace ox
