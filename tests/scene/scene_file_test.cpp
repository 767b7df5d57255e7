// Scene files: errors that name their JSON path and leave the host alone,
// load/save identity, deep hierarchies, and what `show scene` prints.
#include "scene_support.h"

#include <filesystem>

namespace standin::test {
namespace {

using SceneFileTest = SceneTest;

struct BadFile {
  const char* label;
  const char* json;
  const char* error;
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const BadFile& c, std::ostream* os) {
  *os << c.label;
}

class SceneFileErrors : public SceneTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(SceneFileErrors, NameThePathAndChangeNothing) {
  LoadFixture();
  const std::string before = SaveSceneString();
  const size_t live = LiveNodeCount();
  const int count = DocumentCount();
  OxDocument* active = ActiveDocument();
  std::string error;
  EXPECT_FALSE(LoadSceneString(GetParam().json, error));
  EXPECT_EQ(error, GetParam().error);
  EXPECT_EQ(error.find('\n'), std::string::npos);
  EXPECT_EQ(DocumentCount(), count);
  EXPECT_EQ(ActiveDocument(), active);
  EXPECT_EQ(LiveNodeCount(), live);
  EXPECT_EQ(SaveSceneString(), before); // registry included
  EXPECT_EQ(BreachCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SceneFileErrors,
    ::testing::Values(
        BadFile{
            "Truncated", R"({"objects": [{"name": "A", "type": 5, "tags": [{"name": "T")",
            "objects[0].tags[0]: invalid JSON: parse error at line 1, column 60: syntax error while parsing "
            "object - unexpected end of input; expected '}'"},
        BadFile{"NotJson", "hello",
                "(top level): invalid JSON: parse error at line 1, column 1: syntax error "
                "while parsing value - invalid literal; last read: 'h'"},
        BadFile{"Empty", "",
                "(top level): invalid JSON: parse error at line 1, column 1: syntax error while "
                "parsing value - unexpected end of input; expected '[', '{', or a literal"},
        BadFile{"TrailingGarbage", "{} {}",
                "(top level): invalid JSON: parse error at line 1, column 4: syntax "
                "error while parsing value - unexpected '{'; expected end of input"},
        BadFile{"NotAnObject", "[]", "(top level): expected an object"},
        BadFile{"UnknownTopKey", R"({"object": []})", "object: unknown key"},
        BadFile{"UnknownKey", R"({"objects": [{"name": "A", "type": 5, "colour": 3}]})",
                "objects[0].colour: unknown key"},
        BadFile{"DuplicateKey", R"({"objects": [{"name": "A", "type": 5, "name": "B"}]})",
                "objects[0].name: duplicate key"},
        BadFile{"WrongType", R"({"objects": [{"name": "A", "type": 5, "tags": [{"name": "T", "type": 1},
                {"name": "U", "type": "7"}]}]})",
                "objects[0].tags[1].type: expected an integer"},
        BadFile{"FloatType", R"({"objects": [{"name": "A", "type": 5.5}]})",
                "objects[0].type: expected an integer"},
        BadFile{"NameNotString", R"({"materials": [{"name": 3, "type": 5703}]})",
                "materials[0].name: expected a string"},
        BadFile{"SelectedNotBool", R"({"objects": [{"name": "A", "type": 5, "selected": 1}]})",
                "objects[0].selected: expected true or false"},
        BadFile{"MissingType", R"({"objects": [{"name": "A", "children": [{"name": "B"}]}]})",
                "objects[0].children[0]: missing key \"type\""},
        BadFile{"NegativeId", R"({"objects": [{"name": "A", "type": -5}]})",
                "objects[0].type: expected an integer from 0 to 2147483647"},
        BadFile{"HugeId", R"({"renderSettings": {"videoposts": [{"name": "V", "type": 2147483648}]}})",
                "renderSettings.videoposts[0].type: expected an integer from 0 to 2147483647"},
        BadFile{"PluginTypeCode", R"({"plugins": [{"id": 1, "type": 39, "name": "P"}]})",
                "plugins[0].type: expected an integer from 0 to 38"},
        BadFile{"DuplicatePlugin", R"({"plugins": [{"id": 1, "type": 6, "name": "P"}, {"id": 1, "type": 6,
                "name": "Q"}]})",
                "plugins[1]: duplicate plug-in 1 of type 6"},
        BadFile{"Channel15", R"({"materials": [{"name": "M", "type": 5703, "channels": {"15": null}}]})",
                "materials[0].channels.15: channel index must be 0 to 14"},
        BadFile{"ChannelNotNumber",
                R"({"materials": [{"name": "M", "type": 5703, "channels": {"03": null}}]})",
                "materials[0].channels.03: channel index must be 0 to 14"},
        BadFile{"DuplicateUid", R"({"materials": [{"name": "M", "type": 5703, "channels": {
                "0": {"name": "S", "type": 1, "uid": "x"}, "1": {"name": "T", "type": 1, "uid": "x"}}}]})",
                "materials[0].channels.1.uid: duplicate uid \"x\""},
        BadFile{"MissingRef",
                R"({"materials": [{"name": "M", "type": 5703, "reflectance": [null, {"ref": "S7"}]}]})",
                "materials[0].reflectance[1].ref: no node has uid \"S7\""},
        BadFile{"RefToObject",
                R"({"objects": [{"name": "A", "type": 5, "uid": "a"}], "materials": [{"name": "M",
                "type": 5703, "channels": {"0": {"name": "L", "type": 1011123, "layers": [{"kind": 2,
                "ref": "a"}]}}}]})",
                "materials[0].channels.0.layers[0].ref: uid \"a\" does not name a shader"},
        BadFile{"RefWithOtherKeys", R"({"materials": [{"name": "M", "type": 5703, "reflectance": [{"ref": "a",
                "name": "X"}]}]})",
                "materials[0].reflectance[0].name: a reference entry has no other keys"},
        BadFile{"LayersOnPlainShader",
                R"({"materials": [{"name": "M", "type": 5703, "channels": {"0": {"layers":
                [], "name": "N", "type": 1011116}}}]})",
                "materials[0].channels.0.layers: only a layer shader (type 1011123) has layers"},
        BadFile{"TwoLayerContents",
                R"({"materials": [{"name": "M", "type": 5703, "channels": {"0": {"name": "L",
                "type": 1011123, "layers": [{"kind": 2, "value": 1, "shader": null}]}}}]})",
                "materials[0].channels.0.layers[0].shader: a layer holds only one of shader, ref and value"},
        BadFile{
            "ContentOnOtherKind", R"({"materials": [{"name": "M", "type": 5703, "channels": {"0": {"name":
                "L", "type": 1011123, "layers": [{"value": 1, "kind": 1}]}}}]})",
            "materials[0].channels.0.layers[0].value: only a layer of kind 2 holds a shader, ref or value"},
        BadFile{"RenderSettingsArray", R"({"renderSettings": []})",
                "renderSettings: expected an object or null"},
        BadFile{"ReflectanceScalar", R"({"materials": [{"name": "M", "type": 5703, "reflectance": [3]}]})",
                "materials[0].reflectance[0]: expected an object or null"}),
    [](const auto& info) { return std::string(info.param.label); });

