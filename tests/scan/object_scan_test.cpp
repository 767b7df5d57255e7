// The object scan: post-order walk, all descendants in scope 1, each object
// once per run, start objects already removed are skipped, removal with one
// undo step, identification ending only the current sibling run.
#include "scan/scan_fixture.h"
#include "scene/world.h"

namespace scantest {
namespace {

constexpr int32_t kGizmo = 1020304;

// Parent{Child{Grand} Plain{Deep}} Next, S{F{FF} G{GG}}; every object but
// Plain, F and S is a Gizmo.
constexpr const char* kObjectScene = R"({
  "plugins": [],
  "objects": [
    {"name": "Parent", "type": 1020304, "children": [
      {"name": "Child", "type": 1020304, "children": [{"name": "Grand", "type": 1020304}]},
      {"name": "Plain", "type": 5100, "children": [{"name": "Deep", "type": 1020304}]}]},
    {"name": "Next", "type": 1020304},
    {"name": "S", "type": 5100, "children": [
      {"name": "F", "type": 5100, "children": [{"name": "FF", "type": 1020304}]},
      {"name": "G", "type": 1020304, "children": [{"name": "GG", "type": 1020304}]}]}
  ]
})";

struct ScopeCase {
  const char* name;
  int32_t scope;
  std::vector<const char*> selected;
  std::vector<std::string> rows;
};

void PrintTo(const ScopeCase& c, std::ostream* os) {
  *os << c.name;
}

class ObjectScopeTest : public ScanTest, public ::testing::WithParamInterface<ScopeCase> {};

TEST_P(ObjectScopeTest, ListsEachMatchingObjectOnceAfterItsSubtree) {
  Load(kObjectScene);
  standin::DeselectAll();
  for (const char* path : GetParam().selected)
    ASSERT_TRUE(standin::SetSelected(Object(path), true)) << path;
  Process({.type = kObject, .action = kList, .id = kGizmo, .scope = GetParam().scope});
  EXPECT_EQ(Rows(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Scopes, ObjectScopeTest,
    ::testing::Values(
        ScopeCase{"AllObjects", 0, {}, {"Grand", "Child", "Deep", "Parent", "Next", "FF", "GG", "G"}},
        // Every descendant, not only the chain of first children.
        ScopeCase{"ChildrenOfS", 1, {"S"}, {"FF", "GG", "G"}},
        ScopeCase{"ChildrenOfParent", 1, {"Parent"}, {"Grand", "Child", "Deep", "Parent"}},
        ScopeCase{"ParentAndDescendant", 1, {"Parent", "Parent/Child"}, {"Grand", "Child", "Deep", "Parent"}},
        ScopeCase{"TwoRoots", 1, {"Next", "S/G"}, {"Next", "GG", "G"}},
        ScopeCase{"OnlySelected", 2, {"Parent/Child", "S"}, {"Child"}},
        ScopeCase{"OnlySelectedParentAndChild", 2, {"Parent", "Parent/Child"}, {"Parent", "Child"}},
        ScopeCase{"EmptySelection", 1, {}, {"Object plugin 1020304 not found."}}),
    [](const auto& info) { return std::string(info.param.name); });

// Removal in every scope, also where a selected object goes with an earlier
// selected object's removal.
struct RemoveCase {
  const char* name;
  int32_t scope;
  std::vector<const char*> selected;
  std::vector<const char*> gone;
  std::vector<const char*> kept;
};

void PrintTo(const RemoveCase& c, std::ostream* os) {
  *os << c.name;
}

class ObjectRemoveTest : public ScanTest, public ::testing::WithParamInterface<RemoveCase> {};

TEST_P(ObjectRemoveTest, RemovesAndOneUndoRestoresTheScene) {
  Load(kObjectScene);
  standin::DeselectAll();
  for (const char* path : GetParam().selected)
    ASSERT_TRUE(standin::SetSelected(Object(path), true)) << path;
  const std::string before = Saved();
  Process({.type = kObject, .action = kRemove, .id = kGizmo, .scope = GetParam().scope});
  EXPECT_EQ(Rows(), std::vector<std::string>{"Object plugin 1020304 not found."});
  const std::string scene = Scene();
  for (const char* name : GetParam().gone)
    EXPECT_EQ(scene.find(std::string(name) + " ["), std::string::npos) << name << " in\n" << scene;
  for (const char* name : GetParam().kept)
    EXPECT_NE(scene.find(std::string(name) + " ["), std::string::npos) << name << " missing from\n" << scene;
  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
  EXPECT_FALSE(standin::Undo());
}

INSTANTIATE_TEST_SUITE_P(
    Scopes, ObjectRemoveTest,
    ::testing::Values(
        RemoveCase{
            "AllObjects", 0, {}, {"Parent", "Child", "Grand", "Deep", "Next", "FF", "G", "GG"}, {"S", "F"}},
        RemoveCase{"ChildrenOfS", 1, {"S"}, {"FF", "G", "GG"}, {"Parent", "Next", "S", "F"}},
        RemoveCase{"ParentThenItsChild",
                   1,
                   {"Parent", "Parent/Child"},
                   {"Parent", "Child", "Grand", "Deep"},
                   {"Next", "S", "FF"}},
        // The selected child goes with its parent; it must not be walked.
        RemoveCase{"OnlyParentAndChild",
                   2,
                   {"Parent", "Parent/Child"},
                   {"Parent", "Child", "Grand", "Deep"},
                   {"Next", "S", "G"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanTest, ObjectIdentificationEndsOnlyTheCurrentSiblingRun) {
  Load(kObjectScene);
  // Grand ends its run, Child ends Plain's run, Parent ends the top-level
  // run: Next and the objects under S are never reached.
  Process({.type = kObject, .action = kIdentify, .id = kGizmo});
  EXPECT_EQ(Messages(), std::vector<std::string>{"message(48): Plugin 1020304 is an Object plugin with the "
                                                 "default name Parent."});

  standin::RegisterPlugin(kGizmo, 5, "Gizmo");
  Process({.type = kObject, .action = kIdentify, .id = kGizmo});
  EXPECT_EQ(Messages(), std::vector<std::string>{"message(48): Plugin 1020304 is an Object plugin with the "
                                                 "default name Gizmo."});
}

TEST_F(ScanTest, ObjectIdentificationFollowsTheScope) {
  Load(kObjectScene);
  standin::DeselectAll();
  ASSERT_TRUE(standin::SetSelected(Object("S"), true));
  // S itself is no Gizmo; its descendants G (after GG) are.
  Process({.type = kObject, .action = kIdentify, .id = kGizmo, .scope = 1});
  EXPECT_EQ(Messages(), std::vector<std::string>{"message(48): Plugin 1020304 is an Object plugin with the "
                                                 "default name G."});
  Process({.type = kObject, .action = kIdentify, .id = kGizmo, .scope = 2});
  // S alone identifies nothing, and no other scan holds the id.
  EXPECT_EQ(Messages(), std::vector<std::string>{"message(48): Plugin 1020304 could not be identifed. Try "
                                                 "searching the internet for the plugin ID value or name."});
}

} // namespace
} // namespace scantest
