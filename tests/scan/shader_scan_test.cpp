// The shader scan: channels, reflectance entries and layer shaders at any
// depth; keeping shaders inside layer shaders; links that lead back round;
// reflectance entries that die with an earlier entry; identification.
#include "scan/scan_fixture.h"
#include "scene/world.h"

namespace scantest {
namespace {

constexpr int32_t kGrime = 1012346;
const std::string kNotFound = "Shader plugin 1012346 not found. | -- | --";

// M1: Grime in channel 0, a layer shader two deep holding Grime in channel 6,
// Grime owned by the reflectance and one inside a reflectance layer shader.
// M2: Grime in channel 4. M3: no channels at all.
constexpr const char* kShaderScene = R"({
  "plugins": [],
  "materials": [
    {"name": "M1", "type": 5703,
     "channels": {
       "0": {"name": "G0", "type": 1012346},
       "1": {"name": "Noise", "type": 1011116},
       "2": null,
       "6": {"name": "L6", "type": 1011123, "layers": [
               {"kind": 1},
               {"kind": 2, "value": 5},
               {"kind": 2, "shader": null},
               {"kind": 2, "shader": {"name": "L6in", "type": 1011123, "layers": [
                 {"kind": 2, "shader": {"name": "G6", "type": 1012346}}]}}]}},
     "reflectance": [
       {"name": "GR", "type": 1012346},
       {"name": "LR", "type": 1011123, "layers": [{"kind": 2, "shader": {"name": "GR2", "type": 1012346}}]}]},
    {"name": "M2", "type": 5703, "channels": {"4": {"name": "G4", "type": 1012346}}},
    {"name": "M3", "type": 5703}
  ]
})";

const std::vector<std::string> kAllRows = {"M1 | Color | No", "M1 | Reflectance | No",
                                           "M1 | Reflectance | Yes", "M1 | Bump | Yes",
                                           "M2 | Environment | No"};

TEST_F(ScanTest, ShaderListWalksChannelsReflectanceAndNestedLayerShaders) {
  Load(kShaderScene);
  const size_t updates = standin::MaterialUpdateCount();
  const size_t messages = standin::NodeMessageCount();
  Process({.type = kShader, .action = kList, .id = kGrime});
  EXPECT_EQ(Rows(), kAllRows);
  EXPECT_TRUE(Messages().empty());
  // Every material is updated, also the one without channels.
  EXPECT_EQ(standin::MaterialUpdateCount() - updates, 3u);
  EXPECT_EQ(standin::NodeMessageCount() - messages, 3u);
}

TEST_F(ScanTest, ShaderListOfSelectedMaterials) {
  Load(kShaderScene);
  standin::DeselectAll();
  Process({.type = kShader, .action = kList, .id = kGrime, .scope = 2});
  EXPECT_EQ(Rows(), std::vector<std::string>{kNotFound});
  std::string reason;
  ASSERT_TRUE(standin::SelectMaterial("M2", reason)) << reason;
  Process({.type = kShader, .action = kList, .id = kGrime, .scope = 2});
  EXPECT_EQ(Rows(), std::vector<std::string>{"M2 | Environment | No"});
}

TEST_F(ScanTest, ShaderRemovalDeletesTheLinkedShadersAndKeepsLayerShaders) {
  Load(kShaderScene);
  const std::string before = Saved();
  Process({.type = kShader, .action = kRemove, .id = kGrime});
  EXPECT_EQ(Rows(), std::vector<std::string>{kNotFound});
  EXPECT_TRUE(Messages().empty()) << "nothing was kept, so no note";
  const std::string scene = Scene();
  EXPECT_EQ(scene.find("[1012346]"), std::string::npos) << scene;
  for (const char* layerShader : {"L6 [1011123]", "L6in [1011123]", "LR [1011123]", "Noise [1011116]"})
    EXPECT_NE(scene.find(layerShader), std::string::npos) << layerShader << " missing from\n" << scene;
  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
  EXPECT_FALSE(standin::Undo());
}

