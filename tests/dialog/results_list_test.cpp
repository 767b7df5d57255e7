// The results list: columns per kind, widths, what a cell draws in either
// flavour, the channel texts, row order, and what choosing a row selects.
#include "dialog/dialog_fixture.h"
#include "runtime/runtime.h"
#include "scene/world.h"

#include <optional>
#include <string>
#include <vector>

namespace dialogtest {
namespace {

constexpr int32_t kName = 0x6E616D65;
constexpr int32_t kTag = 0x00746167;
constexpr int32_t kChannel = 0x6368616E;
constexpr int32_t kLayerShader = 0x00006C73;

// The stand-in measures every character as 7 pixels wide.
constexpr int32_t kNameWidth = 30 * 7 + 8;
constexpr int32_t kOtherWidth = 15 * 7 + 8;

TEST_F(DialogTest, ColumnsFollowThePluginType) {
  Load(R"({"objects": [{"name": "A", "type": 5159, "tags": [{"name": "W", "type": 4711}]}]})");
  Open();
  const struct {
    int32_t type;
    std::vector<int32_t> columns;
    std::vector<std::string> header;
  } cases[] = {
      {1, {kName, kChannel, kLayerShader}, {"Material", "Channel", "In Layer Shader?"}},
      {2, {kName}, {"Object Name"}},
      {3, {kName}, {"Post Effect"}},
      {0, {kName, kTag}, {"Object With Tag", "Tag Name"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    Set(kType, c.type);
    Set(kPluginId, 4711);
    Press(kProcess); // a row (found or not-found) so that data cells are measured too
    EXPECT_EQ(Header(), c.header);
    const standin::TreeDrawing& drawing = standin::LastTreeDrawing();
    std::vector<std::string> columns;
    for (int32_t column : drawing.columns)
      columns.push_back(FourCCText(column));
    std::vector<std::string> expectedColumns;
    for (int32_t column : c.columns)
      expectedColumns.push_back(FourCCText(column));
    EXPECT_EQ(columns, expectedColumns);
    ASSERT_EQ(drawing.widths.size(), c.columns.size());
    for (size_t i = 0; i < c.columns.size(); ++i)
      EXPECT_EQ(drawing.widths[i], c.columns[i] == kName ? kNameWidth : kOtherWidth) << columns[i];
    for (int32_t height : drawing.rowHeights)
      EXPECT_EQ(height, 14);
  }
}

class FlavourTest : public DialogFixture, public ::testing::TestWithParam<Flavour> {
protected:
  void SetUp() override { Start(GetParam().path); }
  void TearDown() override { Stop(); }
};

TEST_P(FlavourTest, EveryCellIsClearedThenWrittenFourPixelsIn) {
  Load(R"({"objects": [{"name": "A", "type": 5159, "tags": [{"name": "W", "type": 4711}]}]})");
  Open();
  Set(kPluginId, 4711);
  Press(kProcess);
  ASSERT_TRUE(standin::VisibleList());
  const bool mac = std::string(GetParam().name) == "mac";
  const standin::TreeDrawing& drawing = standin::LastTreeDrawing();
  ASSERT_EQ(drawing.calls.size(), 4u); // two header cells, two data cells
  for (const standin::DrawCall& call : drawing.calls) {
    SCOPED_TRACE(FourCCText(call.column) + (call.header ? " header" : " cell"));
    std::vector<standin::DrawOp> ops = call.ops;
    if (mac) {
      ASSERT_FALSE(ops.empty());
      EXPECT_EQ(ops.front().kind, standin::DrawOp::ResetPen);
      ops.erase(ops.begin());
    }
    ASSERT_EQ(ops.size(), 4u);
    EXPECT_EQ(ops[0].kind, standin::DrawOp::FillRect);
    EXPECT_EQ(ops[0].a, call.x);
    EXPECT_EQ(ops[0].b, call.y);
    EXPECT_EQ(ops[0].c, call.x + call.width - 1);
    EXPECT_EQ(ops[0].d, call.y + call.height - 1);
    EXPECT_EQ(ops[1].kind, standin::DrawOp::SetFont);
    EXPECT_EQ(ops[1].a, 1);
    EXPECT_EQ(ops[2].kind, standin::DrawOp::SetTextColors);
    EXPECT_EQ(ops[2].a, 1003);
    EXPECT_EQ(ops[2].b, 1000);
    EXPECT_EQ(ops[3].kind, standin::DrawOp::DrawText);
    EXPECT_EQ(ops[3].a, call.x + 4);
    EXPECT_EQ(ops[3].b, call.y);
    EXPECT_EQ(ops[3].c, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Flavours, FlavourTest, ::testing::ValuesIn(BothFlavours()),
                         [](const ::testing::TestParamInfo<Flavour>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(DialogTest, ShaderRowsNameTheirChannelAndLayerShader) {
  Load(R"({
    "materials": [
      {"name": "Plain", "type": 5703, "reflectance": [{"name": "Grit", "type": 4242}]},
      {"name": "Layered", "type": 5703, "channels": {"14": {"name": "Mix", "type": 1011123,
        "layers": [{"kind": 2, "shader": {"name": "Grit", "type": 4242}}]}}},
      {"name": "First", "type": 5703, "channels": {"0": {"name": "Grit", "type": 4242}}}
    ]
  })");
  Open();
  Set(kType, 1);
  Set(kPluginId, 4242);
  Press(kProcess);
  EXPECT_EQ(Header(), (std::vector<std::string>{"Material", "Channel", "In Layer Shader?"}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Plain | Reflectance | No", "Layered | Unnamed | Yes",
                                              "First | Color | No"}));

  // The not-found row has no channel.
  Set(kPluginId, 4243);
  Press(kProcess);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Shader plugin 4243 not found. | -- | --"}));
}

TEST_F(DialogTest, ADroppedRowLeavesAGapButDoesNotEndTheList) {
  // Twenty matching tags; the results array first holds sixteen rows, so one
  // failed allocation somewhere in the run can drop the seventeenth row while
  // the rows after it are stored.
  std::string json = R"({"objects": [)";
  std::vector<std::string> all;
  for (int i = 0; i < 20; ++i) {
    json += std::string(i ? "," : "") + R"({"name": "O)" + std::to_string(i) +
            R"(", "type": 5159, "tags": [{"name": "W", "type": 4711}]})";
    all.push_back("O" + std::to_string(i) + " | W");
  }
  json += "]}";

  bool sawGap = false;
  for (size_t n = 1; n <= 12 && !sawGap; ++n) {
    SCOPED_TRACE(n);
    Stop();
    Start(ORPHANEX_MODULE_PATH);
    Load(json);
    Open();
    Set(kPluginId, 4711);
    standin::FailAllocationAfter(n);
    Press(kProcess);
    standin::FailAllocationAfter(0);
    const std::vector<std::string> rows = Rows();
    if (rows == std::vector<std::string>{"Tag plugin 4711 not found. | "})
      continue; // the failure stopped the walk itself
    // Whatever was dropped, the rest keeps its order.
    size_t at = 0;
    for (const std::string& row : rows) {
      while (at < all.size() && all[at] != row)
        ++at;
      ASSERT_LT(at, all.size()) << row << " out of order or unknown";
    }
    std::vector<std::string> withoutSeventeenth = all;
    withoutSeventeenth.erase(withoutSeventeenth.begin() + 16);
    sawGap = rows == withoutSeventeenth;
  }
  EXPECT_TRUE(sawGap) << "no run dropped exactly the row that needed the array to grow";
}

// ---- choosing rows ------------------------------------------------------------------

constexpr const char* kChoiceScene = R"({
  "objects": [
    {"name": "Keep", "type": 5159, "selected": true},
    {"name": "Ghost", "type": 777, "tags": [{"name": "W", "type": 4711}]}
  ],
  "materials": [
    {"name": "Base", "type": 5703, "selected": true},
    {"name": "Grimy", "type": 5703, "channels": {"0": {"name": "Grit", "type": 4242}}}
  ],
  "renderSettings": {"videoposts": [{"name": "Glow", "type": 888}]}
})";

std::vector<std::string> Selection() {
  return standin::SelectionLines();
}

TEST_F(DialogTest, ChoosingARowSelectsItsObjectOrMaterial) {
  Load(kChoiceScene);
  const std::vector<std::string> before = Selection();
  Open();
  const struct {
    int32_t type;
    int32_t id;
    const char* selected; // a line of the selection after the choice, or null
  } cases[] = {
      {0, 4711, "active object: Ghost"},
      {2, 777, "active object: Ghost"},
      {1, 4242, "active material: Grimy"},
      {3, 888, nullptr},
      {0, 1, nullptr}, // the not-found row
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    std::string reason;
    ASSERT_TRUE(standin::SelectObjectPath("Keep", reason)) << reason;
    ASSERT_TRUE(standin::SelectMaterial("Base", reason)) << reason;
    Set(kType, c.type);
    Set(kPluginId, c.id);
    Press(kProcess);
    const size_t changes = standin::SceneChangedCount();
    Choose(0);
    EXPECT_EQ(standin::SceneChangedCount(), changes + 1);
    const std::vector<std::string> after = Selection();
    if (c.selected == nullptr) {
      EXPECT_EQ(after, before);
    } else {
      bool found = false;
      for (const std::string& line : after)
        found = found || line == c.selected;
      EXPECT_TRUE(found) << "selection lines lack " << c.selected;
    }
  }
}

TEST_F(DialogTest, RowsOfDeletedOrForeignNodesSelectNothing) {
  Load(kChoiceScene);
  Open();
  const std::vector<std::string> before = Selection();

  // Remove the objects, bring them back, list them, and remove them again by
  // redo: the listed rows now name nodes that are gone.
  Set(kType, 2);
  Set(kPluginId, 777);
  Set(kAction, 2);
  Set(kWarn, 0);
  Press(kProcess);
  ASSERT_TRUE(standin::Undo());
  Set(kAction, 1);
  Press(kProcess);
  ASSERT_EQ(Rows(), (std::vector<std::string>{"Ghost"}));
  ASSERT_TRUE(standin::Redo());
  const size_t changes = standin::SceneChangedCount();
  Choose(0);
  EXPECT_EQ(Selection(), before);
  EXPECT_EQ(standin::SceneChangedCount(), changes + 1);

  // Live rows of a document that is not the active one.
  ASSERT_TRUE(standin::Undo());
  Press(kProcess);
  ASSERT_EQ(Rows(), (std::vector<std::string>{"Ghost"}));
  ASSERT_GE(standin::NewDocument(), 0);
  const std::vector<std::string> fresh = Selection();
  Choose(0);
  EXPECT_EQ(Selection(), fresh);
  ASSERT_TRUE(standin::ActivateDocument(0));
  EXPECT_EQ(Selection(), before);
  Choose(0); // the same row, now in its own document, selects
  bool selected = false;
  for (const std::string& line : Selection())
    selected = selected || line == "active object: Ghost";
  EXPECT_TRUE(selected);

  // No document at all: nothing happens, not even a change notice.
  standin::CloseAllDocuments();
  const size_t quiet = standin::SceneChangedCount();
  Choose(0);
  EXPECT_EQ(standin::SceneChangedCount(), quiet);
}

} // namespace
} // namespace dialogtest
