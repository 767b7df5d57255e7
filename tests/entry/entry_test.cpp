// The entry glue, driven through dlopen against a fake host, in both
// flavours: the answers to the entry actions, the checks at the first action
// 1, the resource message, the command's registration and callbacks, and the
// release of everything at the last action 3.
#include "entry/fake_host.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kModuleFile = "/plugins/Orphanex/Orphanex.so";
constexpr const char* kResFolder = "/plugins/Orphanex/res";
constexpr const char* kIconPath = "/plugins/Orphanex/res/Orphanex32x32.png";
constexpr int32_t kPluginId = 1066888;

struct Flavour {
  std::string name;
  std::string path;
  int32_t apiVersion;
};

void PrintTo(const Flavour& flavour, std::ostream* os) {
  *os << flavour.name;
}

int32_t VersionOf(std::string_view flavour) {
  return flavour == "mac" ? OX_API_VERSION_MAC : OX_API_VERSION_WIN;
}

std::vector<Flavour> Flavours() {
  return {
      {ORPHANEX_MODULE_FLAVOUR, ORPHANEX_MODULE_PATH, VersionOf(ORPHANEX_MODULE_FLAVOUR)},
      {ORPHANEX_OTHER_MODULE_FLAVOUR, ORPHANEX_OTHER_MODULE_PATH, VersionOf(ORPHANEX_OTHER_MODULE_FLAVOUR)}};
}

void* Code(intptr_t code) {
  return reinterpret_cast<void*>(code);
}

class EntryTest : public ::testing::TestWithParam<Flavour> {
protected:
  void SetUp() override {
    fake::Reset();
    library_ = dlopen(GetParam().path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    entry_ = reinterpret_cast<OxEntryPoint>(dlsym(library_, OX_ENTRY_SYMBOL));
    ASSERT_NE(entry_, nullptr);
    tables_ = fake::Tables(GetParam().apiVersion);
  }

  void TearDown() override {
    if (library_ == nullptr)
      return;
    DestroyCommands();
    while (inits_ > 0)
      End();
    dlclose(library_);
    fake::Reset();
  }

  int32_t Call(int32_t action, void* p1 = nullptr, void* p2 = nullptr) {
    return entry_(action, p1, p2, nullptr);
  }

  int32_t Init(const OxHostTables* tables, const char* path = kModuleFile) {
    const int32_t answer = Call(OX_ACTION_INIT, const_cast<OxHostTables*>(tables), const_cast<char*>(path));
    if (answer == 1)
      ++inits_;
    return answer;
  }
  int32_t Init() { return Init(&tables_); }
  int32_t End() {
    --inits_;
    return Call(OX_ACTION_END);
  }
  int32_t Message(intptr_t code) { return Call(OX_ACTION_MESSAGE, Code(code)); }

  // Initialise, load the resources and start: what a host does at start-up.
  void Start() {
    ASSERT_EQ(Init(), 1);
    ASSERT_EQ(Message(1), 1);
    ASSERT_EQ(Call(OX_ACTION_START), 1);
    ASSERT_EQ(fake::Host().registrations.size(), 1u);
  }

  // What the host does before it ends the module: it ends every command it owns.
  void DestroyCommands() {
    for (const fake::Registration& r : fake::Host().registrations)
      r.callbacks->destroy(r.self);
    fake::Host().registrations.clear();
  }

  void ExpectNothingLeft() {
    EXPECT_TRUE(fake::Host().liveBlocks.empty()) << fake::Host().liveBlocks.size() << " blocks left";
    EXPECT_EQ(fake::Host().badFrees, 0u);
    EXPECT_EQ(fake::LiveTexts(), 0u);
    for (const fake::Dialog& d : fake::Host().dialogs)
      EXPECT_TRUE(d.destroyed);
    for (const fake::Bitmap& b : fake::Host().bitmaps)
      EXPECT_TRUE(b.released);
  }

  void* library_ = nullptr;
  OxEntryPoint entry_ = nullptr;
  OxHostTables tables_{};
  int inits_ = 0;
};

TEST_P(EntryTest, ExportsModuleInfoAndYieldDelegate) {
  const auto* info = static_cast<const OxModuleInfo*>(dlsym(library_, OX_MODULE_INFO_SYMBOL));
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->size, sizeof(OxModuleInfo));
  EXPECT_STREQ(info->moduleId, "com.tarnwicksoftware.orphanex");
  EXPECT_EQ(info->apiVersion, GetParam().apiVersion);