TEST_F(ScanTest, ShaderRemovalKeepingLayerShaderContentsListsThemAndNotes) {
  Load(kShaderScene);
  const std::string before = Saved();
  Process({.type = kShader, .action = kRemove, .id = kGrime, .keep = true});
  EXPECT_EQ(Rows(), (std::vector<std::string>{"M1 | Reflectance | Yes", "M1 | Bump | Yes"}));
  EXPECT_EQ(Messages(),
            std::vector<std::string>{
                "message(48): Please note that not all shaders were deleted.\\nIt is possible that "
                "these are within a Layer shader.\\nIf so, these will be listed in the shader list."});
  const std::string scene = Scene();
  for (const char* gone : {"G0 [", "GR [", "G4 ["})
    EXPECT_EQ(scene.find(gone), std::string::npos) << gone << " in\n" << scene;
  for (const char* kept : {"G6 [", "GR2 ["})
    EXPECT_NE(scene.find(kept), std::string::npos) << kept << " missing from\n" << scene;
  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
}

// A layer shader whose layers lead back to itself, directly and through a
// nested one, and a layer shader reached twice along different paths.
constexpr const char* kLoopScene = R"({
  "plugins": [],
  "materials": [
    {"name": "M", "type": 5703, "channels": {
      "0": {"name": "Loop", "type": 1011123, "uid": "loop", "layers": [
              {"kind": 2, "ref": "loop"},
              {"kind": 2, "shader": {"name": "Inner", "type": 1011123, "uid": "inner", "layers": [
                {"kind": 2, "ref": "loop"},
                {"kind": 2, "ref": "inner"},
                {"kind": 2, "shader": {"name": "G", "type": 1012346}}]}}]},
      "5": {"name": "Twice", "type": 1011123, "layers": [{"kind": 2, "ref": "inner"}, {"kind": 2, "ref": "inner"}]}}}
  ]
})";

TEST_F(ScanTest, LayerShadersLinkingBackRoundEndOnThePath) {
  Load(kLoopScene);
  Process({.type = kShader, .action = kList, .id = kGrime});
  // G once under Loop, and once per path through Twice.
  EXPECT_EQ(Rows(), (std::vector<std::string>{"M | Color | Yes", "M | Fog | Yes", "M | Fog | Yes"}));

  const std::string before = Saved();
  Process({.type = kShader, .action = kRemove, .id = kGrime});
  EXPECT_EQ(Rows(), std::vector<std::string>{kNotFound});
  EXPECT_EQ(Scene().find("G [1012346]"), std::string::npos);
  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
}

// Reflectance entries listing shaders that an earlier entry's removal takes
// away: the same shader twice, a shader inside an earlier layer shader, and
// materials listing the same kind of entries one after another.
constexpr const char* kStaleScene = R"({
  "plugins": [],
  "materials": [
    {"name": "M1", "type": 5703, "reflectance": [
      {"name": "GA", "type": 1012346, "uid": "ga"},
      {"ref": "ga"},
      {"name": "LR", "type": 1011123, "layers": [{"kind": 2, "shader": {"name": "GB", "type": 1012346, "uid": "gb"}}]},
      {"ref": "gb"}]},
    {"name": "M2", "type": 5703, "reflectance": [{"name": "GC", "type": 1012346}]}
  ]
})";

TEST_F(ScanTest, ReflectanceEntriesGoneWithAnEarlierEntryAreNotExamined) {
  Load(kStaleScene);
  Process({.type = kShader, .action = kList, .id = kGrime});
  // The walker does not look for duplicates; GB is owned by LR, not by M1.
  EXPECT_EQ(Rows(), (std::vector<std::string>{"M1 | Reflectance | No", "M1 | Reflectance | No",
                                              "M1 | Reflectance | Yes", "M2 | Reflectance | No"}));
  const std::string before = Saved();
  Process({.type = kShader, .action = kRemove, .id = kGrime});
  EXPECT_EQ(Rows(), std::vector<std::string>{kNotFound});
  EXPECT_EQ(Scene().find("[1012346]"), std::string::npos) << Scene();
  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
}

struct IdentifyCase {
  const char* name;
  const char* scene;
  const char* expectedName;
};

void PrintTo(const IdentifyCase& c, std::ostream* os) {
  *os << c.name;
}

class ShaderIdentifyTest : public ScanTest, public ::testing::WithParamInterface<IdentifyCase> {};

