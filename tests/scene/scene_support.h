// A fixture that drives the scene through its area tables as the module
// would, with everything the host prints captured.
#pragma once

#include "core/breach.h"
#include "core/output.h"
#include "core/texts.h"
#include "scene/model.h"
#include "scene/world.h"
#include "support/files.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace standin::test {

using test_support::ReadFile;

inline std::string ScenePath(const std::string& name) {
  return std::string(ORPHANEX_SCENES_DIR) + "/" + name;
}

class SceneTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetScene();
    ResetBreaches();
    SetPrintSink([this](std::string_view line) { printed.emplace_back(line); });
    OxHostTables tables{};
    FillSceneAreas(tables);
    docs = static_cast<const OxDocumentArea*>(tables.areas[OX_AREA_DOCUMENT]);
    nodes = static_cast<const OxNodeArea*>(tables.areas[OX_AREA_NODE]);
    objects = static_cast<const OxObjectArea*>(tables.areas[OX_AREA_OBJECT]);
    materials = static_cast<const OxMaterialArea*>(tables.areas[OX_AREA_MATERIAL]);
    render = static_cast<const OxRenderArea*>(tables.areas[OX_AREA_RENDER]);
    arrays = static_cast<const OxNodeArrayArea*>(tables.areas[OX_AREA_NODE_ARRAY]);
    undo = static_cast<const OxUndoArea*>(tables.areas[OX_AREA_UNDO]);
    registry = static_cast<const OxRegistryArea*>(tables.areas[OX_AREA_REGISTRY]);
    values = static_cast<const OxValueArea*>(tables.areas[OX_AREA_VALUE]);
    links = static_cast<const OxLinkArea*>(tables.areas[OX_AREA_LINK]);
    events = static_cast<const OxEventArea*>(tables.areas[OX_AREA_EVENT]);
    layers = LayerShaderLibrary();
  }

  void TearDown() override {
    SetPrintSink({});
    ResetScene();
    ResetBreaches();
  }

  void Load(const std::string& json) {
    std::string error;
    ASSERT_TRUE(LoadSceneString(json, error)) << error;
  }
  void LoadFixture(const std::string& name = "scene_layers.json") {
    std::string error;
    ASSERT_TRUE(LoadSceneFile(ScenePath(name), error)) << error;
  }

  std::string Name(OxNode* node) {
    OxText* text = nodes->name(node);
    std::string name = TextValue(text, "test");
    ReleaseText(text, "test");
    return name;
  }

  // The first node of the active document (in ownership order) with this name.
  OxNode* Find(const std::string& name) {
    scene::Document* doc = scene::Active();
    OxNode* found = nullptr;
    auto visit = [&](scene::Node* node) {
      if (found == nullptr && node->name == name)
        found = node->handle;
    };
    for (scene::Node* n = doc->objects.first; n != nullptr; n = n->next)
      scene::ForEachInSubtree(n, visit);
    for (scene::Node* n = doc->materials.first; n != nullptr; n = n->next)
      scene::ForEachInSubtree(n, visit);
    if (doc->renderSettings != nullptr)
      scene::ForEachInSubtree(doc->renderSettings, visit);
    return found;
  }

  // The module's deletion protocol: record, detach, destroy.
  void Delete(OxNode* node) {
    OxDocument* doc = docs->active();
    EXPECT_TRUE(undo->record(doc, OX_UNDO_DELETE, node, nullptr));
    EXPECT_TRUE(nodes->detach(node));
    nodes->destroy(node);
  }

  void DeleteStep(const std::vector<std::string>& names) {
    OxDocument* doc = docs->active();
    ASSERT_TRUE(undo->begin(doc));
    for (const std::string& name : names) {
      OxNode* node = Find(name);
      ASSERT_NE(node, nullptr) << name;
      Delete(node);
    }
    ASSERT_TRUE(undo->end(doc));
  }

  std::vector<std::string> ArrayNames(OxNodeArray* array) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < arrays->count(array); ++i)
      names.push_back(Name(arrays->at(array, i)));
    return names;
  }

  std::vector<std::string> printed;
  const OxDocumentArea* docs = nullptr;
  const OxNodeArea* nodes = nullptr;
  const OxObjectArea* objects = nullptr;
  const OxMaterialArea* materials = nullptr;
  const OxRenderArea* render = nullptr;
  const OxNodeArrayArea* arrays = nullptr;
  const OxUndoArea* undo = nullptr;
  const OxRegistryArea* registry = nullptr;
  const OxValueArea* values = nullptr;
  const OxLinkArea* links = nullptr;
  const OxEventArea* events = nullptr;
  const OxLayerShaderLibrary* layers = nullptr;
};

} // namespace standin::test
