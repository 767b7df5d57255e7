// The stand-in host's scene: documents, nodes, selection, undo/redo, the
// plug-in registry, scene files, and what `show scene` / `show selection`
// print. One scene per process (module calls carry no context), so this is a
// set of free functions over a process-wide state; ResetScene() empties it.
//
// Handles: every node the module sees is an OxNode handle (objects, tags,
// materials, shaders, videoposts, render settings, plug-in records); a
// destroyed node's handle stays dead for good, and a node brought back by
// undo gets a new handle.
#pragma once

#include "host/ox_abi.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// ---- lifetime and areas ---------------------------------------------------

// No documents, an empty registry, no undo history, counters at 0.
void ResetScene();

// Sets the DOCUMENT, NODE, OBJECT, MATERIAL, RENDER, NODE_ARRAY, UNDO,
// REGISTRY, VALUE, LINK and EVENT area pointers. What this host does where
// the boundary leaves a choice:
// - MaterialLayerShaders appends the reflectance entries' shaders (held ones
//   and live references) and, after each, every shader nested in its layers
//   (held ones, any depth); nested entries are owned by their layer shader and
//   die with it, so the module must not examine them after deleting it.
// - ObjectTagsOfType hands out one host-owned sequence, valid until the next
//   call; its entries are handles, unchanged when the tags die.
// - NodeArrayAt answers the stored handle even when its node is gone (stale).
// - Links name nodes across undo: a link to a deleted node resolves to null
//   and to the restored node after undo. LinkNew(null) and LinkTarget(null)
//   answer null without a breach (the null link); so does LinkTarget with a
//   null document.
// - NodeDetach of a detached node answers false (no breach); NodeDestroy of
//   an attached node, and detaching or destroying a plug-in record, are
//   breaches. One undo bracket at a time per document.
void FillSceneAreas(OxHostTables& tables);

// Library OX_LIBRARY_LAYERSHADER.
const OxLayerShaderLibrary* LayerShaderLibrary();

// ---- documents --------------------------------------------------------------

int DocumentCount();
OxDocument* DocumentAt(int index);  // null when out of range
int DocumentIndex(OxDocument* doc); // -1 for a null or unknown document
OxDocument* ActiveDocument();       // null when there is no document
int ActiveDocumentIndex();          // -1 when there is no document
// A new empty document (with render settings), made active; its index.
int NewDocument();
bool ActivateDocument(int index);
// Closes every document: the host then has no active document.
void CloseAllDocuments();

// ---- scene files -------------------------------------------------------------

// Loading adds a NEW document and makes it active (the registry gets the
// file's plug-ins, replacing the previous registry; a file without
// `renderSettings` gets empty render settings, like a new document; the
// active object/material is the last selected one in document order). On error `error` gets a
// one-line message naming the key and its JSON path, and the host is left as
// it was.
bool LoadSceneFile(const std::string& path, std::string& error);
bool LoadSceneString(std::string_view json, std::string& error);
// Saves the given document (null: the active one) with the registry.
bool SaveSceneFile(const std::string& path, std::string& error, OxDocument* doc = nullptr);
std::string SaveSceneString(OxDocument* doc = nullptr);

// ---- what the script prints --------------------------------------------------

// `show scene` for the active document ("no document" when there is none):
//   the objects as a tree, two spaces a level, `name [type]`; each object's
//   tags one level deeper as `#name [type]`; beyond 40 levels a line keeps 80
//   spaces and starts with `(LEVEL) `;
//   `material name [type]` for each material, its channels one level deeper
//   as `channel N: name [type]` or `channel N: no shader`; under channel 3
//   the reflectance entries, `reflectance N: name [type]`,
//   `reflectance N: link to name [type]`, `... link to nothing` or `... empty`;
//   below a layer shader its layers, `layer N (kind K)` followed by
//   `: name [type]` (held, its own layers below it), `: link to name [type]`,
//   `: link to nothing`, `: empty link` or `: value V`;
//   `videopost name [type]` for each videopost, or `no render settings`.
//   Selected objects and materials end in ` (selected)`.
std::vector<std::string> SceneLines();
// `show selection`: `active object: PATH|none`, `active material: NAME|none`,
// `selected objects: PATH, ...|none`, `selected materials: NAME, ...|none`.
std::vector<std::string> SelectionLines();

