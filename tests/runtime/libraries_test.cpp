// Library look-up and its test switches.
#include "runtime/support.h"
#include "scene/world.h"
#include "ui/gui.h"

namespace standin::test {
namespace {

class LibrariesTest : public RuntimeTest {
protected:
  const OxLibraryArea* libraries() const { return AreaOf<OxLibraryArea>(tables(), OX_AREA_LIBRARY); }
};

TEST_F(LibrariesTest, FindsTheSubsystemsTablesByIdAndNothingElse) {
  EXPECT_EQ(static_cast<const void*>(libraries()->find(OX_LIBRARY_TREEVIEW)),
            static_cast<const void*>(TreeViewLibrary()));
  EXPECT_EQ(static_cast<const void*>(libraries()->find(OX_LIBRARY_LAYERSHADER)),
            static_cast<const void*>(LayerShaderLibrary()));
  for (int32_t id : {0, -1, 1000476, 450000054})
    EXPECT_EQ(libraries()->find(id), nullptr) << id;
}

TEST_F(LibrariesTest, SwitchesGiveMissingShortAndNullSlotTables) {
  if (TreeViewLibrary() == nullptr || LayerShaderLibrary() == nullptr)
    GTEST_SKIP() << "a subsystem has no library table yet";
  SetLibraryMode(OX_LIBRARY_TREEVIEW, LibraryMode::Missing);
  EXPECT_EQ(libraries()->find(OX_LIBRARY_TREEVIEW), nullptr);
  EXPECT_NE(libraries()->find(OX_LIBRARY_LAYERSHADER), nullptr) << "only the one switched";

  SetLibraryMode(OX_LIBRARY_TREEVIEW, LibraryMode::Short);
  const auto* shortTree = reinterpret_cast<const OxTreeViewLibrary*>(libraries()->find(OX_LIBRARY_TREEVIEW));
  ASSERT_NE(shortTree, nullptr);
  EXPECT_EQ(shortTree->size, offsetof(OxTreeViewLibrary, refresh));
  EXPECT_EQ(shortTree->setRoot, TreeViewLibrary()->setRoot);

  SetLibraryMode(OX_LIBRARY_LAYERSHADER, LibraryMode::NullSlot);
  const auto* nullSlot =
      reinterpret_cast<const OxLayerShaderLibrary*>(libraries()->find(OX_LIBRARY_LAYERSHADER));
  ASSERT_NE(nullSlot, nullptr);
  EXPECT_EQ(nullSlot->size, sizeof(OxLayerShaderLibrary));
  EXPECT_EQ(nullSlot->parameter, nullptr);
  EXPECT_EQ(nullSlot->first, LayerShaderLibrary()->first);

  ResetRuntime();
  EXPECT_EQ(static_cast<const void*>(libraries()->find(OX_LIBRARY_TREEVIEW)),
            static_cast<const void*>(TreeViewLibrary()));
}

} // namespace
} // namespace standin::test
