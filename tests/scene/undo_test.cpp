// Undo and redo of deletions made through the module's protocol.
#include "scene_support.h"

namespace standin::test {
namespace {

struct DeletionCase {
  const char* label;
  std::vector<std::string> names; // deleted in this order, one undo step
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const DeletionCase& c, std::ostream* os) {
  *os << c.label;
}

class UndoRoundTrip : public SceneTest, public ::testing::WithParamInterface<DeletionCase> {};

// Deleting and undoing gives back the scene byte for byte (places, order,
// links, selection); redo gives back the scene after the deletion.
TEST_P(UndoRoundTrip, UndoRestoresRedoRepeats) {
  LoadFixture();
  const std::string before = SaveSceneString();
  const std::vector<std::string> linesBefore = SceneLines();
  DeleteStep(GetParam().names);
  const std::string after = SaveSceneString();
  EXPECT_NE(after, before);
  for (const std::string& name : GetParam().names)
    EXPECT_EQ(Find(name), nullptr) << name;

  ASSERT_TRUE(Undo());
  EXPECT_EQ(SaveSceneString(), before);
  EXPECT_EQ(SceneLines(), linesBefore);
  EXPECT_FALSE(Undo());

  ASSERT_TRUE(Redo());
  EXPECT_EQ(SaveSceneString(), after);
  EXPECT_FALSE(Redo());
  ASSERT_TRUE(Undo());
  EXPECT_EQ(SaveSceneString(), before);
  EXPECT_EQ(BreachCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Deletions, UndoRoundTrip,
    ::testing::Values(DeletionCase{"NestedObject", {"Arm"}},
                      DeletionCase{"DeepestFirstThenAncestors", {"Hand", "Arm", "Rig"}},
                      DeletionCase{"TagThenItsObject", {"Wobble.2", "Hand"}},
                      DeletionCase{"TagsOfOneObject", {"Wobble.2", "Wobble.3", "Wobble"}},
                      DeletionCase{"SiblingsFirstMiddleLast", {"Rig", "Floor", "Lamp"}},
                      DeletionCase{"ChannelShaders", {"Bump", "Mix"}},
                      DeletionCase{"LayerOwnedShaders", {"Grime", "Grime.2"}},
                      DeletionCase{"LinkedShaderAndItsLinker", {"Chip", "Cycle"}},
                      DeletionCase{"ReflectanceLayerShaderWithNested", {"Grime.1", "Coat"}},
                      DeletionCase{"AdjacentVideoposts", {"Glow", "Bloom"}},
                      DeletionCase{"Materials", {"Paint", "Rust"}},
                      DeletionCase{"Everything",
                                   {"Wobble.2", "Hand", "Leg", "Floor", "Grime", "Chip", "Coat", "Mix",
                                    "Glow.1", "Glow", "Paint"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(UndoRoundTrip, UndoStepsComeBackLastFirst) {
  LoadFixture();
  const std::string s0 = SaveSceneString();
  DeleteStep({"Hand"});
  const std::string s1 = SaveSceneString();
  DeleteStep({"Arm", "Grime"});
  const std::string s2 = SaveSceneString();
  ASSERT_TRUE(Undo());
  EXPECT_EQ(SaveSceneString(), s1);
  ASSERT_TRUE(Undo());
  EXPECT_EQ(SaveSceneString(), s0);
  ASSERT_TRUE(Redo());
  ASSERT_TRUE(Redo());
  EXPECT_EQ(SaveSceneString(), s2);
  // A new step drops what could have been redone.
  ASSERT_TRUE(Undo());
  DeleteStep({"Floor"});
  EXPECT_FALSE(Redo());
}

TEST_F(UndoRoundTrip, EmptyStepsAreDropped) {
  LoadFixture();
  DeleteStep({"Floor"});
  OxDocument* doc = docs->active();
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(undo->begin(doc));
    ASSERT_TRUE(undo->end(doc));
  }
  ASSERT_TRUE(Undo()); // brings Floor back: the empty steps left no trace
  EXPECT_NE(Find("Floor"), nullptr);
  EXPECT_FALSE(Undo());
}

// Restored nodes get new handles; the old ones stay dead, while weak links
// (the module's and the layers') follow the node back.
TEST_F(UndoRoundTrip, RestoredNodesHaveNewHandlesAndLinksRevive) {
  LoadFixture();
  OxDocument* doc = docs->active();
  OxNode* hand = Find("Hand");
  OxNode* chip = Find("Chip");
  OxLink* handLink = links->create(hand);
  OxLink* chipLink = links->create(chip);
  DeleteStep({"Chip", "Hand"});
  EXPECT_EQ(links->target(handLink, doc, 0), nullptr);
  EXPECT_EQ(links->target(chipLink, doc, 0), nullptr);
  EXPECT_EQ(BreachCount(), 0u);

  ASSERT_TRUE(Undo());
  OxNode* newHand = Find("Hand");
  ASSERT_NE(newHand, nullptr);
  EXPECT_NE(newHand, hand);
  EXPECT_FALSE(IsLiveNode(hand));
  EXPECT_EQ(links->target(handLink, doc, 0), newHand);
  EXPECT_EQ(links->target(chipLink, doc, 0), Find("Chip"));
  EXPECT_EQ(ObjectPathOf(newHand), "Rig/Arm/Hand");

  ASSERT_TRUE(Redo());
  EXPECT_EQ(links->target(handLink, doc, 0), nullptr);
  EXPECT_FALSE(IsLiveNode(newHand));
  EXPECT_EQ(BreachCount(), 0u);
  EXPECT_EQ(nodes->typeId(hand), 0);
  EXPECT_EQ(BreachCount(), 1u);
  links->release(handLink);
  links->release(chipLink);
}

// The layer that linked a deleted shader resolves to nothing, and to the
// restored shader after undo, as the module's layer walk sees it.
TEST_F(UndoRoundTrip, LayerLinkDiesAndRevives) {
  LoadFixture();
  OxDocument* doc = docs->active();
  OxNode* mix = Find("Mix");
  auto secondLayerTarget = [&]() -> OxNode* {
    OxLayer* layer = layers->next(layers->first(Find("Mix")));
    OxValue* value = values->create();
    EXPECT_TRUE(layers->parameter(layer, OX_LAYER_PARAM_LINK, value));
    EXPECT_EQ(values->kind(value), OX_VALUE_KIND_LINK);
    OxNode* target = links->target(values->link(value, OX_VALUE_KIND_LINK), nodes->document(mix), 0);
    values->release(value);
    return target;
  };
  EXPECT_EQ(Name(secondLayerTarget()), "Chip");
  DeleteStep({"Chip"});
  EXPECT_EQ(secondLayerTarget(), nullptr);
  ASSERT_TRUE(Undo());
  EXPECT_EQ(secondLayerTarget(), Find("Chip"));
  EXPECT_EQ(docs->active(), doc);
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_F(UndoRoundTrip, UndoBringsBackSelectionAndActiveObject) {
  LoadFixture();
  const std::vector<std::string> before = SelectionLines();
  DeleteStep({"Hand", "Rust"});
  EXPECT_NE(SelectionLines(), before);
  ASSERT_TRUE(Undo());
  EXPECT_EQ(SelectionLines(), before);
}

struct MisuseCase {
  const char* label;
  void (*act)(SceneTest& t, OxDocument* doc, OxDocument* other);
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const MisuseCase& c, std::ostream* os) {
  *os << c.label;
}

class UndoMisuse : public SceneTest, public ::testing::WithParamInterface<MisuseCase> {
public:
  const OxUndoArea* Undo() { return undo; }
  const OxNodeArea* Nodes() { return nodes; }
  const OxRegistryArea* Registry() { return registry; }
  OxNode* FindNode(const std::string& name) { return Find(name); }
};

// Every misuse is one breach, answers false/nothing and leaves the scene as
// it was.
TEST_P(UndoMisuse, IsABreachAndChangesNothing) {
  const int other = NewDocument();
  LoadFixture();
  OxDocument* doc = docs->active();
  const std::string before = SaveSceneString();
  const size_t live = LiveNodeCount();
  GetParam().act(*this, doc, DocumentAt(other));
  EXPECT_EQ(BreachCount(), 1u);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].rfind("breach: ", 0), 0u) << printed[0];
  CheckUndoBrackets();
  EXPECT_EQ(SaveSceneString(), before);
  EXPECT_EQ(LiveNodeCount(), live);
}

#define MISUSE(label, ...)                                                                                   \
  MisuseCase {                                                                                               \
    label, [](SceneTest& base, OxDocument* doc, OxDocument* other) {                                         \
      auto& t = static_cast<UndoMisuse&>(base);                                                              \
      (void)doc;                                                                                             \
      (void)other;                                                                                           \
      __VA_ARGS__;                                                                                           \
    }                                                                                                        \
  }

INSTANTIATE_TEST_SUITE_P(
    Cases, UndoMisuse,
    ::testing::Values(
        MISUSE("RecordOutsideBracket",
               EXPECT_FALSE(t.Undo()->record(doc, OX_UNDO_DELETE, t.FindNode("Hand"), nullptr))),
        MISUSE("EndWithoutBegin", EXPECT_FALSE(t.Undo()->end(doc))),
        MISUSE("BeginTwice",
               {
                 EXPECT_TRUE(t.Undo()->begin(doc));
                 EXPECT_FALSE(t.Undo()->begin(doc));
                 EXPECT_TRUE(t.Undo()->end(doc));
               }),
        MISUSE("UnknownKind",
               {
                 t.Undo()->begin(doc);
                 EXPECT_FALSE(t.Undo()->record(doc, 44, t.FindNode("Hand"), nullptr));
                 t.Undo()->end(doc);
               }),
        MISUSE("RecordDetachedNode",
               {
                 OxNode* hand = t.FindNode("Hand");
                 t.Undo()->begin(doc);
                 EXPECT_TRUE(t.Undo()->record(doc, OX_UNDO_DELETE, hand, nullptr));
                 EXPECT_TRUE(t.Nodes()->detach(hand));
                 EXPECT_FALSE(t.Undo()->record(doc, OX_UNDO_DELETE, hand, nullptr));
                 t.Nodes()->destroy(hand);
                 t.Undo()->end(doc);
                 standin::Undo();
               }),
        MISUSE("RecordInForeignDocument",
               {
                 t.Undo()->begin(other);
                 EXPECT_FALSE(t.Undo()->record(other, OX_UNDO_DELETE, t.FindNode("Hand"), nullptr));
                 t.Undo()->end(other);
               }),
        MISUSE("DestroyAttachedNode", t.Nodes()->destroy(t.FindNode("Hand"))),
        MISUSE("DestroyTwice",
               {
                 OxNode* floor = t.FindNode("Floor");
                 t.Undo()->begin(doc);
                 t.Undo()->record(doc, OX_UNDO_DELETE, floor, nullptr);
                 t.Nodes()->detach(floor);
                 t.Nodes()->destroy(floor);
                 t.Nodes()->destroy(floor);
                 t.Undo()->end(doc);
                 standin::Undo();
               }),
        MISUSE("DetachPluginRecord", EXPECT_FALSE(t.Nodes()->detach(t.Registry()->lookup(1012345, 6)))),
        MISUSE("DestroyPluginRecord", t.Nodes()->destroy(t.Registry()->lookup(1012345, 6))),
        MISUSE("BracketLeftOpen",
               {
                 t.Undo()->begin(doc);
                 EXPECT_EQ(UnbalancedUndoBrackets(), 1);
                 EXPECT_FALSE(CheckUndoBrackets());
                 EXPECT_EQ(UnbalancedUndoBrackets(), 0);
               })),
    [](const auto& info) { return std::string(info.param.label); });

#undef MISUSE

// A bracket left open is reported, and what it recorded stays undoable.
TEST_F(UndoRoundTrip, OpenBracketIsClosedAndKept) {
  LoadFixture();
  const std::string before = SaveSceneString();
  OxDocument* doc = docs->active();
  ASSERT_TRUE(undo->begin(doc));
  Delete(Find("Lamp"));
  EXPECT_FALSE(CheckUndoBrackets());
  EXPECT_EQ(BreachCount(), 1u);
  ASSERT_TRUE(Undo());
  EXPECT_EQ(SaveSceneString(), before);
}

} // namespace
} // namespace standin::test
