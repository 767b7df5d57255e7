// Smoke tests of the built module through the loader: the entry actions and
// their answers, registration, and a clean end, for both flavours. Each test
// runs a copy of the module in a temporary folder with its own "res" folder,
// so what the module reads is known here.
#include "runtime/host.h"
#include "runtime/support.h"

#include <algorithm>

namespace standin::test {
namespace {

struct Flavour {
  const char* name;
  const char* module;
  int32_t version;
};

void PrintTo(const Flavour& flavour, std::ostream* out) {
  *out << flavour.name << " " << flavour.module;
}

int32_t VersionOf(const std::string& flavour) {
  return flavour == "mac" ? OX_API_VERSION_MAC : OX_API_VERSION_WIN;
}

const Flavour kFlavours[] = {
    {ORPHANEX_MODULE_FLAVOUR, ORPHANEX_MODULE_PATH, VersionOf(ORPHANEX_MODULE_FLAVOUR)},
    {ORPHANEX_OTHER_MODULE_FLAVOUR, ORPHANEX_OTHER_MODULE_PATH, VersionOf(ORPHANEX_OTHER_MODULE_FLAVOUR)},
};

constexpr int32_t kCommandId = 1066888;
const std::string kStarted = "console: Tarnwick Software: Orphanex successfully loaded.";
const std::string kFailed = "console: Tarnwick Software: Failed to load Orphanex";

class ModuleTest : public ::testing::TestWithParam<Flavour> {
protected:
  void SetUp() override {
    SetPrintSink([this](std::string_view line) { printed.emplace_back(line); });
    module = dir / "Orphanex.so";
    std::filesystem::copy_file(GetParam().module, module);
  }
  void TearDown() override { SetPrintSink({}); }

  void WriteResources(bool withIcon = true) {
    dir.Write("res/strings.str", "# test texts\n10000 \"Orphanex\"\n10001 \"About \\\"Orphanex\\\"\"\n"
                                 "10002 \"Find and remove plug-in instances\"\n");
    if (withIcon)
      WritePng(dir / "res/Orphanex32x32.png", 32, 32);
  }
  bool Printed(const std::string& line) const {
    return std::find(printed.begin(), printed.end(), line) != printed.end();
  }
  std::vector<int32_t> AnswersOf(const Host& host) const {
    std::vector<int32_t> answers;
    for (const EntryAnswer& a : host.Answers())
      answers.push_back(a.answer);
    return answers;
  }
  LoadOptions Options() const {
    LoadOptions options;
    options.apiVersion = GetParam().version;
    return options;
  }