  const auto* yield = static_cast<const OxCpuYieldDelegate*>(dlsym(library_, OX_YIELD_SYMBOL));
  ASSERT_NE(yield, nullptr);
  EXPECT_EQ(yield->size, sizeof(OxCpuYieldDelegate));
  ASSERT_NE(yield->yield, nullptr);
  yield->yield(); // usable before any action
}

TEST_P(EntryTest, AnswersEachAction) {
  ASSERT_EQ(Init(), 1);
  struct Case {
    int32_t action;
    intptr_t code;
    int32_t answer;
  };
  const Case cases[] = {
      {OX_ACTION_QUERY, 0, 5},
      {0, 0, -1},
      {5, 0, -1},
      {7, 0, -1},
      {-1, 0, -1},
      {INT32_MAX, 0, -1},
      {OX_ACTION_MESSAGE, 0, 1},
      {OX_ACTION_MESSAGE, 2, -1},
      {OX_ACTION_MESSAGE, -1, -1},
      {OX_ACTION_MESSAGE, 10020, -1},
      // The code is the argument's low 32 bits.
      {OX_ACTION_MESSAGE, static_cast<intptr_t>(int64_t{1} << 32), 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Call(c.action, Code(c.code)), c.answer) << "action " << c.action << " code " << c.code;
  EXPECT_TRUE(fake::Host().resourceLoads.empty());
  EXPECT_TRUE(fake::Host().console.empty());
}

TEST_P(EntryTest, RequiresTheFlavoursApiVersion) {
  const int32_t own = GetParam().apiVersion;
  struct Case {
    int32_t hostVersion;
    int32_t answer;
  };
  const Case cases[] = {
      {own, 1},
      {own - 1, OX_ENTRY_REFUSED},
      {OX_API_VERSION_MAC, GetParam().name == "mac" ? 1 : OX_ENTRY_REFUSED},
      {OX_API_VERSION_WIN, 1},
      {INT32_MAX, 1},
      {0, OX_ENTRY_REFUSED},
      {INT32_MIN, OX_ENTRY_REFUSED},
  };
  for (const Case& c : cases) {
    fake::Reset();
    tables_.apiVersion = c.hostVersion;
    EXPECT_EQ(Init(), c.answer) << "host version " << c.hostVersion;
    // A refused host is not used: the module calls nothing through it.
    EXPECT_EQ(Message(1), c.answer == 1 ? 1 : -1);
    EXPECT_EQ(fake::Host().resourceLoads.size(), c.answer == 1 ? 1u : 0u);
    if (c.answer == 1)
      End();
  }
}

TEST_P(EntryTest, RefusesWithoutPathOrTablesAndCanBeInitialisedLater) {
  struct Case {
    const char* what;
    const OxHostTables* tables;
    const char* path;
  };
  const Case cases[] = {
      {"null path", &tables_, nullptr}, {"empty path", &tables_, ""}, {"no tables", nullptr, kModuleFile}};
  for (const Case& c : cases) {
    fake::Reset();
    EXPECT_EQ(Init(c.tables, c.path), OX_ENTRY_REFUSED) << c.what;
    EXPECT_EQ(Call(OX_ACTION_START), 0) << c.what;
    EXPECT_EQ(fake::Host().registerCalls, 0) << c.what;
    // The refusal did not count: one action 1 and one action 3 make a whole cycle.
    ASSERT_EQ(Init(), 1) << c.what;
    EXPECT_EQ(Message(1), 1);
    EXPECT_EQ(fake::Host().resourceLoads, std::vector<std::string>{kResFolder}) << c.what;
    End();
    EXPECT_EQ(fake::Host().resourceUnloads, 1) << c.what;
  }
}

// A copy of an area table that the module must refuse.
struct Mutilated {
  alignas(std::max_align_t) unsigned char bytes[512];
};

TEST_P(EntryTest, RefusesMissingShortOrIncompleteAreas) {
  for (int index = 0; index <= OX_AREA_EVENT; ++index) {
    const void* original = tables_.areas[index];
    const uint32_t size = *static_cast<const uint32_t*>(original);
    ASSERT_LE(size, sizeof(Mutilated::bytes));
    Mutilated copy{};

    OxHostTables missing = tables_;
    missing.areas[index] = nullptr;
    EXPECT_EQ(Init(&missing), OX_ENTRY_REFUSED) << "area " << index << " missing";

    std::memcpy(copy.bytes, original, size);
    const uint32_t shorter = size - sizeof(void*);
    std::memcpy(copy.bytes, &shorter, sizeof shorter);
    OxHostTables shortened = tables_;
    shortened.areas[index] = copy.bytes;
    EXPECT_EQ(Init(&shortened), OX_ENTRY_REFUSED) << "area " << index << " short";

    // Full size, but its last slot is null.
    std::memcpy(copy.bytes, original, size);
    std::memset(copy.bytes + size - sizeof(void*), 0, sizeof(void*));
    EXPECT_EQ(Init(&shortened), OX_ENTRY_REFUSED) << "area " << index << " with a null slot";
  }
  // A slot in the middle counts as much as the last one.
  OxTextArea text = *static_cast<const OxTextArea*>(tables_.areas[OX_AREA_TEXT]);
  text.retain = nullptr;
  OxHostTables noRetain = tables_;
  noRetain.areas[OX_AREA_TEXT] = &text;
  EXPECT_EQ(Init(&noRetain), OX_ENTRY_REFUSED);

  // Areas the module does not use may be absent or anything at all.
  OxHostTables extra = tables_;
  static const uint32_t tiny = 4;
  for (int index = OX_AREA_EVENT + 1; index < OX_AREA_COUNT; ++index)
    extra.areas[index] = index % 2 == 0 ? &tiny : nullptr;
  EXPECT_EQ(Init(&extra), 1);
  End();
  EXPECT_EQ(fake::Host().registerCalls, 0);
}

TEST_P(EntryTest, NeedsResetPenOnlyInTheMacFlavour) {
  OxDrawArea draw = *static_cast<const OxDrawArea*>(tables_.areas[OX_AREA_DRAW]);
  draw.resetPen = nullptr;
  OxHostTables tables = tables_;
  tables.areas[OX_AREA_DRAW] = &draw;
  EXPECT_EQ(Init(&tables), GetParam().name == "mac" ? OX_ENTRY_REFUSED : 1);
}

TEST_P(EntryTest, LaterInitialisationsOnlyCount) {
  ASSERT_EQ(Init(), 1);
  // Neither the version nor the tables nor the path are looked at again.
  OxHostTables old = tables_;
  old.apiVersion = 1;
  EXPECT_EQ(Init(&old, "/elsewhere/Other.so"), 1);
  EXPECT_EQ(Init(nullptr, nullptr), 1);

  EXPECT_EQ(Message(1), 1);
  EXPECT_EQ(fake::Host().resourceLoads, std::vector<std::string>{kResFolder}); // the first path stays

  End();
  End();
  EXPECT_EQ(fake::Host().resourceUnloads, 0);
  EXPECT_EQ(Message(0), 1);
  End();
  EXPECT_EQ(fake::Host().resourceUnloads, 1);

  // The module has let go of the tables: it calls nothing any more.
  EXPECT_EQ(Call(OX_ACTION_START), 0);
  EXPECT_EQ(Message(1), -1);
  EXPECT_EQ(fake::Host().resourceLoads.size(), 1u);
  EXPECT_EQ(fake::Host().registerCalls, 0);
  EXPECT_TRUE(fake::Host().console.empty());

  // An end that matches no start is ignored, and does not push the count below 0.
  EXPECT_EQ(Call(OX_ACTION_END), 1);
  ASSERT_EQ(Init(), 1);
  End();
  EXPECT_EQ(fake::Host().resourceUnloads, 2);
}

TEST_P(EntryTest, LoadsResourcesOncePerInitialisation) {
  ASSERT_EQ(Init(), 1);
  fake::Host().resourceLoadSucceeds = false;
  EXPECT_EQ(Message(1), -1);
  EXPECT_EQ(fake::Host().console, std::vector<std::string>{"Orphanex: failed to load resource file."});

  fake::Host().resourceLoadSucceeds = true;
  EXPECT_EQ(Message(1), 1);
  EXPECT_EQ(Message(1), 1);
  EXPECT_EQ(fake::Host().resourceLoads, (std::vector<std::string>{kResFolder, kResFolder}));
  EXPECT_EQ(fake::Host().console.size(), 1u);

  // After the last end they are gone, and a new cycle loads them again.
  End();
  ASSERT_EQ(Init(), 1);
  EXPECT_EQ(Message(1), 1);
  EXPECT_EQ(fake::Host().resourceLoads.size(), 3u);
}

TEST_P(EntryTest, StartRegistersTheCommand) {
  for (const bool iconLoads : {true, false}) {
    SCOPED_TRACE(iconLoads ? "icon loads" : "icon missing");
    fake::Reset();
    fake::Host().bitmapLoadSucceeds = iconLoads;
    Start();
    const fake::Registration& r = fake::Host().registrations[0];
    EXPECT_EQ(r.pluginId, kPluginId);
    EXPECT_EQ(r.name, "Orphanex");
    EXPECT_EQ(r.help, "Removes plug-in instances");
    EXPECT_EQ(r.infoFlags, 0);
    EXPECT_EQ(r.apiVersion, GetParam().apiVersion);
    EXPECT_EQ(r.hasIcon, iconLoads);
    ASSERT_NE(r.callbacks, nullptr);
    EXPECT_EQ(r.callbacks->size, sizeof(OxCommandCallbacks));

    ASSERT_EQ(fake::Host().bitmaps.size(), 1u);
    const fake::Bitmap& icon = fake::Host().bitmaps[0];
    EXPECT_EQ(icon.loadedFrom, kIconPath);
    EXPECT_EQ(icon.scale, iconLoads ? 1.0 : 0.0);
    EXPECT_TRUE(icon.released); // the host keeps its own copy
    EXPECT_EQ(fake::Host().console,
              std::vector<std::string>{"Tarnwick Software: Orphanex successfully loaded."});

    DestroyCommands();
    End();
    ExpectNothingLeft();
  }
}

TEST_P(EntryTest, FailedStartLeavesNothingBehind) {
  struct Case {
    const char* what;
    bool failAllocations, refuseRegistration, failDialog;
    int registerCalls;
  };
  const Case cases[] = {
      {"allocation fails", true, false, false, 0},
      {"host refuses the registration", false, true, false, 1},
      {"host cannot make the dialog", false, false, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake::Reset();
    ASSERT_EQ(Init(), 1);
    ASSERT_EQ(Message(1), 1);
    fake::Host().failAllocations = c.failAllocations;
    fake::Host().registrationSucceeds = !c.refuseRegistration;
    fake::Host().dialogCreateSucceeds = !c.failDialog;
    EXPECT_EQ(Call(OX_ACTION_START), 0);
    EXPECT_EQ(fake::Host().registerCalls, c.registerCalls);
    EXPECT_TRUE(fake::Host().registrations.empty());
    EXPECT_EQ(fake::Host().console, std::vector<std::string>{"Tarnwick Software: Failed to load Orphanex"});
    ExpectNothingLeft();
    End();
  }
}

TEST_P(EntryTest, CommandCallbacks) {
  Start();
  const fake::Registration r = fake::Host().registrations[0];
  const OxCommandCallbacks& cb = *r.callbacks;
  ASSERT_EQ(fake::Host().dialogs.size(), 1u);
  auto* dialog = reinterpret_cast<OxDialog*>(&fake::Host().dialogs[0]);
  OxDocument* doc = nullptr;

  EXPECT_EQ(cb.state(r.self, doc), 0x40000000);
  EXPECT_EQ(cb.text(r.self), nullptr);
  EXPECT_NE(cb.message(r.self, 0, nullptr), 0);
  EXPECT_NE(cb.message(r.self, 12345, nullptr), 0);
  EXPECT_EQ(cb.unused3(r.self), 0);
  EXPECT_EQ(cb.unused4(r.self), 0);
  EXPECT_EQ(cb.unused6(r.self), 0);

  // Execute opens a closed dialog and leaves an open one alone.
  EXPECT_NE(cb.execute(r.self, doc), 0);
  const fake::OpenCall opened{dialog, OX_DIALOG_NONMODAL, kPluginId, 0, -1, -1, 0, 0};
  EXPECT_EQ(fake::Host().opens, std::vector<fake::OpenCall>{opened});
  fake::Host().dialogOpen = true;
  EXPECT_NE(cb.execute(r.self, doc), 0);
  EXPECT_EQ(fake::Host().opens.size(), 1u);

  // Restore passes the layout data and answers what the host answered.
  int layout = 0;
  for (const OxBool answer : {OxBool{1}, OxBool{0}}) {
    fake::Host().restoreAnswer = answer;
    EXPECT_EQ(cb.restoreLayout(r.self, &layout) != 0, answer != 0);
  }
  const fake::RestoreCall restored{dialog, kPluginId, 0, &layout};
  EXPECT_EQ(fake::Host().restores, (std::vector<fake::RestoreCall>{restored, restored}));

  // Destroy ends the dialog with the command and gives the storage back.
  DestroyCommands();
  ExpectNothingLeft();
  End();
}

TEST_P(EntryTest, LooksLibrariesUpOncePerInitialisation) {
  const OxTreeViewLibrary& complete = fake::TreeViewLibrary();
  OxTreeViewLibrary shortened = complete;
  shortened.size = sizeof(OxTreeViewLibrary) - sizeof(void*);
  OxTreeViewLibrary holed = complete;
  holed.setLayout = nullptr;
  struct Case {
    const char* what;
    const OxTreeViewLibrary* library;
    bool used;
  };
  const Case cases[] = {{"complete", &complete, true},
                        {"missing", nullptr, false},
                        {"short", &shortened, false},
                        {"with a null slot", &holed, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake::Reset();
    if (c.library != nullptr)
      fake::Host().libraries[OX_LIBRARY_TREEVIEW] = reinterpret_cast<const OxLibraryHeader*>(c.library);
    for (int cycle = 1; cycle <= 2; ++cycle) {
      Start();
      // Opening the window twice: the layout binds the list each time.
      const fake::Dialog& dialog = fake::Host().dialogs.back();
      for (int opening = 0; opening < 2; ++opening) {
        fake::SendDialogMessage(dialog, OX_DLGMSG_CREATE_LAYOUT);
        fake::SendDialogMessage(dialog, OX_DLGMSG_INIT_VALUES);
      }
      EXPECT_EQ(fake::Host().libraryFinds[OX_LIBRARY_TREEVIEW], cycle);
      EXPECT_EQ(fake::Host().treeLayouts, c.used ? 2 * cycle : 0);
      DestroyCommands();
      End();
    }
  }
}

TEST_P(EntryTest, DialogMessagesReachTheOperations) {
  Start();
  const fake::Dialog& dialog = fake::Host().dialogs[0];
  // The dialog lets the window close; unknown messages are not handled.
  EXPECT_EQ(fake::SendDialogMessage(dialog, OX_DLGMSG_ASK_CLOSE), 0);
  EXPECT_EQ(fake::SendDialogMessage(dialog, 999), 0);
  EXPECT_NE(fake::SendDialogMessage(dialog, OX_DLGMSG_CORE_MESSAGE, 1), 0);
  // Commands the dialog does not know answer true as well.
  EXPECT_NE(fake::SendDialogMessage(dialog, OX_DLGMSG_COMMAND, 424242), 0);
}

INSTANTIATE_TEST_SUITE_P(Flavours, EntryTest, ::testing::ValuesIn(Flavours()),
                         [](const ::testing::TestParamInfo<Flavour>& info) { return info.param.name; });

} // namespace

namespace {

// Both flavours export the three entry symbols and nothing else, and need
// nothing beyond the C/C++ runtime.
TEST(ModuleFile, ExportsOnlyTheEntrySymbols) {
  if (std::system("command -v nm >/dev/null && command -v readelf >/dev/null") != 0)
    GTEST_SKIP() << "nm and readelf (binutils) are needed";
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  // Sanitizer builds link the sanitizer runtimes too; the exports must still be exact.
  const std::string allow = "ORPHANEX_ALLOW_SANITIZERS=1 ";
#else
  const std::string allow;
#endif
  const std::string command = allow + ORPHANEX_SOURCE_DIR + "/tools/check_exports.sh '" +
                              ORPHANEX_MODULE_PATH + "' '" + ORPHANEX_OTHER_MODULE_PATH + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

} // namespace