TEST_P(ShaderIdentifyTest, NamesThePlugin) {
  Load(GetParam().scene);
  Process({.type = kShader, .action = kIdentify, .id = kGrime});
  EXPECT_EQ(Messages(),
            std::vector<std::string>{std::string("message(48): Plugin 1012346 is a Shader plugin with "
                                                 "the default name ") +
                                     GetParam().expectedName + "."});
}

INSTANTIATE_TEST_SUITE_P(
    Names, ShaderIdentifyTest,
    ::testing::Values(
        // A hit in a channel skips the material's other channels; later
        // materials are walked.
        IdentifyCase{"ChannelSkipsLaterChannels",
                     R"({"materials": [{"name": "M", "type": 5703, "channels": {
                           "1": {"name": "S1", "type": 1012346}, "5": {"name": "S5", "type": 1012346}}}]})",
                     "S1"},
        IdentifyCase{
            "LaterMaterialWalked",
            R"({"materials": [{"name": "M", "type": 5703, "channels": {"1": {"name": "S1", "type": 1012346}}},
                                       {"name": "N", "type": 5703, "channels": {"0": {"name": "N0", "type": 1012346}}}]})",
            "N0"},
        // A hit in the reflectance skips the other entries only.
        IdentifyCase{"ReflectanceThenChannel",
                     R"({"materials": [{"name": "M", "type": 5703,
                           "channels": {"5": {"name": "S5", "type": 1012346}},
                           "reflectance": [{"name": "R1", "type": 1012346}, {"name": "R2", "type": 1012346}]}]})",
                     "S5"},
        IdentifyCase{"ReflectanceFirstEntry",
                     R"({"materials": [{"name": "M", "type": 5703,
                           "reflectance": [{"name": "R1", "type": 1012346}, {"name": "R2", "type": 1012346}]}]})",
                     "R1"},
        // A hit in a layer shader ends that layer shader only.
        IdentifyCase{
            "LayerShaderEndsAtFirstHit",
            R"({"materials": [{"name": "M", "type": 5703, "channels": {"0": {"name": "L", "type": 1011123,
                           "layers": [{"kind": 2, "shader": {"name": "X1", "type": 1012346}},
                                      {"kind": 2, "shader": {"name": "X2", "type": 1012346}}]}}}]})",
            "X1"},
        IdentifyCase{
            "NestedLayerShaderEndsOnlyItself",
            R"({"materials": [{"name": "M", "type": 5703, "channels": {"0": {"name": "L", "type": 1011123,
                           "layers": [{"kind": 2, "shader": {"name": "In", "type": 1011123, "layers": [
                                        {"kind": 2, "shader": {"name": "X1", "type": 1012346}},
                                        {"kind": 2, "shader": {"name": "X2", "type": 1012346}}]}},
                                      {"kind": 2, "shader": {"name": "X3", "type": 1012346}}]}}}]})",
            "X3"},
        IdentifyCase{"Registry",
                     R"({"plugins": [{"id": 1012346, "type": 1, "name": "Grime Shader"}],
                         "materials": [{"name": "M", "type": 5703, "channels": {"0": {"name": "S", "type": 1012346}}}]})",
                     "Grime Shader"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanTest, LayerShaderIdentifierFindsLayerShadersWithoutLookingInside) {
  Load(kShaderScene);
  Process({.type = kShader, .action = kList, .id = 1011123});
  EXPECT_EQ(Rows(), (std::vector<std::string>{"M1 | Reflectance | No", "M1 | Bump | No"}));
}

TEST_F(ScanTest, NotePerSelectedMaterialOnceAShaderWasKept) {
  Load(R"({"materials": [
    {"name": "A", "type": 5703, "selected": true, "channels": {"0": {"name": "L", "type": 1011123,
      "layers": [{"kind": 2, "shader": {"name": "X", "type": 1012346}}]}}},
    {"name": "B", "type": 5703, "selected": true, "channels": {"0": {"name": "Y", "type": 1012346}}}]})");
  Process({.type = kShader, .action = kRemove, .id = kGrime, .scope = 2, .keep = true});
  EXPECT_EQ(Rows(), std::vector<std::string>{"A | Color | Yes"});
  // Shown at the end of each material's walk from the first kept shader on.
  EXPECT_EQ(Messages().size(), 2u);
}

} // namespace
} // namespace scantest