std::vector<std::string> SceneFiles() {
  std::vector<std::string> files;
  for (const char* dir : {ORPHANEX_SCENES_DIR, ORPHANEX_SOURCE_DIR "/examples"})
    if (std::filesystem::is_directory(dir))
      for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".json")
          files.push_back(entry.path().string());
  return files;
}

// load -> save -> load -> save gives the same bytes, for every bundled scene
// that loads (some fixtures are bad on purpose).
TEST_F(SceneFileTest, SaveOfALoadedSaveIsIdentical) {
  size_t checked = 0;
  for (const std::string& file : SceneFiles()) {
    std::string error;
    if (!LoadSceneFile(file, error))
      continue;
    const std::string first = SaveSceneString();
    const std::vector<std::string> lines = SceneLines();
    ASSERT_TRUE(LoadSceneString(first, error)) << file << ": " << error;
    EXPECT_EQ(SaveSceneString(), first) << file;
    EXPECT_EQ(SceneLines(), lines) << file;
    ++checked;
  }
  EXPECT_GE(checked, 1u);
}

// References get uids where the file had none (deleting the named shader's
// file uid is not possible, so a scene built in memory shows it); cycles of
// references neither hang saving nor printing.
TEST_F(SceneFileTest, ReferencesAndCyclesSave) {
  NewDocument();
  OxDocument* doc = ActiveDocument();
  OxNode* m = AddMaterial(doc, "M", 5703);
  OxNode* a = SetChannelShader(m, 0, "A", OX_TYPE_LAYER_SHADER);
  OxNode* b = SetChannelShader(m, 1, "B", OX_TYPE_LAYER_SHADER);
  ASSERT_TRUE(AddLayerLink(a, b));
  ASSERT_TRUE(AddLayerLink(b, a));
  ASSERT_TRUE(AddLayerLink(b, b));
  ASSERT_TRUE(AddReflectanceRef(m, a));
  const std::string saved = SaveSceneString();
  EXPECT_NE(saved.find(R"("name": "A", "type": 1011123, "uid": "S1")"), std::string::npos) << saved;
  EXPECT_NE(saved.find(R"({"kind": 2, "ref": "S2"})"), std::string::npos) << saved;
  EXPECT_NE(saved.find(R"({"ref": "S1"})"), std::string::npos) << saved;
  std::string error;
  ASSERT_TRUE(LoadSceneString(saved, error)) << error;
  EXPECT_EQ(SaveSceneString(), saved);
  EXPECT_EQ(SceneLines(), (std::vector<std::string>{
                              "material M [5703]",
                              "  channel 0: A [1011123]",
                              "    layer 0 (kind 2): link to B [1011123]",
                              "  channel 1: B [1011123]",
                              "    layer 0 (kind 2): link to A [1011123]",
                              "    layer 1 (kind 2): link to B [1011123]",
                              "  channel 3: no shader",
                              "    reflectance 0: link to A [1011123]",
                          }));
}

