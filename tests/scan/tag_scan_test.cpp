// The tag scan: walk order and rows per scope, each object once per run,
// removal with one undo step, identification names.
#include "scan/scan_fixture.h"
#include "scene/world.h"

#include <set>

namespace scantest {
namespace {

constexpr int32_t kWobble = 1012345;

// A{B{B1} C} D, with matching tags in A (two, around another tag), B, B1, C
// and D.
constexpr const char* kTagScene = R"({
  "plugins": [],
  "objects": [
    {"name": "A", "type": 5100, "tags": [{"name": "T1", "type": 1012345}, {"name": "Phong", "type": 5612},
                                         {"name": "T2", "type": 1012345}],
     "children": [
       {"name": "B", "type": 5100, "tags": [{"name": "T3", "type": 1012345}],
        "children": [{"name": "B1", "type": 5100, "tags": [{"name": "T4", "type": 1012345}]}]},
       {"name": "C", "type": 5100, "tags": [{"name": "T5", "type": 1012345}]}]},
    {"name": "D", "type": 5100, "tags": [{"name": "T6", "type": 1012345}]}
  ]
})";

struct ScopeCase {
  const char* name;
  int32_t scope;
  std::vector<const char*> selected; // object paths
  std::vector<std::string> rows;
};

void PrintTo(const ScopeCase& c, std::ostream* os) {
  *os << c.name;
}

class TagScopeTest : public ScanTest, public ::testing::WithParamInterface<ScopeCase> {};

TEST_P(TagScopeTest, ListsEachMatchingTagOnceInPreOrder) {
  Load(kTagScene);
  standin::DeselectAll();
  for (const char* path : GetParam().selected)
    ASSERT_TRUE(standin::SetSelected(Object(path), true)) << path;
  Process({.type = kTag, .action = kList, .id = kWobble, .scope = GetParam().scope});
  EXPECT_EQ(Rows(), GetParam().rows);
  EXPECT_TRUE(Messages().empty());
}

const std::vector<std::string> kAllRows = {"A | T1", "A | T2", "B | T3", "B1 | T4", "C | T5", "D | T6"};
const std::vector<std::string> kUnderA = {"A | T1", "A | T2", "B | T3", "B1 | T4", "C | T5"};

INSTANTIATE_TEST_SUITE_P(
    Scopes, TagScopeTest,
    ::testing::Values(ScopeCase{"AllObjects", 0, {}, kAllRows},
                      ScopeCase{"AllObjectsIgnoresSelection", 0, {"A/B"}, kAllRows},
                      ScopeCase{"ChildrenOfA", 1, {"A"}, kUnderA},
                      ScopeCase{"ChildrenOfB", 1, {"A/B"}, {"B | T3", "B1 | T4"}},
                      ScopeCase{"ChildrenOfTwoSiblings", 1, {"A/B", "A/C"}, {"B | T3", "B1 | T4", "C | T5"}},
                      // A start object below another start object is not handled twice.
                      ScopeCase{"ParentAndDescendant", 1, {"A", "A/B/B1"}, kUnderA},
                      ScopeCase{"ParentChildGrandchild", 1, {"A", "A/B", "A/B/B1"}, kUnderA},
                      ScopeCase{"OnlyA", 2, {"A"}, {"A | T1", "A | T2"}},
                      ScopeCase{"OnlyBAndD", 2, {"A/B", "D"}, {"B | T3", "D | T6"}},
                      ScopeCase{"ChildrenWithEmptySelection", 1, {}, {"Tag plugin 1012345 not found. | "}},
                      ScopeCase{"OnlyWithEmptySelection", 2, {}, {"Tag plugin 1012345 not found. | "}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanTest, TagRemovalDeletesEveryMatchAndOneUndoRestoresTheScene) {
  Load(kTagScene);
  const std::string before = Saved();
  Process({.type = kTag, .action = kRemove, .id = kWobble, .warn = true}, {true});
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"message(36): Are you sure you want to delete the plugin instances?"});
  EXPECT_EQ(Rows(), std::vector<std::string>{"Tag plugin 1012345 not found. | "});
  const std::string after = Scene();
  EXPECT_EQ(after.find("1012345"), std::string::npos) << after;
  EXPECT_NE(after.find("#Phong [5612]"), std::string::npos) << after;

  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
  EXPECT_FALSE(standin::Undo()) << "the removal must be one undo step";
}

TEST_F(ScanTest, TagRemovalWithParentAndDescendantSelectedRemovesEachOnce) {
  Load(kTagScene);
  standin::DeselectAll();
  ASSERT_TRUE(standin::SetSelected(Object("A"), true));
  ASSERT_TRUE(standin::SetSelected(Object("A/B"), true));
  const std::string before = Saved();
  Process({.type = kTag, .action = kRemove, .id = kWobble, .scope = 1});
  EXPECT_EQ(Rows(), std::vector<std::string>{"Tag plugin 1012345 not found. | "});
  const std::string after = Scene();
  for (const char* tag : {"#T1 ", "#T2 ", "#T3 ", "#T4 ", "#T5 "})
    EXPECT_EQ(after.find(tag), std::string::npos) << tag << " in\n" << after;
  EXPECT_NE(after.find("#T6 [1012345]"), std::string::npos) << "D lies outside the selection";
  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
}

struct IdentifyCase {
  const char* name;
  bool registered;
  int32_t scope;
  std::vector<const char*> selected;
  const char* expectedName;
};

void PrintTo(const IdentifyCase& c, std::ostream* os) {
  *os << c.name;
}

class TagIdentifyTest : public ScanTest, public ::testing::WithParamInterface<IdentifyCase> {};

TEST_P(TagIdentifyTest, NamesThePlugin) {
  Load(kTagScene);
  if (GetParam().registered)
    standin::RegisterPlugin(kWobble, 6, "Wobble Tag");
  standin::DeselectAll();
  for (const char* path : GetParam().selected)
    ASSERT_TRUE(standin::SetSelected(Object(path), true));
  Process({.type = kTag, .action = kIdentify, .id = kWobble, .scope = GetParam().scope});
  EXPECT_EQ(Messages(), std::vector<std::string>{std::string("message(48): Plugin 1012345 is a Tag plugin "
                                                             "with the default name ") +
                                                 GetParam().expectedName + "."});
}

INSTANTIATE_TEST_SUITE_P(Names, TagIdentifyTest,
                         ::testing::Values(
                             // Every matching object identifies again; the first matching tag of
                             // the last one in walk order names the plug-in.
                             IdentifyCase{"LastObjectsFirstTag", false, 0, {}, "T6"},
                             IdentifyCase{"Registry", true, 0, {}, "Wobble Tag"},
                             IdentifyCase{"OnlySelectedObject", false, 2, {"A"}, "T1"},
                             IdentifyCase{"SelectedWithChildren", false, 1, {"A/B"}, "T4"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace scantest
