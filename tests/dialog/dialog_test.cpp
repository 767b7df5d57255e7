// The dialog as a person meets it: its layout, what every opening shows, the
// drop-downs keeping each other consistent, the menu and buttons, and the
// identifier field's conversion.
#include "dialog/dialog_fixture.h"
#include "runtime/runtime.h"
#include "scene/world.h"

#include <string>
#include <utility>
#include <vector>

namespace dialogtest {
namespace {

using Entries = std::vector<std::pair<int32_t, std::string>>;

constexpr const char* kTagScene = R"({
  "plugins": [{"id": 5159, "type": 5, "name": "Cube"}],
  "objects": [
    {"name": "A", "type": 5159, "tags": [{"name": "W1", "type": 4711}, {"name": "W2", "type": 4711}],
     "children": [{"name": "B", "type": 5159, "tags": [{"name": "W3", "type": 4711}]}]}
  ]
})";

TEST_F(DialogTest, LayoutShowsEveryElementInItsPlace) {
  Open();
  const std::vector<std::string> expected = {
      "Orphanex",
      "Menu: Help [About... #5001 | Show Help File (.PDF)... #5002]",
      "Options",
      "  Action to Take: [Generate List v] #5008",
      "  Plugin Type: [Tag v] #5006",
      "  Scope of Process: [All Objects with Tags v] #5007",
      "  [x] Warn Before Deleting #5009 (disabled)  [ ] Do Not Remove Shaders in a Layer Shader #5010 "
      "(disabled)",
      "  Plugin ID: [0] #1005",
      "[Process] #1002  [Cancel] #1003",
      "List #10000:",
      "  Object With Tag | Tag Name",
  };
  std::vector<std::string> lines = standin::DialogLines(true);
  // The title is a resource text; whatever it is, it leads.
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], standin::OpenDialogTitle());
  lines[0] = "Orphanex";
  EXPECT_EQ(lines, expected);

  EXPECT_EQ(Element(kAction).entries,
            (Entries{{0, "Identify Plugin"}, {1, "Generate List"}, {2, "Remove Plugin"}}));
  EXPECT_EQ(Element(kType).entries, (Entries{{0, "Tag"}, {1, "Shader"}, {2, "Object"}, {3, "Post Effect"}}));
  EXPECT_EQ(Element(kScope).entries, (Entries{{0, "All Objects with Tags"},
                                              {1, "Tags on Selected Objects and Children"},
                                              {2, "Tags on Selected Objects Only"}}));
  EXPECT_EQ(Element(kList).customType, OX_LIBRARY_TREEVIEW);
  // Closing and reopening builds the same window without leaking the old one.
  Close();
  Open();
  EXPECT_EQ(standin::DialogLines(true).size(), expected.size());
  EXPECT_EQ(standin::LiveDialogs(), 1u);
}