TEST_F(SceneFileTest, ShowSceneFormat) {
  LoadFixture();
  EXPECT_EQ(SceneLines(), (std::vector<std::string>{
                              "Rig [5140] (selected)",
                              "  #Wobble [1012345]",
                              "  #Phong [5612]",
                              "  Arm [5159]",
                              "    #Wobble.1 [1012345]",
                              "    Hand [5159] (selected)",
                              "      #Wobble.2 [1012345]",
                              "      #Wobble.3 [1012345]",
                              "  Leg [5159]",
                              "Lamp [5102]",
                              "  #Wobble.4 [1012345]",
                              "Floor [5159]",
                              "material Rust [5703] (selected)",
                              "  channel 0: Mix [1011123]",
                              "    layer 0 (kind 2): Grime [1012346]",
                              "    layer 1 (kind 2): link to Chip [1012346]",
                              "    layer 2 (kind 2): empty link",
                              "    layer 3 (kind 2): value 5",
                              "    layer 4 (kind 1)",
                              "  channel 2: no shader",
                              "  channel 3: no shader",
                              "    reflectance 0: Coat [1011123]",
                              "      layer 0 (kind 2): Grime.1 [1012346]",
                              "      layer 1 (kind 2): Inner [1011123]",
                              "        layer 0 (kind 2): Grime.2 [1012346]",
                              "    reflectance 1: Chip [1012346]",
                              "    reflectance 2: link to Cycle [1011123]",
                              "    reflectance 3: empty",
                              "  channel 6: Bump [1011116]",
                              "material Paint [5703]",
                              "  channel 0: Cycle [1011123]",
                              "    layer 0 (kind 2): link to Mix [1011123]",
                              "    layer 1 (kind 2): link to Cycle [1011123]",
                              "videopost Glow [1023456]",
                              "videopost Bloom [1036221]",
                              "videopost Glow.1 [1023456]",
                          }));
  DeleteStep({"Chip"});
  const std::vector<std::string> lines = SceneLines();
  EXPECT_EQ(lines[15], "    layer 1 (kind 2): link to nothing");
}