  TempDir dir;
  std::string module;
  std::vector<std::string> printed;
};

TEST_P(ModuleTest, StartsRegistersAndEndsCleanly) {
  WriteResources();
  Host host;
  ASSERT_TRUE(host.LoadModule(module, Options())) << host.Error();
  EXPECT_EQ(AnswersOf(host), (std::vector<int32_t>{1, 1, 1}));
  EXPECT_EQ(host.ModuleApiVersion(), GetParam().version);
  ASSERT_FALSE(printed.empty());
  EXPECT_EQ(printed.front(),
            "module: " + host.ModuleId() + " (API " + std::to_string(GetParam().version) + ")");
  EXPECT_TRUE(Printed(kStarted));
  EXPECT_EQ(ResourceLoadCount(), 1u);

  const RegisteredCommand* command = FindCommand(kCommandId);
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(command->name, "Orphanex");
  EXPECT_EQ(command->help, "Find and remove plug-in instances");
  EXPECT_EQ(command->infoFlags, 0);
  EXPECT_TRUE(command->hasIcon);
  EXPECT_EQ(command->iconWidth, 32u);
  EXPECT_EQ(command->iconHeight, 32u);
  EXPECT_EQ(command->apiVersion, GetParam().version);
  EXPECT_EQ(CommandState(kCommandId), std::optional<int32_t>(0x40000000));
  EXPECT_EQ(Commands().size(), 1u);
  EXPECT_EQ(LiveBitmaps(), 0u) << "the icon bitmap is the module's to release";

  host.Unload();
  EXPECT_EQ(host.AnswerOf(OX_ACTION_END), 1);
  EXPECT_TRUE(Commands().empty());
  EXPECT_FALSE(ResourcesLoaded()) << "the last end releases the resource texts";
  EXPECT_EQ(LiveBlocks(), 0u);
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_P(ModuleTest, RefusesAHostThatIsTooOldOrGivesNoModulePath) {
  WriteResources();
  struct Case {
    const char* what;
    int32_t version;
    bool nullPath;
  };
  for (const Case& c : {Case{"older host", GetParam().version - 1, false},
                        Case{"no module path", GetParam().version, true}}) {
    SCOPED_TRACE(c.what);
    Host host;
    LoadOptions options = Options();
    options.apiVersion = c.version;
    options.nullModulePath = c.nullPath;
    EXPECT_FALSE(host.LoadModule(module, options));
    EXPECT_FALSE(host.Accepted());
    EXPECT_EQ(AnswersOf(host), std::vector<int32_t>{OX_ENTRY_REFUSED}) << "no action after a refusal";
    EXPECT_TRUE(Commands().empty());
    host.Unload();
    EXPECT_EQ(host.Answers().size(), 1u) << "a refused module gets no end action";
    EXPECT_EQ(BreachCount(), 0u);
  }
  EXPECT_FALSE(Printed(kStarted));
  Host host;
  LoadOptions newer = Options();
  newer.apiVersion = GetParam().version + 1;
  EXPECT_TRUE(host.LoadModule(module, newer)) << "a newer host is fine";
}

TEST_P(ModuleTest, RefusesTablesThatAreShortOrMissing) {
  WriteResources();
  static const uint32_t kTooShort = sizeof(uint32_t);
  for (int area = 0; area <= OX_AREA_EVENT; ++area)
    for (bool missing : {false, true}) {
      SCOPED_TRACE("area " + std::to_string(area) + (missing ? " missing" : " short"));
      Host host;
      LoadOptions options = Options();
      options.adjustTables = [&](OxHostTables& tables) {
        tables.areas[area] = missing ? nullptr : &kTooShort;
      };
      EXPECT_FALSE(host.LoadModule(module, options));
      EXPECT_EQ(host.AnswerOf(OX_ACTION_INIT), OX_ENTRY_REFUSED);
    }
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_P(ModuleTest, OnlyTheLastEndEndsTheModule) {
  WriteResources();
  Host host;
  LoadOptions options = Options();
  options.startSteps = {
      {OX_ACTION_INIT, 0}, {OX_ACTION_INIT, 0}, {OX_ACTION_MESSAGE, 1}, {OX_ACTION_START, 0}};
  options.endSteps = {};
  ASSERT_TRUE(host.LoadModule(module, options)) << host.Error();
  EXPECT_EQ(AnswersOf(host), (std::vector<int32_t>{1, 1, 1, 1}));
  DestroyCommands();
  EXPECT_EQ(host.CallEntry(OX_ACTION_END), 1);
  EXPECT_TRUE(ResourcesLoaded()) << "one start is still unmatched";
  EXPECT_EQ(host.CallEntry(OX_ACTION_END), 1);
  EXPECT_FALSE(ResourcesLoaded());
  host.Unload();
  EXPECT_EQ(LiveBlocks(), 0u);
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_P(ModuleTest, AnswersEveryAction) {
  WriteResources();
  Host host;
  ASSERT_TRUE(host.LoadModule(module, Options())) << host.Error();
  const std::pair<EntryStep, int32_t> cases[] = {
      {{OX_ACTION_MESSAGE, 0}, 1},
      {{OX_ACTION_MESSAGE, 1}, 1}, // already loaded: not again
      {{OX_ACTION_MESSAGE, 2}, -1},
      {{OX_ACTION_MESSAGE, -1}, -1},
      {{OX_ACTION_QUERY, 0}, 5},
      {{5, 0}, -1},
      {{99, 0}, -1},
      {{-1, 0}, -1},
  };
  for (const auto& [step, answer] : cases)
    EXPECT_EQ(host.CallEntry(step.action, reinterpret_cast<void*>(step.code)), answer)
        << "action " << step.action << " code " << step.code;
  EXPECT_EQ(ResourceLoadCount(), 1u);
  host.Unload();
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_P(ModuleTest, MissingResourcesAndIcon) {
  {
    Host host;
    ASSERT_TRUE(host.LoadModule(module, Options())) << host.Error();
    EXPECT_EQ(host.AnswerOf(OX_ACTION_MESSAGE), -1);
    EXPECT_TRUE(Printed("console: Orphanex: failed to load resource file."));
    host.Unload();
    EXPECT_EQ(BreachCount(), 0u);
  }
  WriteResources(false);
  Host host;
  ASSERT_TRUE(host.LoadModule(module, Options())) << host.Error();
  EXPECT_EQ(AnswersOf(host), (std::vector<int32_t>{1, 1, 1}));
  ASSERT_NE(FindCommand(kCommandId), nullptr);
  EXPECT_FALSE(FindCommand(kCommandId)->hasIcon) << "registered without an icon";
  host.Unload();
  EXPECT_EQ(BreachCount(), 0u);
}

// Whichever allocation of the start fails, the start answers cleanly and
// nothing is left in the allocator.
TEST_P(ModuleTest, StartSurvivesEveryFailedAllocation) {
  WriteResources();
  for (size_t n = 1; n <= 8; ++n) {
    SCOPED_TRACE("allocation " + std::to_string(n));
    printed.clear();
    Host host;
    LoadOptions options = Options();
    options.startSteps = {{OX_ACTION_INIT, 0}, {OX_ACTION_MESSAGE, 1}};
    ASSERT_TRUE(host.LoadModule(module, options)) << host.Error();
    FailAllocationAfter(n);
    const size_t before = AllocationCount();
    const int32_t answer = host.CallEntry(OX_ACTION_START);
    const bool failedDuringStart = AllocationCount() - before >= n;
    if (n == 1) {
      EXPECT_TRUE(failedDuringStart);
    }
    if (failedDuringStart && answer == 0) {
      EXPECT_TRUE(Printed(kFailed));
    }
    EXPECT_EQ(answer == 1, FindCommand(kCommandId) != nullptr);
    host.Unload();
    EXPECT_EQ(LiveBlocks(), 0u);
    EXPECT_EQ(BreachCount(), 0u);
  }
}

TEST_P(ModuleTest, ARefusedRegistrationIsTheModulesToFree) {
  WriteResources();
  for (bool byRepeat : {false, true}) {
    SCOPED_TRACE(byRepeat ? "start repeated: id taken" : "host refuses");
    printed.clear();
    Host host;
    LoadOptions options = Options();
    if (!byRepeat)
      options.startSteps = {{OX_ACTION_INIT, 0}, {OX_ACTION_MESSAGE, 1}};
    ASSERT_TRUE(host.LoadModule(module, options)) << host.Error();
    RefuseRegistrations(!byRepeat);
    EXPECT_EQ(host.CallEntry(OX_ACTION_START), 0);
    EXPECT_TRUE(Printed(kFailed));
    EXPECT_EQ(Commands().size(), byRepeat ? 1u : 0u);
    host.Unload();
    EXPECT_EQ(LiveBlocks(), 0u);
    EXPECT_EQ(BreachCount(), 0u);
  }
}

TEST_P(ModuleTest, BlocksLeftInTheAllocatorAtUnloadAreABreach) {
  WriteResources();
  Host host;
  ASSERT_TRUE(host.LoadModule(module, Options())) << host.Error();
  // As if the module had kept a block past its end.
  static_cast<const OxMemoryArea*>(host.Tables().areas[OX_AREA_MEMORY])->allocate(24);
  host.Unload();
  EXPECT_EQ(BreachCount(), 1u);
  EXPECT_TRUE(Printed("breach: unload: 1 block(s) of the host allocator not released"));
}

INSTANTIATE_TEST_SUITE_P(Flavours, ModuleTest, ::testing::ValuesIn(kFlavours),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace standin::test
