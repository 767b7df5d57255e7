// The Host without a module: what it resets, the tables it builds, and the
// loader's refusals of files that are not usable modules.
#include "core/texts.h"
#include "runtime/host.h"
#include "runtime/support.h"

#include <dlfcn.h>
#include <png.h>

namespace standin::test {
namespace {

class HostTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetPrintSink([this](std::string_view line) { printed.emplace_back(line); });
  }
  void TearDown() override { SetPrintSink({}); }
  std::vector<std::string> printed;
};

TEST_F(HostTest, TablesCarryTheVersionAndEveryUsedArea) {
  Host host;
  const OxHostTables& tables = host.Tables();
  EXPECT_EQ(tables.apiVersion, OX_API_VERSION_WIN);
  for (int i = 0; i < OX_AREA_COUNT; ++i) {
    const auto* area = static_cast<const uint32_t*>(tables.areas[i]);
    if (i <= OX_AREA_EVENT) {
      ASSERT_NE(area, nullptr) << "area " << i;
      EXPECT_GE(*area, sizeof(uint32_t) + sizeof(void*)) << "area " << i;
    } else {
      EXPECT_EQ(area, nullptr) << "area " << i << " is not offered";
    }
  }
}

TEST_F(HostTest, ANewHostStartsEmpty) {
  {
    Host host;
    const auto* memory = static_cast<const OxMemoryArea*>(host.Tables().areas[OX_AREA_MEMORY]);
    memory->allocate(10);
    FailAllocationAfter(1);
    memory->release(&host); // a breach
    EXPECT_EQ(BreachCount(), 1u);
  }
  Host host;
  EXPECT_EQ(LiveBlocks(), 0u);
  EXPECT_EQ(BreachCount(), 0u);
  const auto* memory = static_cast<const OxMemoryArea*>(host.Tables().areas[OX_AREA_MEMORY]);
  void* block = memory->allocate(1);
  EXPECT_NE(block, nullptr) << "fault switch cleared";
  memory->release(block);
}

TEST_F(HostTest, OnlyOneHostAtATime) {
  Host host;
  EXPECT_THROW(Host(), std::logic_error);
}

TEST_F(HostTest, RefusesFilesThatAreNotModules) {
  TempDir dir;
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&png_create_read_struct), &info), 0);
  const std::string notAModule = info.dli_fname; // a real shared library without our symbols

  const std::pair<std::string, std::string> cases[] = {
      {dir / "missing.so", "cannot load module"},
      {dir.Write("garbage.so", "not an ELF file"), "cannot load module"},
      {notAModule, "no entry point 'c4d_main'"},
  };
  for (const auto& [path, error] : cases) {
    SCOPED_TRACE(path);
    Host host;
    EXPECT_FALSE(host.LoadModule(path));
    EXPECT_NE(host.Error().find(error), std::string::npos) << host.Error();
    EXPECT_FALSE(host.Loaded());
    EXPECT_TRUE(host.Answers().empty());
    EXPECT_EQ(host.CallEntry(OX_ACTION_QUERY), INT32_MIN);
  }
  EXPECT_TRUE(printed.empty());
}

} // namespace
} // namespace standin::test
