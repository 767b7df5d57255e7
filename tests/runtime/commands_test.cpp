// The command registry: what a registration keeps, which registrations are
// refused (and which of those are breaches), the host's calls into a
// command, and that every registered command is destroyed exactly once.
#include "core/texts.h"
#include "runtime/support.h"

namespace standin::test {
namespace {

struct FakeCommand {
  int executed = 0;
  int destroyed = 0;
  int restored = 0;
  void* layout = nullptr;
};

FakeCommand* Self(void* self) {
  return static_cast<FakeCommand*>(self);
}

const OxCommandCallbacks kCallbacks{
    sizeof(OxCommandCallbacks),
    [](void* self) { ++Self(self)->destroyed; },
    [](void* self, OxDocument*) -> OxBool { return ++Self(self)->executed, 1; },
    [](void*) -> OxBool { return 0; },
    [](void*) -> OxBool { return 0; },
    [](void*, OxDocument*) -> int32_t { return 0x40000000; },
    [](void*) -> OxBool { return 0; },
    [](void* self, void* layout) -> OxBool { return ++Self(self)->restored, Self(self)->layout = layout, 1; },
    [](void*) -> OxText* { return nullptr; },
    [](void*, int32_t, void*) -> OxBool { return 1; },
};

class CommandsTest : public RuntimeTest {
protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    name = NewText("Orphanex");
    help = NewText("Removes plug-in instances");
  }
  void TearDown() override {
    ReleaseText(name, "test");
    ReleaseText(help, "test");
    RuntimeTest::TearDown();
  }
  const OxCommandArea* commands() const { return AreaOf<OxCommandArea>(tables(), OX_AREA_COMMAND); }
  const OxBitmapArea* bitmaps() const { return AreaOf<OxBitmapArea>(tables(), OX_AREA_BITMAP); }

  OxCommandRegistration Registration(int32_t id, FakeCommand* self,
                                     const OxCommandCallbacks* callbacks = &kCallbacks) const {
    OxCommandRegistration r{};
    r.size = sizeof r;
    r.pluginId = id;
    r.name = name;
    r.infoFlags = 0;
    r.help = help;
    r.apiVersion = OX_API_VERSION_WIN;
    r.callbacks = callbacks;
    r.self = self;
    return r;
  }

  OxText* name = nullptr;
  OxText* help = nullptr;
};

TEST_F(CommandsTest, KeepsCopiesOfWhatItIsGiven) {
  TempDir dir;
  WritePng(dir / "icon.png", 32, 24);
  OxBitmap* icon = bitmaps()->create();
  OxText* iconPath = NewText(dir / "icon.png");
  ASSERT_TRUE(bitmaps()->load(icon, iconPath));
  ReleaseText(iconPath, "test");

  FakeCommand command;
  OxCommandRegistration r = Registration(1066888, &command);
  r.icon = icon;
  r.infoFlags = 3;
  ASSERT_TRUE(commands()->registerCommand(&r));
  // Everything borrowed goes away; the registry still has its copies.
  bitmaps()->release(icon);
  ReleaseText(name, "test");
  name = nullptr;

  const RegisteredCommand* kept = FindCommand(1066888);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->name, "Orphanex");
  EXPECT_EQ(kept->help, "Removes plug-in instances");
  EXPECT_EQ(kept->infoFlags, 3);
  EXPECT_TRUE(kept->hasIcon);
  EXPECT_EQ(kept->iconWidth, 32u);
  EXPECT_EQ(kept->iconHeight, 24u);
  EXPECT_EQ(kept->apiVersion, OX_API_VERSION_WIN);
  EXPECT_EQ(kept->self, &command);
  EXPECT_EQ(BreachCount(), 0u);
  DestroyCommands();
}

TEST_F(CommandsTest, AnIconThatNeverLoadedIsAnIconWithoutSize) {
  FakeCommand command;
  OxBitmap* icon = bitmaps()->create();
  OxCommandRegistration r = Registration(7, &command);
  r.icon = icon;
  ASSERT_TRUE(commands()->registerCommand(&r));
  EXPECT_TRUE(FindCommand(7)->hasIcon);
  EXPECT_EQ(FindCommand(7)->iconWidth, 0u);
  bitmaps()->release(icon);
  DestroyCommands();
}