TEST_F(SceneFileTest, LoadingAddsAnActiveDocumentAndReplacesTheRegistry) {
  EXPECT_EQ(SceneLines(), std::vector<std::string>{"no document"});
  LoadFixture();
  Load(R"({"plugins": [{"id": 7, "type": 1, "name": "Seven"}], "renderSettings": null})");
  EXPECT_EQ(DocumentCount(), 2);
  EXPECT_EQ(ActiveDocumentIndex(), 1);
  EXPECT_EQ(registry->lookup(1012345, 0), nullptr);
  EXPECT_EQ(Name(registry->lookup(7, 1)), "Seven");
  EXPECT_EQ(docs->renderSettings(docs->active()), nullptr);
  EXPECT_EQ(SceneLines(), std::vector<std::string>{"no render settings"});
  ASSERT_TRUE(ActivateDocument(0));
  EXPECT_EQ(Name(docs->firstObject(docs->active())), "Rig");
  // A file without the key gets (empty) render settings, like a new document.
  Load("{}");
  EXPECT_NE(docs->renderSettings(docs->active()), nullptr);
}

TEST_F(SceneFileTest, SelectionCommands) {
  LoadFixture();
  std::string reason;
  EXPECT_TRUE(SelectObjectPath("Rig/Arm", reason));
  EXPECT_FALSE(SelectObjectPath("Rig/Hand", reason));
  EXPECT_EQ(reason, "no object \"Rig/Hand\"");
  EXPECT_FALSE(SelectMaterial("Wood", reason));
  EXPECT_EQ(reason, "no material \"Wood\"");
  EXPECT_TRUE(SelectMaterial("Paint", reason));
  EXPECT_EQ(SelectionLines(),
            (std::vector<std::string>{"active object: Rig/Arm", "active material: Paint",
                                      "selected objects: Rig/Arm", "selected materials: Paint"}));
  DeselectAll();
  EXPECT_EQ(SelectionLines(),
            (std::vector<std::string>{"active object: none", "active material: none",
                                      "selected objects: none", "selected materials: none"}));
}

TEST_F(SceneFileTest, CensusCountsKindsAndKnowsTheRegistry) {
  LoadFixture();
  std::vector<std::string> lines;
  for (const CensusEntry& e : Census())
    lines.push_back(std::string(CensusKindName(e.kind)) + " " + std::to_string(e.typeId) + " x" +
                    std::to_string(e.count) + (e.known ? " known" : " missing"));
  EXPECT_EQ(lines, (std::vector<std::string>{"object 5102 x1 missing", "object 5140 x1 missing",
                                             "object 5159 x4 known", "tag 5612 x1 missing",
                                             "tag 1012345 x5 known", "shader 1011116 x1 missing",
                                             "shader 1011123 x4 missing", "shader 1012346 x4 known",
                                             "videopost 1023456 x2 known", "videopost 1036221 x1 missing"}));
}

// A chain a million objects deep loads, walks, saves, reloads, deletes with
// undo and is destroyed without recursion.
TEST_F(SceneFileTest, MillionLevelChain) {
  constexpr int kDepth = 1000000;
  std::string text = R"({"objects": [)";
  for (int i = 0; i < kDepth; ++i)
    text += R"({"name": "n", "type": 5159, "tags": [{"name": "t", "type": 7}], "children": [)";
  for (int i = 0; i < kDepth; ++i)
    text += "]}";
  text += "]}";
  Load(text);
  EXPECT_EQ(BareWalk(nullptr, 7).objects, size_t(kDepth));
  EXPECT_EQ(BareWalk(nullptr, 7).tagsOfType, size_t(kDepth));
  const std::string saved = SaveSceneString();
  Load(saved);
  EXPECT_EQ(SaveSceneString(), saved);
  EXPECT_EQ(SceneLines().size(), size_t(2 * kDepth));

  const std::string before = saved;
  DeleteStep({"n"}); // the top of the chain, with everything below it
  EXPECT_EQ(BareWalk(nullptr, 7).objects, 0u);
  ASSERT_TRUE(Undo());
  EXPECT_EQ(SaveSceneString(), before);
  CloseAllDocuments();
  EXPECT_EQ(LiveNodeCount(), 0u);
  EXPECT_EQ(BreachCount(), 0u);
}

} // namespace
} // namespace standin::test
