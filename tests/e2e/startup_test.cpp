// The plug-in's start under conditions a script cannot set up: a host
// allocator that fails, a host older than the flavour, an icon that cannot
// be loaded; then what a person meets afterwards. Also the parts of
// identification that the command line cannot show.
#include "core/breach.h"
#include "e2e/e2e_support.h"
#include "runtime/runtime.h"
#include "scene/world.h"

#include <gtest/gtest.h>
#include <string>

namespace e2e {
namespace {

constexpr int32_t kCommandId = 1066888;
const std::string kLoaded = "console: Tarnwick Software: Orphanex successfully loaded.";
const std::string kFailed = "console: Tarnwick Software: Failed to load Orphanex";
const std::string kNotRegistered = "<script>:1: command 1066888 is not registered\n";

class StartupTest : public ::testing::TestWithParam<Flavour> {};

TEST_P(StartupTest, ACommandThatCannotBeAllocatedIsNotRegisteredAndOpenFailsCleanly) {
  Session session;
  standin::LoadOptions options;
  options.startSteps = {{OX_ACTION_INIT, 0}, {OX_ACTION_MESSAGE, 1}};
  ASSERT_TRUE(session.Start(SceneFile("e2e_tags.json"), GetParam().module, options)) << session.error;
  standin::FailAllocationAfter(1); // the command object is the start's first allocation
  EXPECT_EQ(session.host.CallEntry(OX_ACTION_START), 0);
  EXPECT_TRUE(session.Printed(kFailed));
  EXPECT_FALSE(session.Printed(kLoaded));
  EXPECT_EQ(standin::FindCommand(kCommandId), nullptr);
  EXPECT_EQ(standin::LiveBlocks(), 0u);

  // The host goes on; only the command is missing.
  EXPECT_EQ(session.Run("open\n"), 1);
  EXPECT_EQ(session.error, kNotRegistered);
  EXPECT_EQ(session.Run("show scene\nexpect Prop [5159]\n"), 0) << session.error;
  session.host.Unload();
  EXPECT_EQ(standin::LiveBlocks(), 0u);
  EXPECT_EQ(standin::BreachCount(), 0u);
}

TEST_P(StartupTest, AHostBelowTheFlavoursVersionIsRefusedAndKeepsRunning) {
  Session session;
  standin::LoadOptions options;
  options.apiVersion = GetParam().api - 1;
  EXPECT_FALSE(session.Start(SceneFile("e2e_tags.json"), GetParam().module, options));
  EXPECT_EQ(session.host.AnswerOf(OX_ACTION_INIT), OX_ENTRY_REFUSED);
  EXPECT_EQ(session.host.Answers().size(), 1u) << "nothing after the refusal";
  EXPECT_TRUE(standin::Commands().empty());
  EXPECT_FALSE(session.Printed(kLoaded));
  EXPECT_FALSE(session.Printed(kFailed));

  EXPECT_EQ(session.Run("open\n"), 1);
  EXPECT_EQ(session.error, kNotRegistered);
  EXPECT_EQ(session.Run("show scene\nexpect Prop [5159]\n"), 0) << session.error;
  EXPECT_EQ(standin::BreachCount(), 0u);
}

TEST_P(StartupTest, AnIconThatCannotBeLoadedLeavesTheCommandWithoutIcon) {
  for (const Layout layout : {Layout::NoIcon, Layout::CorruptIcon}) {
    SCOPED_TRACE(layout == Layout::NoIcon ? "no icon" : "corrupt icon");
    TempDir dir;
    const std::string module = MakePluginFolder(dir, GetParam(), layout);
    Session session;
    ASSERT_TRUE(session.Start(SceneFile("e2e_tags.json"), module)) << session.error;
    const standin::RegisteredCommand* command = standin::FindCommand(kCommandId);
    ASSERT_NE(command, nullptr);
    EXPECT_FALSE(command->hasIcon);
    EXPECT_EQ(command->name, "Orphanex");
    EXPECT_EQ(session.printed.size(), 2u) << "the loader's line and the module's, no message";
    EXPECT_TRUE(session.Printed(kLoaded));
    EXPECT_EQ(session.Run("open\nset 1005 1057311\npress 1002\nshow list\nexpect Prop | Wobble.3\n"), 0)
        << session.error;
    session.host.Unload();
    EXPECT_EQ(standin::LiveBitmaps(), 0u);
    EXPECT_EQ(standin::BreachCount(), 0u);
  }
  // With the icon in place it is registered.
  Session session;
  ASSERT_TRUE(session.Start(SceneFile("e2e_tags.json"), GetParam().module)) << session.error;
  ASSERT_NE(standin::FindCommand(kCommandId), nullptr);
  EXPECT_TRUE(standin::FindCommand(kCommandId)->hasIcon);
}

// The macOS build declares 2025200 and accepts a host of that version; the
// Windows build requires 2025300.
TEST_P(StartupTest, OnlyTheMacFlavourAcceptsApi2025200) {
  const bool mac = std::string(GetParam().name) == "mac";
  Session session;
  standin::LoadOptions options;
  options.apiVersion = OX_API_VERSION_MAC;
  EXPECT_EQ(session.Start(SceneFile("e2e_tags.json"), GetParam().module, options), mac) << session.error;
  EXPECT_EQ(session.host.AnswerOf(OX_ACTION_INIT), mac ? 1 : OX_ENTRY_REFUSED);
  EXPECT_EQ(session.Run("open\nset 1005 1057311\npress 1002\nshow list\nexpect Arm | Wobble.1\n"),
            mac ? 0 : 1)
      << session.error;
  if (mac) {
    ASSERT_NE(standin::FindCommand(kCommandId), nullptr);
    EXPECT_EQ(standin::FindCommand(kCommandId)->apiVersion, OX_API_VERSION_MAC);
  } else {
    EXPECT_EQ(session.error, kNotRegistered);
  }
  session.host.Unload();
  EXPECT_EQ(standin::BreachCount(), 0u);
}

// ---- identification ---------------------------------------------------------------

// A registry type code past the name table: scene files cannot hold one.
TEST_P(StartupTest, ARegistryTypePastTheTableIsUnknown) {
  Session session;
  ASSERT_TRUE(session.Start(SceneFile("e2e_registry.json"), GetParam().module)) << session.error;
  standin::RegisterPlugin(3039, 39, "Odd One");
  ASSERT_EQ(session.Run("open\nset 5008 0\nset 1005 3039\npress 1002\n"), 0) << session.error;
  EXPECT_TRUE(
      session.Printed("message(48): Plugin 3039 was not found in the scene file,\\nbut is reported by C4D "
                      "as a plugin of type\\n'Unknown' with the name 'Odd One'\\n(but see the manual for "
                      "caveats in this context)."));
  EXPECT_EQ(standin::BreachCount(), 0u);
}

// Identification stops at the first kind that holds the identifier: the scans
// after it leave no trace (no material updated, no further scene change).
TEST_P(StartupTest, IdentificationRunsNoScanAfterTheKindThatAnswered) {
  Session session;
  ASSERT_TRUE(session.Start(SceneFile("e2e_chain.json"), GetParam().module)) << session.error;
  ASSERT_EQ(session.Run("open\n"), 0) << session.error;
  struct Trace {
    size_t changes, updates;
  };
  auto run = [&](const std::string& script) {
    const Trace before{standin::SceneChangedCount(), standin::MaterialUpdateCount()};
    EXPECT_EQ(session.Run(script), 0) << script << session.error;
    return Trace{standin::SceneChangedCount() - before.changes,
                 standin::MaterialUpdateCount() - before.updates};
  };
  const std::string list = "set 5008 1\nset 5006 ";
  for (const char* id : {"4711", "4712"}) {
    SCOPED_TRACE(id);
    const Trace tags = run(list + "0\nset 1005 " + id + "\npress 1002\n");
    const Trace shaders = run(list + "1\nset 1005 " + id + "\npress 1002\n");
    session.printed.clear();
    const Trace identify = run(std::string("set 5008 0\nset 1005 ") + id + "\npress 1002\n");
    ASSERT_EQ(session.printed.size(), 1u);
    if (std::string(id) == "4711") {
      EXPECT_EQ(session.printed[0], "message(48): Plugin 4711 is a Tag plugin with the default name Wobble.");
      EXPECT_EQ(identify.changes, tags.changes);
      EXPECT_EQ(identify.updates, 0u);
    } else {
      EXPECT_EQ(session.printed[0],
                "message(48): Plugin 4712 is a Shader plugin with the default name Dust.");
      EXPECT_EQ(identify.changes, tags.changes + shaders.changes);
      EXPECT_EQ(identify.updates, shaders.updates);
    }
  }
  EXPECT_EQ(standin::BreachCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Flavours, StartupTest, ::testing::ValuesIn(BothFlavours()),
                         [](const ::testing::TestParamInfo<Flavour>& info) {
                           return std::string(info.param.name);
                         });

} // namespace
} // namespace e2e