TEST_F(DialogTest, EveryOpeningShowsGenerateListTagAndTheCheckBoxesOfTheLastProcess) {
  Load(kTagScene);
  Open();
  const standin::ElementInfo& id = Element(kPluginId);
  EXPECT_EQ(id.value, 0.0);
  EXPECT_EQ(id.min, -1e18);
  EXPECT_EQ(id.max, 1e18);
  EXPECT_EQ(id.step, 1.0);
  EXPECT_EQ(id.format, 0x66726561);

  // Changes without "Process" are forgotten by the next opening.
  Set(kAction, 1);
  Set(kType, 1);
  Set(kScope, 2);
  Set(kAction, 2);
  Set(kWarn, 0);
  Set(kKeep, 1);
  Set(kAction, 0);
  Close();
  Open();
  EXPECT_EQ(Element(kAction).value, 1);
  EXPECT_EQ(Element(kType).value, 0);
  EXPECT_EQ(Element(kScope).value, 0);
  EXPECT_EQ(Element(kScope).entries.size(), 3u);
  EXPECT_EQ(Element(kWarn).value, 1);
  EXPECT_EQ(Element(kKeep).value, 0);
  EXPECT_FALSE(Element(kWarn).enabled);
  EXPECT_FALSE(Element(kKeep).enabled);

  // "Process" keeps the boxes; the next opening shows them, still disabled.
  Set(kAction, 2);
  Set(kWarn, 0);
  Set(kKeep, 1);
  Set(kPluginId, 999);
  Press(kProcess);
  Close();
  Open();
  EXPECT_EQ(Element(kWarn).value, 0);
  EXPECT_EQ(Element(kKeep).value, 1);
  EXPECT_FALSE(Element(kWarn).enabled);
  EXPECT_FALSE(Element(kKeep).enabled);

  // Identify mode does not outlive the window: the list draws its rows.
  Set(kAction, 0);
  Close();
  Open();
  Set(kPluginId, 4711);
  Press(kProcess);
  EXPECT_EQ(Header(), (std::vector<std::string>{"Object With Tag", "Tag Name"}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A | W1", "A | W2", "B | W3"}));
}

TEST_F(DialogTest, ClosingEmptiesTheList) {
  Load(kTagScene);
  Open();
  Set(kPluginId, 4711);
  Press(kProcess);
  ASSERT_EQ(Rows().size(), 3u);
  Close();
  Open();
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(Header(), (std::vector<std::string>{"Object With Tag", "Tag Name"}));
}

TEST_F(DialogTest, TheTypeDecidesTheScopeEntries) {
  Open();
  const struct {
    int32_t type;
    Entries scopes;
  } cases[] = {
      {1, {{0, "All Materials"}, {2, "Selected Materials Only"}}},
      {3, {{0, "All Videposts"}}},
      {2, {{0, "All Objects"}, {1, "Selected Objects and Children"}, {2, "Selected Objects Only"}}},
      {0,
       {{0, "All Objects with Tags"},
        {1, "Tags on Selected Objects and Children"},
        {2, "Tags on Selected Objects Only"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    Set(kScope, Element(kScope).entries.back().first); // away from the first entry
    Set(kType, c.type);
    EXPECT_EQ(Element(kScope).entries, c.scopes);
    EXPECT_EQ(Element(kScope).value, 0);
  }
}

TEST_F(DialogTest, TypeAndScopeChangesEmptyTheListAndActionChangesDoNot) {
  Load(kTagScene);
  Open();
  Set(kPluginId, 4711);
  Press(kProcess);
  ASSERT_EQ(Rows().size(), 3u);

  Set(kAction, 2);
  EXPECT_EQ(Rows().size(), 3u);
  Set(kAction, 1);
  EXPECT_EQ(Rows().size(), 3u);

  // The host tells the dialog of every choice, also of the entry already shown.
  for (const auto& [id, value] : {std::pair{kScope, 0}, std::pair{kType, 0}}) {
    SCOPED_TRACE(id);
    Press(kProcess);
    ASSERT_EQ(Rows().size(), 3u);
    Set(id, value);
    EXPECT_TRUE(Rows().empty());
  }
}

TEST_F(DialogTest, TheActionEnablesItsElementsAndIdentifyModeDrawsNothing) {
  Load(kTagScene);
  Open();
  Set(kPluginId, 4711);
  Press(kProcess);

  const struct {
    int32_t action;
    bool typeScopeList;
    bool boxes;
  } cases[] = {{2, true, true}, {0, false, false}, {1, true, false}, {0, false, false}, {2, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.action);
    Set(kAction, c.action);
    EXPECT_EQ(Element(kType).enabled, c.typeScopeList);
    EXPECT_EQ(Element(kScope).enabled, c.typeScopeList);
    EXPECT_EQ(Element(kList).enabled, c.typeScopeList);
    EXPECT_EQ(Element(kWarn).enabled, c.boxes);
    EXPECT_EQ(Element(kKeep).enabled, c.boxes);

    const std::optional<standin::ListCells> list = standin::VisibleList();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->rowDrawn.size(), 3u); // the rows stay; only their drawing stops
    const bool drawn = c.action != 0;
    EXPECT_EQ(list->headerDrawn, drawn);
    for (bool row : list->rowDrawn)
      EXPECT_EQ(row, drawn);
    for (const standin::DrawCall& call : standin::LastTreeDrawing().calls)
      EXPECT_EQ(call.ops.empty(), !drawn);
  }
}

TEST_F(DialogTest, MenuEntriesAndCancel) {
  Open();
  Press(kCancel);
  EXPECT_FALSE(standin::HasOpenDialog());

  Open();
  ASSERT_TRUE(standin::Menu(kAbout).ok);
  ASSERT_TRUE(standin::Menu(kHelp).ok);
  const std::string about = standin::ResourceString(10001).value_or("");
  std::string shown;
  for (char c : about)
    shown += c == '\n' ? std::string("\\n") : std::string(1, c);
  ASSERT_FALSE(printed_.empty());
  EXPECT_EQ(printed_.front(), "message(48): " + shown);
  ASSERT_FALSE(standin::OpenedFiles().empty());
  EXPECT_EQ(standin::OpenedFiles().back(),
            standin::JoinPath(standin::DirectoryOf(host_->ModulePath()), "Orphanex.pdf"));
}

// ---- the identifier field -------------------------------------------------------

class IdentifierTest : public DialogFixture, public ::testing::TestWithParam<Flavour> {
protected:
  void SetUp() override { Start(GetParam().path); }
  void TearDown() override { Stop(); }
};

TEST_P(IdentifierTest, TruncatesTowardZeroAndSaturatesInBothReaders) {
  ASSERT_GE(standin::NewDocument(), 0);
  Open();
  const struct {
    double entered;
    const char* id;
  } cases[] = {
      {12.9, "12"},
      {-3.5, "-3"},
      {-0.9, "0"},
      {2147483647.0, "2147483647"},
      {2147483647.9, "2147483647"},
      {2147483648.0, "2147483647"},
      {-2147483648.0, "-2147483648"},
      {-2147483648.9, "-2147483648"},
      {-2147483649.0, "-2147483648"},
      {3e9, "2147483647"},
      {-3e9, "-2147483648"},
      {1e18, "2147483647"},
      {-1e18, "-2147483648"},
      {5e18, "2147483647"}, // the field clamps to its limit first
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entered);
    Set(kPluginId, c.entered);
    // The scan's reader: the not-found row names the identifier.
    Set(kAction, 1);
    Press(kProcess);
    EXPECT_EQ(Rows(), (std::vector<std::string>{std::string("Tag plugin ") + c.id + " not found. | "}));
    // The registry fallback's reader.
    Set(kAction, 0);
    Press(kProcess);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{std::string("message(48): Plugin ") + c.id +
                                        " could not be identifed. Try searching the internet for the "
                                        "plugin ID value or name."}));
  }
}

INSTANTIATE_TEST_SUITE_P(Flavours, IdentifierTest, ::testing::ValuesIn(BothFlavours()),
                         [](const ::testing::TestParamInfo<Flavour>& info) {
                           return std::string(info.param.name);
                         });

// ---- identification --------------------------------------------------------------

TEST_F(DialogTest, TheRegistryFallbackNamesThePluginsType) {
  const struct {
    int32_t code;
    const char* type;
  } cases[] = {{0, "Any"},           {1, "Shader"},   {6, "Tag"},           {8, "VideoPost"},
               {21, "Manager Info"}, {22, "Library"}, {31, "Manager Info"}, {32, "CTrack"},
               {38, "Description"},  {39, "Unknown"}, {-1, "Unknown"}};
  ASSERT_GE(standin::NewDocument(), 0);
  Open();
  Set(kAction, 0);
  Set(kPluginId, 2024);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    standin::RegisterPlugin(2024, c.code, "Wobble");
    Press(kProcess);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{
                  std::string("message(48): Plugin 2024 was not found in the scene file,\\nbut is "
                              "reported by C4D as a plugin of type\\n'") +
                  c.type + "' with the name 'Wobble'\\n(but see the manual for caveats in this context)."}));
    std::string error;
    ASSERT_TRUE(standin::LoadSceneString(R"({"plugins": []})", error)) << error;
  }
}

TEST_F(DialogTest, IdentificationStopsAtTheFirstKindThatHoldsThePlugin) {
  // Object and tag of the same id: the tag scan answers; with the tag gone,
  // the object scan does; the registry is not asked while the scene knows it.
  Load(R"({
    "plugins": [{"id": 4711, "type": 5, "name": "Registered Name"}],
    "objects": [{"name": "Thing", "type": 4711, "tags": [{"name": "Wobble", "type": 4711}]}]
  })");
  Open();
  Set(kAction, 0);
  Set(kPluginId, 4711);
  Press(kProcess);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find(" Tag plugin "), std::string::npos) << Messages()[0];
  EXPECT_EQ(Messages()[0].find("C4D"), std::string::npos);

  Load(R"({"plugins": [], "objects": [{"name": "Thing", "type": 4711}]})");
  Press(kProcess);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("Object"), std::string::npos) << Messages()[0];
  EXPECT_EQ(Messages()[0].find("C4D"), std::string::npos);
}

} // namespace
} // namespace dialogtest