// ---- selection ---------------------------------------------------------------

// Make the object at PATH (names joined by '/', from the top level) / the first
// material named NAME the only selected and active one. False with a reason
// when not found or when there is no document.
bool SelectObjectPath(std::string_view path, std::string& reason);
bool SelectMaterial(std::string_view name, std::string& reason);
void DeselectAll();

// ---- undo --------------------------------------------------------------------

// The host's undo / redo of the active document, one step; false when there is
// nothing to undo / redo.
bool Undo();
bool Redo();
// Open undo brackets over all documents.
int UnbalancedUndoBrackets();
// Called after each script command: an open bracket is a breach; closes it.
// True when all brackets were balanced.
bool CheckUndoBrackets();

// ---- counters ----------------------------------------------------------------

size_t SceneChangedCount();
size_t MaterialUpdateCount();
size_t NodeMessageCount();

// ---- census ------------------------------------------------------------------

enum class CensusKind { Object, Tag, Shader, Videopost };
const char* CensusKindName(CensusKind kind); // "object", "tag", "shader", "videopost"

struct CensusEntry {
  int32_t typeId = 0;
  CensusKind kind = CensusKind::Object;
  size_t count = 0;
  bool known = false; // the registry has a plug-in with this id and kind's type code
};
// Sorted by kind, then type id. Null: the active document.
std::vector<CensusEntry> Census(OxDocument* doc = nullptr);

// ---- registry ----------------------------------------------------------------

void RegisterPlugin(int32_t id, int32_t typeCode, std::string_view name);

// ---- builder (tests, benchmarks) --------------------------------------------

// Each appends at the end of its list and answers the new node's handle (null
// and no change when a handle is wrong). `parent` null: a top-level object.
OxNode* AddObject(OxDocument* doc, OxNode* parent, std::string_view name, int32_t type);
OxNode* AddTag(OxNode* object, std::string_view name, int32_t type);
OxNode* AddMaterial(OxDocument* doc, std::string_view name, int32_t type);
// Creates channel `index` (0..14) if missing and puts a new shader in it (an
// empty name/type 0 leaves the channel without shader; answers null then).
OxNode* SetChannelShader(OxNode* material, int32_t index, std::string_view name, int32_t type);
// A shader owned by the material, listed in its reflectance layers.
OxNode* AddReflectanceShader(OxNode* material, std::string_view name, int32_t type);
// Lists an existing shader (held elsewhere) in the material's reflectance.
bool AddReflectanceRef(OxNode* material, OxNode* shader);
// Layers of a layer shader (type OX_TYPE_LAYER_SHADER).
OxNode* AddLayerShader(OxNode* layerShader, std::string_view name, int32_t type); // kind 2, owned
bool AddLayerLink(OxNode* layerShader, OxNode* shader);                           // kind 2, ref
bool AddLayerEmpty(OxNode* layerShader);                                          // kind 2, null link
bool AddLayerValue(OxNode* layerShader, int32_t value);                           // kind 2, not a link
bool AddLayerOther(OxNode* layerShader, int32_t kind);                            // holds nothing
// Creates render settings when the document has none.
OxNode* AddVideopost(OxDocument* doc, std::string_view name, int32_t type);
void RemoveRenderSettings(OxDocument* doc);
bool SetSelected(OxNode* node, bool selected); // objects and materials

// ---- inspection --------------------------------------------------------------

bool IsLiveNode(const OxNode* node);
bool IsLiveDocument(const OxDocument* doc);
std::string NodeNameOf(const OxNode* node); // "" for a dead handle
int32_t NodeTypeOf(const OxNode* node);     // 0 for a dead handle
OxDocument* NodeDocumentOf(const OxNode* node);
// Names from the top level joined by '/', "" for a dead or detached object.
std::string ObjectPathOf(const OxNode* object);
size_t LiveNodeCount();

// Bare traversal for benchmark baselines: every object in document order
// (pre-order, iterative) with its depth, and each tag of it, without handles
// being validated.
struct BareWalkCounts {
  size_t objects = 0;
  size_t tags = 0;
  size_t tagsOfType = 0;
};
BareWalkCounts BareWalk(OxDocument* doc, int32_t tagType);
void ForEachObject(OxDocument* doc, const std::function<void(OxNode* object, int depth)>& visit);

} // namespace standin