TEST_F(CommandsTest, MalformedRegistrationsAreBreachesAndRefused) {
  FakeCommand command;
  OxCommandCallbacks shortTable = kCallbacks;
  shortTable.size = offsetof(OxCommandCallbacks, message);
  OxCommandCallbacks nullSlot = kCallbacks;
  nullSlot.destroy = nullptr;
  OxText* stale = NewText("gone");
  ReleaseText(stale, "test");
  OxBitmap* staleIcon = bitmaps()->create();
  bitmaps()->release(staleIcon);

  struct Case {
    const char* what;
    OxCommandRegistration registration;
  };
  std::vector<Case> cases = {
      {"null object", Registration(1, nullptr)},
      {"null callbacks", Registration(1, &command, nullptr)},
      {"short callbacks", Registration(1, &command, &shortTable)},
      {"null destroy", Registration(1, &command, &nullSlot)},
      {"short record", Registration(1, &command)},
      {"stale name", Registration(1, &command)},
      {"stale icon", Registration(1, &command)},
  };
  cases[4].registration.size = offsetof(OxCommandRegistration, self);
  cases[5].registration.name = stale;
  cases[6].registration.icon = staleIcon;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const size_t before = BreachCount();
    EXPECT_FALSE(commands()->registerCommand(&c.registration));
    EXPECT_EQ(BreachCount(), before + 1);
  }
  EXPECT_FALSE(commands()->registerCommand(nullptr));
  EXPECT_TRUE(Commands().empty());
  DestroyCommands();
  EXPECT_EQ(command.destroyed, 0) << "a refused command stays the module's";
}

TEST_F(CommandsTest, RefusalsAHostMayGiveAreNoBreaches) {
  FakeCommand first, second, third;
  OxCommandRegistration r = Registration(1066888, &first);
  ASSERT_TRUE(commands()->registerCommand(&r));
  r.self = &second;
  EXPECT_FALSE(commands()->registerCommand(&r)) << "id taken";
  RefuseRegistrations(true);
  OxCommandRegistration other = Registration(5, &third);
  EXPECT_FALSE(commands()->registerCommand(&other)) << "refused by switch";
  RefuseRegistrations(false);
  EXPECT_TRUE(commands()->registerCommand(&other));
  EXPECT_EQ(BreachCount(), 0u);
  EXPECT_EQ(Commands().size(), 2u);
  DestroyCommands();
  EXPECT_EQ(first.destroyed, 1);
  EXPECT_EQ(second.destroyed, 0);
  EXPECT_EQ(third.destroyed, 1);
}

TEST_F(CommandsTest, HostCallsReachTheCommandAndDestroyEndsEachOnce) {
  FakeCommand a, b;
  OxCommandRegistration ra = Registration(1066888, &a), rb = Registration(42, &b);
  ASSERT_TRUE(commands()->registerCommand(&ra));
  ASSERT_TRUE(commands()->registerCommand(&rb));

  EXPECT_EQ(ExecuteCommand(1066888), std::optional<bool>(true));
  EXPECT_EQ(ExecuteCommand(1066888), std::optional<bool>(true));
  int layout = 0;
  EXPECT_EQ(RestoreCommand(42, &layout), std::optional<bool>(true));
  EXPECT_EQ(CommandState(1066888), std::optional<int32_t>(0x40000000));
  EXPECT_EQ(ExecuteCommand(99), std::nullopt);
  EXPECT_EQ(a.executed, 2);
  EXPECT_EQ(b.restored, 1);
  EXPECT_EQ(b.layout, &layout);

  DestroyCommands();
  DestroyCommands();
  EXPECT_EQ(a.destroyed, 1);
  EXPECT_EQ(b.destroyed, 1);
  EXPECT_EQ(ExecuteCommand(1066888), std::nullopt) << "gone after destruction";
}

TEST_F(CommandsTest, ResetForgetsCommandsWithoutCallingThem) {
  FakeCommand command;
  OxCommandRegistration r = Registration(1066888, &command);
  ASSERT_TRUE(commands()->registerCommand(&r));
  ResetRuntime();
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(command.destroyed, 0);
}

} // namespace
} // namespace standin::test
