// Placeholder bodies while the scene model is being written.
#include "scene/world.h"

namespace standin {

void ResetScene() {}
void FillSceneAreas(OxHostTables&) {}
const OxLayerShaderLibrary* LayerShaderLibrary() {
  return nullptr;
}
int DocumentCount() {
  return 0;
}
OxDocument* DocumentAt(int) {
  return nullptr;
}
int DocumentIndex(OxDocument*) {
  return -1;
}
OxDocument* ActiveDocument() {
  return nullptr;
}
int ActiveDocumentIndex() {
  return -1;
}
int NewDocument() {
  return -1;
}
bool ActivateDocument(int) {
  return false;
}
void CloseAllDocuments() {}
bool LoadSceneFile(const std::string&, std::string& error) {
  error = "not implemented";
  return false;
}
bool LoadSceneString(std::string_view, std::string& error) {
  error = "not implemented";
  return false;
}
bool SaveSceneFile(const std::string&, std::string& error, OxDocument*) {
  error = "not implemented";
  return false;
}
std::string SaveSceneString(OxDocument*) {
  return {};
}
std::vector<std::string> SceneLines() {
  return {};
}
std::vector<std::string> SelectionLines() {
  return {};
}
bool SelectObjectPath(std::string_view, std::string& reason) {
  reason = "not implemented";
  return false;
}
bool SelectMaterial(std::string_view, std::string& reason) {
  reason = "not implemented";
  return false;
}
void DeselectAll() {}
bool Undo() {
  return false;
}
bool Redo() {
  return false;
}
int UnbalancedUndoBrackets() {
  return 0;
}
bool CheckUndoBrackets() {
  return true;
}
size_t SceneChangedCount() {
  return 0;
}
size_t MaterialUpdateCount() {
  return 0;
}
size_t NodeMessageCount() {
  return 0;
}
const char* CensusKindName(CensusKind) {
  return "";
}
std::vector<CensusEntry> Census(OxDocument*) {
  return {};
}
void RegisterPlugin(int32_t, int32_t, std::string_view) {}
OxNode* AddObject(OxDocument*, OxNode*, std::string_view, int32_t) {
  return nullptr;
}
OxNode* AddTag(OxNode*, std::string_view, int32_t) {
  return nullptr;
}
OxNode* AddMaterial(OxDocument*, std::string_view, int32_t) {
  return nullptr;
}
OxNode* SetChannelShader(OxNode*, int32_t, std::string_view, int32_t) {
  return nullptr;
}
OxNode* AddReflectanceShader(OxNode*, std::string_view, int32_t) {
  return nullptr;
}
bool AddReflectanceRef(OxNode*, OxNode*) {
  return false;
}
OxNode* AddLayerShader(OxNode*, std::string_view, int32_t) {
  return nullptr;
}
bool AddLayerLink(OxNode*, OxNode*) {
  return false;
}
bool AddLayerEmpty(OxNode*) {
  return false;
}
bool AddLayerValue(OxNode*, int32_t) {
  return false;
}
bool AddLayerOther(OxNode*, int32_t) {
  return false;
}
OxNode* AddVideopost(OxDocument*, std::string_view, int32_t) {
  return nullptr;
}
void RemoveRenderSettings(OxDocument*) {}
bool SetSelected(OxNode*, bool) {
  return false;
}
bool IsLiveNode(const OxNode*) {
  return false;
}
bool IsLiveDocument(const OxDocument*) {
  return false;
}
std::string NodeNameOf(const OxNode*) {
  return {};
}
int32_t NodeTypeOf(const OxNode*) {
  return 0;
}
OxDocument* NodeDocumentOf(const OxNode*) {
  return nullptr;
}
std::string ObjectPathOf(const OxNode*) {
  return {};
}
size_t LiveNodeCount() {
  return 0;
}
BareWalkCounts BareWalk(OxDocument*, int32_t) {
  return {};
}
void ForEachObject(OxDocument*, const std::function<void(OxNode*, int)>&) {}

} // namespace standin
