// The scene's areas as the module sees them: handles checked, host-owned
// sequences stable, links weak, selection and registry answers.
#include "scene_support.h"

#include <functional>

namespace standin::test {
namespace {

using AreasTest = SceneTest;

// Every operation handed a stale, null or wrong-kind handle reports one
// breach and answers null/0 instead of touching anything.
TEST_F(AreasTest, BadHandlesAreBreachesNotCrashes) {
  LoadFixture();
  OxDocument* doc = docs->active();
  OxNode* floor = Find("Floor");
  DeleteStep({"Floor"}); // `floor` is now stale
  OxNode* stale = floor;
  OxNode* notObject = Find("Rust");
  OxNode* wrongKind = reinterpret_cast<OxNode*>(doc); // a document handle passed as a node
  OxNodeArray* array = arrays->create();
  OxValue* value = values->create();
  const std::string before = SaveSceneString();

  int32_t count = -1;
  const std::vector<std::pair<const char*, std::function<bool()>>> calls = {
      {"NodeFirstChild", [&] { return nodes->firstChild(stale) == nullptr; }},
      {"NodeNext", [&] { return nodes->next(stale) == nullptr; }},
      {"NodeTypeId", [&] { return nodes->typeId(stale) == 0; }},
      {"NodeName", [&] { return nodes->name(stale) == nullptr; }},
      {"NodeOwner", [&] { return nodes->owner(stale) == nullptr; }},
      {"NodeDocument", [&] { return nodes->document(stale) == nullptr; }},
      {"NodeDetach", [&] { return nodes->detach(stale) == 0; }},
      {"NodeDestroy", [&] { return nodes->destroy(stale), true; }},
      {"NodeSendMessage", [&] { return nodes->sendMessage(stale, 5, nullptr) == 0; }},
      {"NodeTypeId", [&] { return nodes->typeId(nullptr) == 0; }},
      {"NodeTypeId", [&] { return nodes->typeId(wrongKind) == 0; }},
      {"ObjectTagsOfType",
       [&] { return objects->tagsOfType(stale, 1012345, &count) == nullptr && count == 0; }},
      {"ObjectTagsOfType", [&] { return objects->tagsOfType(notObject, 1012345, &count) == nullptr; }},
      {"MaterialChannel", [&] { return materials->channel(Find("Hand"), 0) == nullptr; }},
      {"ChannelShader",
       [&] { return materials->channelShader(reinterpret_cast<OxChannel*>(array)) == nullptr; }},
      {"MaterialLayerShaders",
       [&] { return materials->layerShaders(stale, array), arrays->count(array) == 0; }},
      {"RenderSettingsFirstVideopost", [&] { return render->firstVideopost(notObject) == nullptr; }},
      {"DocumentFirstObject",
       [&] { return docs->firstObject(reinterpret_cast<OxDocument*>(stale)) == nullptr; }},
      {"DocumentSelectObject", [&] { return docs->selectObject(doc, stale, 0), true; }},
      {"DocumentSelectMaterial", [&] { return docs->selectMaterial(doc, Find("Hand"), 0), true; }},
      {"LinkNew", [&] { return links->create(stale) == nullptr; }},
      {"LayerFirst", [&] { return layers->first(stale) == nullptr; }},
      {"LayerParameter", [&] { return layers->parameter(nullptr, OX_LAYER_PARAM_LINK, value) == 0; }},
      {"NodeArrayAt", [&] { return arrays->at(array, 0) == nullptr; }},
      {"ValueKind", [&] { return values->kind(reinterpret_cast<OxValue*>(array)) == 0; }},
  };
  for (const auto& [op, call] : calls) {
    const size_t breaches = BreachCount();
    printed.clear();
    EXPECT_TRUE(call()) << op;
    EXPECT_EQ(BreachCount(), breaches + 1) << op;
    ASSERT_EQ(printed.size(), 1u) << op;
    EXPECT_EQ(printed[0].rfind(std::string("breach: ") + op + ": ", 0), 0u) << printed[0];
  }
  EXPECT_EQ(SaveSceneString(), before);
  values->release(value);
  arrays->release(array);
}

// The sequence stays readable and unchanged while the caller destroys the
// tags in it; the next call replaces it.
TEST_F(AreasTest, TagsOfTypeStayReadableWhileDeleting) {
  LoadFixture();
  OxDocument* doc = docs->active();
  OxNode* rig = Find("Rig");
  OxNode* hand = Find("Hand");
  int32_t count = 0;
  OxNode* const* tags = objects->tagsOfType(hand, 1012345, &count);
  ASSERT_EQ(count, 2);
  const std::vector<OxNode*> copy(tags, tags + count);
  EXPECT_EQ(Name(copy[0]), "Wobble.2");
  EXPECT_EQ(Name(copy[1]), "Wobble.3");
  ASSERT_TRUE(undo->begin(doc));
  for (int32_t i = 0; i < count; ++i) {
    EXPECT_EQ(tags[i], copy[i]);
    Delete(tags[i]);
  }
  ASSERT_TRUE(undo->end(doc));
  EXPECT_EQ(std::vector<OxNode*>(tags, tags + count), copy);
  EXPECT_FALSE(IsLiveNode(copy[0]));
  EXPECT_EQ(objects->tagsOfType(hand, 1012345, &count), nullptr);
  EXPECT_EQ(count, 0);
  // Only tags of the type, in tag order.
  tags = objects->tagsOfType(rig, 5612, &count);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(Name(tags[0]), "Phong");
  EXPECT_EQ(BreachCount(), 0u);
}

// Reflectance entries (owned, referenced), each layer shader followed by the
// shaders nested in it; appended to what the array held.
TEST_F(AreasTest, LayerShadersAppendEntriesAndNestedShaders) {
  LoadFixture();
  OxNode* rust = Find("Rust");
  OxNodeArray* array = arrays->create();
  materials->layerShaders(Find("Paint"), array); // no reflectance: nothing
  EXPECT_EQ(arrays->count(array), 0);
  docs->selectedMaterials(docs->active(), array);
  materials->layerShaders(rust, array);
  EXPECT_EQ(ArrayNames(array),
            (std::vector<std::string>{"Rust", "Coat", "Grime.1", "Inner", "Grime.2", "Chip", "Cycle"}));
  EXPECT_EQ(nodes->owner(arrays->at(array, 1)), rust);
  EXPECT_EQ(nodes->owner(arrays->at(array, 2)), arrays->at(array, 1));
  EXPECT_EQ(nodes->owner(arrays->at(array, 6)), Find("Paint"));
  // Deleting the layer shader kills the nested entries after it: stale, not null.
  DeleteStep({"Coat"});
  EXPECT_NE(arrays->at(array, 3), nullptr);
  EXPECT_FALSE(IsLiveNode(arrays->at(array, 3)));
  EXPECT_EQ(BreachCount(), 0u);
  EXPECT_EQ(nodes->typeId(arrays->at(array, 3)), 0);
  EXPECT_EQ(BreachCount(), 1u);
  arrays->clear(array);
  materials->layerShaders(rust, array);
  EXPECT_EQ(ArrayNames(array), (std::vector<std::string>{"Chip", "Cycle"}));
  arrays->release(array);
}

TEST_F(AreasTest, MaterialChannelsAndLayers) {
  LoadFixture();
  OxNode* rust = Find("Rust");
  std::vector<int> present;
  for (int i = -1; i <= 15; ++i)
    if (materials->channel(rust, i) != nullptr)
      present.push_back(i);
  EXPECT_EQ(present, (std::vector<int>{0, 2, 3, 6}));
  EXPECT_EQ(materials->channelShader(materials->channel(rust, 2)), nullptr);
  EXPECT_EQ(materials->channelShader(materials->channel(rust, 3)), nullptr);
  OxNode* mix = materials->channelShader(materials->channel(rust, 0));
  EXPECT_EQ(Name(mix), "Mix");
  EXPECT_EQ(nodes->owner(mix), rust);

  struct Seen {
    int32_t kind;
    bool read;
    int32_t valueKind;
    std::string target;
  };
  std::vector<Seen> seen;
  OxValue* value = values->create();
  for (OxLayer* layer = layers->first(mix); layer != nullptr; layer = layers->next(layer)) {
    Seen s{layers->kind(layer), layers->parameter(layer, OX_LAYER_PARAM_LINK, value) != 0, 0, "-"};
    if (s.read) {
      s.valueKind = values->kind(value);
      OxLink* link = values->link(value, OX_VALUE_KIND_LINK);
      if (link != nullptr) {
        OxNode* target = links->target(link, nodes->document(mix), 0);
        s.target = target != nullptr ? Name(target) : "";
      }
    }
    seen.push_back(s);
  }
  values->release(value);
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[0].target, "Grime");
  EXPECT_EQ(seen[1].target, "Chip");
  EXPECT_EQ(seen[2].target, "");                    // empty link
  EXPECT_NE(seen[3].valueKind, OX_VALUE_KIND_LINK); // a value, not a link
  EXPECT_EQ(seen[3].target, "-");
  EXPECT_EQ(seen[4].kind, 1);
  EXPECT_FALSE(seen[4].read);
  EXPECT_EQ(layers->first(Find("Bump")), nullptr); // not a layer shader
  EXPECT_EQ(BreachCount(), 0u);
}

// A value's link is borrowed: reading the next layer into the value retires it.
TEST_F(AreasTest, ValueLinkIsBorrowed) {
  LoadFixture();
  OxLayer* layer = layers->first(Find("Mix"));
  OxValue* value = values->create();
  ASSERT_TRUE(layers->parameter(layer, OX_LAYER_PARAM_LINK, value));
  OxLink* first = values->link(value, OX_VALUE_KIND_LINK);
  ASSERT_TRUE(layers->parameter(layers->next(layer), OX_LAYER_PARAM_LINK, value));
  EXPECT_EQ(links->target(first, docs->active(), 0), nullptr);
  EXPECT_EQ(BreachCount(), 1u);
  values->release(value);
  EXPECT_EQ(scene::LiveModuleObjects(), 0u);
}

TEST_F(AreasTest, LinksResolveOnlyInTheirDocumentAndWhileAlive) {
  LoadFixture();
  OxDocument* first = docs->active();
  OxNode* lamp = Find("Lamp");
  OxLink* link = links->create(lamp);
  EXPECT_EQ(links->target(link, first, 0), lamp);
  NewDocument();
  EXPECT_EQ(links->target(link, docs->active(), 0), nullptr);
  EXPECT_EQ(links->target(link, nullptr, 0), nullptr);
  EXPECT_EQ(links->create(nullptr), nullptr);
  EXPECT_EQ(links->target(nullptr, first, 0), nullptr);
  ActivateDocument(0);
  DeleteStep({"Lamp"});
  EXPECT_EQ(links->target(link, first, 0), nullptr);
  EXPECT_EQ(BreachCount(), 0u);
  links->release(link);
  EXPECT_EQ(links->target(link, first, 0), nullptr); // released: a stale link handle
  EXPECT_EQ(BreachCount(), 1u);
}

TEST_F(AreasTest, SelectionInDocumentOrder) {
  LoadFixture();
  OxDocument* doc = docs->active();
  OxNodeArray* array = arrays->create();
  arrays->count(array);
  docs->selectedObjects(doc, array, 0);
  EXPECT_EQ(ArrayNames(array), (std::vector<std::string>{"Rig", "Hand"}));
  docs->selectObject(doc, Find("Leg"), 0);
  docs->selectedObjects(doc, array, 0); // emptied first
  EXPECT_EQ(ArrayNames(array), (std::vector<std::string>{"Leg"}));
  docs->selectMaterial(doc, Find("Paint"), 0);
  docs->selectedMaterials(doc, array);
  EXPECT_EQ(ArrayNames(array), (std::vector<std::string>{"Paint"}));
  EXPECT_EQ(SelectionLines(),
            (std::vector<std::string>{"active object: Rig/Leg", "active material: Paint",
                                      "selected objects: Rig/Leg", "selected materials: Paint"}));
  // An object of another document is refused.
  OxNode* leg = Find("Leg");
  NewDocument();
  docs->selectObject(docs->active(), leg, 0);
  EXPECT_EQ(BreachCount(), 1u);
  arrays->release(array);
}

TEST_F(AreasTest, RegistryRecords) {
  LoadFixture();
  OxNode* tag = registry->lookup(1012345, OX_PLUGINTYPE_TAG);
  ASSERT_NE(tag, nullptr);
  EXPECT_EQ(nodes->typeId(tag), OX_PLUGINTYPE_TAG);
  EXPECT_EQ(Name(tag), "Wobble Tag");
  EXPECT_EQ(registry->lookup(1012345, OX_PLUGINTYPE_ANY), tag);
  EXPECT_EQ(registry->lookup(1012345, OX_PLUGINTYPE_SHADER), nullptr);
  EXPECT_EQ(registry->lookup(42, OX_PLUGINTYPE_ANY), nullptr);
  EXPECT_EQ(nodes->document(tag), nullptr);
  EXPECT_EQ(nodes->next(tag), nullptr);
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_F(AreasTest, DocumentsAndNotifications) {
  EXPECT_EQ(docs->active(), nullptr);
  LoadFixture();
  OxDocument* doc = docs->active();
  EXPECT_EQ(Name(docs->firstObject(doc)), "Rig");
  EXPECT_EQ(Name(docs->firstMaterial(doc)), "Rust");
  OxNode* settings = docs->renderSettings(doc);
  EXPECT_EQ(Name(render->firstVideopost(settings)), "Glow");
  EXPECT_EQ(Name(nodes->firstChild(docs->firstObject(doc))), "Arm");
  EXPECT_EQ(Name(nodes->next(docs->firstObject(doc))), "Lamp");
  events->sceneChanged(0);
  events->sceneChanged(0);
  materials->update(Find("Rust"), 1, 1);
  EXPECT_TRUE(nodes->sendMessage(Find("Rust"), 5, nullptr));
  EXPECT_EQ(SceneChangedCount(), 2u);
  EXPECT_EQ(MaterialUpdateCount(), 1u);
  EXPECT_EQ(NodeMessageCount(), 1u);
  RemoveRenderSettings(doc);
  EXPECT_EQ(docs->renderSettings(doc), nullptr);
  CloseAllDocuments();
  EXPECT_EQ(docs->active(), nullptr);
  EXPECT_EQ(docs->firstObject(doc), nullptr); // a closed document's handle is stale
  EXPECT_EQ(BreachCount(), 1u);
}

} // namespace
} // namespace standin::test
