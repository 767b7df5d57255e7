// The plug-in's one dialog: the user's options, the outcome of the last
// identification and the rows of the results list. The scans and
// RefreshColumns are its operations (defined in scene_scan/ and results_view/).
#pragma once

#include "host/bases.h"
#include "host/host.h"
#include "results_view/results_tree_model.h"

#include <array>
#include <cstdint>

namespace ox {

class ScanStarts; // scene_scan/walk_support.h

// Element and menu ids.
enum DialogId : int32_t {
  kIdProcess = 1002,
  kIdCancel = 1003,
  kIdPluginId = 1005,
  kIdAbout = 5001,
  kIdHelp = 5002,
  kIdPluginType = 5006,
  kIdScope = 5007,
  kIdAction = 5008,
  kIdWarn = 5009,
  kIdKeepLayerShaders = 5010,
  kIdResults = 10000,
  kIdStatic = 10004,
};

enum Action : int32_t { kIdentify = 0, kList = 1, kRemove = 2 };

inline constexpr int32_t kCommandPluginId = 1066888;

class RemoverDialog final : public DialogBase {
public:
  RemoverDialog();
  ~RemoverDialog() override;

  // Dialog operations.
  bool CreateLayout() override;
  bool InitValues() override;
  bool CoreMessage(int32_t id, void* data) override;
  bool Command(int32_t id, void* data) override;
  bool AskClose() override;
  void Notify(void* data) override;
  void Destroyed() override;
  int32_t Message(int32_t id, int32_t a, void* data) override;

  // Results view.
  // Both do nothing while `resultsTree` is null (no window).
  bool RefreshColumns();
  void RefreshResults(); // TreeViewSetRoot, TreeViewRefresh, ElementRedraw

  // Scene scan engine.
  void ProcessTags(OxDocument* doc, int32_t action);
  void ProcessObjects(OxDocument* doc, int32_t action);
  void ProcessShaders(OxDocument* doc, int32_t action);
  void ProcessVideoPosts(OxDocument* doc, int32_t action);
  bool AppendResult(OxNode* node, OxNode* secondNode, int32_t kind, int32_t channel, bool inLayerShader);
  bool DeleteWithUndo(OxDocument* doc, OxNode* node, int32_t kind);
  // `starts`: the run's selected start objects (scopes 1 and 2), so that no
  // object is handled twice in one run; null in scope 0.
  void ScanTags(OxDocument* doc, OxNode* startObject, int32_t pluginId, int32_t walkMode, int32_t action,
                ScanStarts* starts = nullptr);
  void ScanObjects(OxDocument* doc, OxNode* startObject, int32_t pluginId, int32_t walkMode, int32_t action,
                   ScanStarts* starts = nullptr);
  void ScanMaterials(OxDocument* doc, OxNode* firstMaterial, int32_t pluginId, int32_t singleMaterial,
                     int32_t action);
  void ScanLayerShader(OxDocument* doc, OxNode* layerShader, int32_t pluginId, OxNode* material,
                       int32_t channel, int32_t action);
  void ScanVideoPosts(OxDocument* doc, int32_t pluginId, int32_t action);

  // Reads field 1005 and turns it into the identifier (see PluginIdFromNumber).
  int32_t ReadPluginId();

  int32_t pluginType = 0;
  int32_t scopeMode = 0;
  int32_t actionMode = 1;
  bool warnBeforeDeleting = true;
  bool keepLayerShaders = false;
  ResultsTreeModel resultsModel;
  int32_t resultCount = 0;
  int32_t foundKind = 0;
  Text foundName;
  std::array<Text, 29> pluginTypeNames;
  OxElement* resultsTree = nullptr; // set by the layout, null again once the window is gone
  ResultArray results;
};

// Truncates toward zero; saturates beyond the 32-bit range; NaN gives 0.
int32_t PluginIdFromNumber(double value) noexcept;

} // namespace ox
