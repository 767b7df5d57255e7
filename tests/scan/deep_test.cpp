// Hierarchies and layer nesting a million levels deep: listed, removed and
// undone in the walk orders, without running out of stack.
#include "scan/scan_fixture.h"
#include "scene/world.h"

namespace scantest {
namespace {

constexpr size_t kDepth = 1000000;
constexpr int32_t kId = 1033333;

std::string Last(const std::string& prefix) {
  return prefix + std::to_string(kDepth - 1);
}

TEST_F(ScanTest, MillionDeepChainOfTaggedObjects) {
  standin::NewDocument();
  ASSERT_NO_FATAL_FAILURE(BuildChain(standin::ActiveDocument(), kDepth, 5100, kId));
  const size_t changes = standin::SceneChangedCount();
  Process({.type = kTag, .action = kList, .id = kId});
  // One notification per sibling run, as the recursive definition sends.
  EXPECT_EQ(standin::SceneChangedCount() - changes, kDepth);
  const std::vector<std::string> rows = Rows();
  ASSERT_EQ(rows.size(), kDepth);
  EXPECT_EQ(rows.front(), "O0 | T0");
  EXPECT_EQ(rows[1], "O1 | T1");
  EXPECT_EQ(rows.back(), Last("O") + " | " + Last("T"));

  const std::string before = Saved();
  const size_t nodes = standin::LiveNodeCount();
  Process({.type = kTag, .action = kRemove, .id = kId});
  EXPECT_EQ(standin::LiveNodeCount(), nodes - kDepth);
  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
}

TEST_F(ScanTest, MillionDeepChainOfMatchingObjects) {
  standin::NewDocument();
  ASSERT_NO_FATAL_FAILURE(BuildChain(standin::ActiveDocument(), kDepth, kId, 0));
  Process({.type = kObject, .action = kList, .id = kId});
  const std::vector<std::string> rows = Rows();
  ASSERT_EQ(rows.size(), kDepth);
  EXPECT_EQ(rows.front(), Last("O")) << "subtrees come first";
  EXPECT_EQ(rows.back(), "O0");

  // Identification: the deepest object ends its run, then each parent ends
  // its own; the top object is the last to identify.
  Process({.type = kObject, .action = kIdentify, .id = kId});
  EXPECT_EQ(Messages(), std::vector<std::string>{"message(48): Plugin 1033333 is an Object plugin with the "
                                                 "default name O0."});

  const std::string before = Saved();
  Process({.type = kObject, .action = kRemove, .id = kId});
  EXPECT_EQ(ObjectCount(), 0u);
  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
}

TEST_F(ScanTest, MillionDeepChainWithParentAndDeepDescendantSelected) {
  standin::NewDocument();
  ASSERT_NO_FATAL_FAILURE(BuildChain(standin::ActiveDocument(), kDepth, kId, kId));
  OxNode* top = nullptr;
  OxNode* deep = nullptr;
  standin::ForEachObject(standin::ActiveDocument(), [&](OxNode* object, int depth) {
    if (depth == 0)
      top = object;
    if (static_cast<size_t>(depth) == kDepth / 2)
      deep = object;
  });
  standin::DeselectAll();
  ASSERT_TRUE(standin::SetSelected(top, true));
  ASSERT_TRUE(standin::SetSelected(deep, true));
  for (int32_t type : {kTag, kObject}) {
    Process({.type = type, .action = kList, .id = kId, .scope = 1});
    EXPECT_EQ(Rows().size(), kDepth) << "each object once, type " << type;
  }
  const std::string before = Saved();
  Process({.type = kObject, .action = kRemove, .id = kId, .scope = 1});
  EXPECT_EQ(ObjectCount(), 0u);
  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
}

TEST_F(ScanTest, MillionDeepLayerShaders) {
  standin::NewDocument();
  OxNode* material = standin::AddMaterial(standin::ActiveDocument(), "Deep", 5703);
  OxNode* layerShader = standin::SetChannelShader(material, 6, "L0", OX_TYPE_LAYER_SHADER);
  ASSERT_NE(layerShader, nullptr);
  for (size_t i = 1; i < kDepth; ++i) {
    layerShader = standin::AddLayerShader(layerShader, "L" + std::to_string(i), OX_TYPE_LAYER_SHADER);
    ASSERT_NE(layerShader, nullptr);
  }
  ASSERT_NE(standin::AddLayerShader(layerShader, "X", kId), nullptr);

  Process({.type = kShader, .action = kList, .id = kId});
  EXPECT_EQ(Rows(), std::vector<std::string>{"Deep | Bump | Yes"});

  const std::string before = Saved();
  const size_t nodes = standin::LiveNodeCount();
  Process({.type = kShader, .action = kRemove, .id = kId});
  EXPECT_EQ(standin::LiveNodeCount(), nodes - 1) << "only the linked shader goes";
  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
}

} // namespace
} // namespace scantest
