// The dialog framework: window life, element values, script operations and
// `show dialog`, driven through the host tables by a fake dialog.
#include "fake_module.h"

#include <cmath>

namespace uitest {
namespace {

using standin::BreachCount;

using DialogTest = UiTest;

TEST_F(DialogTest, OpenBuildsTheWindowAndCloseTearsItDownWithItsElements) {
  FakeDialog dialog;
  EXPECT_FALSE(standin::HasOpenDialog());
  ASSERT_TRUE(dialog.Open());
  EXPECT_EQ(dialog.MessageIds(), (std::vector<int32_t>{OX_DLGMSG_CREATE_LAYOUT, OX_DLGMSG_INIT_VALUES}));
  ASSERT_NE(dialog.tree, nullptr);
  EXPECT_TRUE(standin::HasOpenDialog());
  EXPECT_EQ(standin::OpenDialogTitle(), "Remover");
  EXPECT_EQ(dialog.Int(kAction), 1);

  // Opening an open window builds nothing new.
  EXPECT_TRUE(dialog.Open());
  EXPECT_EQ(dialog.messages.size(), 2u);

  dialog.messages.clear();
  OxElement* oldTree = dialog.tree;
  ASSERT_TRUE(dialog.Close());
  EXPECT_EQ(dialog.MessageIds(), (std::vector<int32_t>{OX_DLGMSG_ASK_CLOSE, OX_DLGMSG_DESTROYED}));
  EXPECT_FALSE(standin::HasOpenDialog());
  EXPECT_EQ(standin::LiveElements(), 0u);
  EXPECT_EQ(dialog.Int(kAction), -99) << "a closed window has no values";
  EXPECT_FALSE(dialog.Close()) << "closing a closed window";
  EXPECT_EQ(BreachCount(), 0u);

  // Reopening builds fresh elements; the old element handle stays dead.
  ASSERT_TRUE(dialog.Open());
  EXPECT_NE(dialog.tree, oldTree);
  EXPECT_EQ(dialog.Int(kWarn), 1);
  EXPECT_FALSE(areas.element->redraw(oldTree, OX_LIBRARY_TREEVIEW));
  EXPECT_EQ(BreachCount(), 1u);
  EXPECT_TRUE(areas.element->redraw(dialog.tree, OX_LIBRARY_TREEVIEW));
  EXPECT_EQ(BreachCount(), 1u);
}

TEST_F(DialogTest, EveryUseOfAnElementOfAClosedWindowIsABreach) {
  FakeDialog dialog;
  FakeModel model;
  ASSERT_TRUE(dialog.Open());
  OxElement* tree = dialog.tree;
  OxContainer* layout = areas.container->create(-1);
  ASSERT_TRUE(dialog.Close());

  const std::vector<std::function<bool()>> uses = {
      [&] { return areas.tree->setRoot(tree, &model.rows, &kModel, &model, nullptr) != 0; },
      [&] {
        areas.tree->refresh(tree);
        return false;
      },
      [&] { return areas.tree->setLayout(tree, 0, layout) != 0; },
      [&] { return areas.element->redraw(tree, OX_LIBRARY_TREEVIEW) != 0; },
  };
  for (size_t i = 0; i < uses.size(); ++i) {
    const size_t before = BreachCount();
    EXPECT_FALSE(uses[i]()) << i;
    EXPECT_EQ(BreachCount(), before + 1) << i;
  }
  areas.container->release(layout);
}

TEST_F(DialogTest, ARefusedCloseKeepsTheWindowAndItsElements) {
  FakeDialog dialog;
  ASSERT_TRUE(dialog.Open());
  dialog.refuseClose = 1;
  dialog.messages.clear();
  EXPECT_FALSE(dialog.Close());
  const auto script = standin::Close();
  EXPECT_FALSE(script.ok);
  EXPECT_EQ(script.reason, "the dialog refused to close");
  EXPECT_EQ(dialog.MessageIds(), (std::vector<int32_t>{OX_DLGMSG_ASK_CLOSE, OX_DLGMSG_ASK_CLOSE}));
  EXPECT_TRUE(standin::HasOpenDialog());
  EXPECT_TRUE(areas.element->redraw(dialog.tree, OX_LIBRARY_TREEVIEW));
  dialog.refuseClose = 0;
  EXPECT_TRUE(standin::Close().ok);
  EXPECT_FALSE(standin::HasOpenDialog());
}

TEST_F(DialogTest, DestroySendsNothingAndLeavesEveryHandleStale) {
  auto dialog = std::make_unique<FakeDialog>();
  ASSERT_TRUE(dialog->Open());
  OxDialog* handle = dialog->handle;
  OxElement* tree = dialog->tree;
  dialog->messages.clear();
  areas.dialog->destroy(handle);
  EXPECT_TRUE(dialog->messages.empty());
  EXPECT_EQ(standin::LiveDialogs(), 0u);
  EXPECT_EQ(standin::LiveElements(), 0u);
  EXPECT_FALSE(standin::HasOpenDialog());
  EXPECT_EQ(BreachCount(), 0u);

  int32_t out = 7;
  EXPECT_FALSE(areas.dialog->getInt(handle, kAction, &out));
  EXPECT_EQ(out, 7);
  EXPECT_FALSE(areas.dialog->open(handle, OX_DIALOG_NONMODAL, 0, 0, 0, 0, 0, 0));
  EXPECT_FALSE(areas.element->redraw(tree, OX_LIBRARY_TREEVIEW));
  EXPECT_EQ(BreachCount(), 3u);
  dialog->handle = nullptr;
}

TEST_F(DialogTest, IsOpenQueryFollowsTheWindow) {
  FakeDialog dialog;
  OxElementDesc query{};
  query.size = sizeof query;
  query.kind = OX_ELEM_IS_OPEN;
  EXPECT_FALSE(areas.dialog->addElement(dialog.handle, &query, nullptr));
  ASSERT_TRUE(dialog.Open());
  EXPECT_TRUE(areas.dialog->addElement(dialog.handle, &query, nullptr));
  ASSERT_TRUE(dialog.Close());
  EXPECT_FALSE(areas.dialog->addElement(dialog.handle, &query, nullptr));
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_F(DialogTest, ValuesAreClampedTruncatedAndUnknownIdsLeaveTheOutputAlone) {
  FakeDialog dialog;
  ASSERT_TRUE(dialog.Open());
  auto setNumber = [&](double value, double min, double max) {
    OxDialogValue v{};
    v.size = sizeof v;
    v.kind = OX_DLGVALUE_FLOAT;
    v.value = value;
    v.min = min;
    v.max = max;
    return areas.dialog->setValue(dialog.handle, kNumber, &v) != 0;
  };
  struct Case {
    double value, min, max, stored;
    int32_t asInt;
  };
  const Case cases[] = {
      {12.9, -100, 100, 12.9, 12},          {-3.5, -100, 100, -3.5, -3},
      {500, -100, 100, 100, 100},           {-500, -100, 100, -100, -100},
      {1e18, -1e18, 1e18, 1e18, INT32_MAX}, {-1e18, -1e18, 1e18, -1e18, INT32_MIN},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(setNumber(c.value, c.min, c.max)) << c.value;
    double number = 0;
    ASSERT_TRUE(areas.dialog->getNumber(dialog.handle, kNumber, &number));
    EXPECT_EQ(number, c.stored) << c.value;
    EXPECT_EQ(dialog.Int(kNumber), c.asInt) << c.value;
  }

  // A check box stores 0 or 1.
  dialog.SetInt(kWarn, 5);
  EXPECT_EQ(dialog.Int(kWarn), 1);
  dialog.SetInt(kWarn, 0);
  EXPECT_EQ(dialog.Int(kWarn), 0);

  // Unknown ids and value-less elements answer false without touching `out`.
  for (int32_t id : {4242, kProcess, 10004, kList}) {
    int32_t i = 77;
    double n = 77;
    EXPECT_FALSE(areas.dialog->getInt(dialog.handle, id, &i)) << id;
    EXPECT_FALSE(areas.dialog->getNumber(dialog.handle, id, &n)) << id;
    EXPECT_EQ(i, 77);
    EXPECT_EQ(n, 77);
  }
  EXPECT_EQ(BreachCount(), 0u);

  // Reversed limits and null outputs are breaches that change nothing.
  EXPECT_FALSE(setNumber(5, 10, 1));
  EXPECT_FALSE(areas.dialog->getInt(dialog.handle, kAction, nullptr));
  EXPECT_EQ(BreachCount(), 2u);
  EXPECT_EQ(dialog.Int(kNumber), INT32_MIN);
}

struct ScriptCase {
  const char* name;
  std::function<standin::UiOutcome()> run;
  const char* reason; // nullptr: succeeds
  int32_t commandId;  // the command sent on success
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ScriptCase& c, std::ostream* os) {
  *os << c.name;
}

class ScriptOperationTest : public UiTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptOperationTest, FailsWithAReasonAndSendsNothingOrSendsTheCommand) {
  FakeDialog dialog;
  ASSERT_TRUE(dialog.Open());
  dialog.messages.clear();
  const ScriptCase& c = GetParam();
  const standin::UiOutcome outcome = c.run();
  if (c.reason == nullptr) {
    EXPECT_TRUE(outcome.ok) << outcome.reason;
    ASSERT_EQ(dialog.messages.size(), 1u);
    EXPECT_EQ(dialog.messages[0], std::make_pair(OX_DLGMSG_COMMAND, c.commandId));
  } else {
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.reason, c.reason);
    EXPECT_TRUE(dialog.messages.empty());
  }
  EXPECT_EQ(BreachCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScriptOperationTest,
    ::testing::Values(
        ScriptCase{"SetDropDownEntry", [] { return standin::SetElement(kAction, 2); }, nullptr, kAction},
        ScriptCase{"SetDropDownWithoutSuchEntry", [] { return standin::SetElement(kAction, 3); },
                   "drop-down 5008 has no entry 3 (entries: 0, 1, 2)", 0},
        ScriptCase{"SetDisabledCheckBox", [] { return standin::SetElement(kWarn, 0); },
                   "element 5009 \"Warn Before Deleting\" is disabled", 0},
        ScriptCase{"SetCheckBoxToTwo", [] { return standin::SetElement(5010, 2); },
                   "check box 5010 takes 0 or 1", 0},
        ScriptCase{"SetCheckBox", [] { return standin::SetElement(5010, 1); }, nullptr, 5010},
        ScriptCase{"SetNumber", [] { return standin::SetElement(kNumber, 1012345); }, nullptr, kNumber},
        ScriptCase{"SetUnknown", [] { return standin::SetElement(4242, 1); },
                   "the dialog has no element 4242", 0},
        ScriptCase{"SetButton", [] { return standin::SetElement(kProcess, 1); },
                   "element 1002 is a button; use press", 0},
        ScriptCase{"PressButton", [] { return standin::Press(kProcess); }, nullptr, kProcess},
        ScriptCase{"PressDropDown", [] { return standin::Press(kAction); },
                   "element 5008 is a drop-down, not a button", 0},
        ScriptCase{"PressUnknown", [] { return standin::Press(4242); }, "the dialog has no element 4242", 0},
        ScriptCase{"MenuEntry", [] { return standin::Menu(kAbout); }, nullptr, kAbout},
        ScriptCase{"MenuUnknown", [] { return standin::Menu(5002); }, "the dialog's menu has no entry 5002",
                   0},
        ScriptCase{"ChooseInAnUnboundList", [] { return standin::Choose(0); }, "the list shows no rows", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, ScriptOperationsWithoutAnOpenDialogFail) {
  for (const auto& outcome : {standin::SetElement(kAction, 1), standin::Press(kProcess),
                              standin::Menu(kAbout), standin::Close(), standin::Choose(0)}) {
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.reason, "no dialog is open");
  }
  EXPECT_TRUE(standin::DialogLines().empty());
  EXPECT_TRUE(standin::ListLines().empty());
}

TEST_F(DialogTest, ScriptValuesReachTheDialogBeforeItsCommand) {
  FakeDialog dialog;
  ASSERT_TRUE(dialog.Open());
  std::vector<int32_t> seen;
  dialog.onCommand = [&](FakeDialog& d, int32_t id) { seen.push_back(d.Int(id)); };
  ASSERT_TRUE(standin::SetElement(kAction, 2).ok);
  ASSERT_TRUE(standin::SetElement(kNumber, 5e18).ok); // clamped like a person's typing
  EXPECT_EQ(seen, (std::vector<int32_t>{2, INT32_MAX}));
  double number = 0;
  areas.dialog->getNumber(dialog.handle, kNumber, &number);
  EXPECT_EQ(number, 1e18);
}

TEST_F(DialogTest, DropDownEntriesCanBeReplacedWhileTheWindowIsOpen) {
  FakeDialog dialog;
  ASSERT_TRUE(dialog.Open());
  // As a type change does: clear the entries, add new ones, show the first.
  dialog.onCommand = [](FakeDialog& d, int32_t id) {
    if (id != 5010)
      return;
    d.Add(OX_ELEM_DROPDOWN_CLEAR, kAction, "");
    d.Add(OX_ELEM_DROPDOWN_ENTRY, kAction, "All Materials", 0);
    d.Add(OX_ELEM_DROPDOWN_ENTRY, kAction, "Selected Materials Only", 2);
    d.SetInt(kAction, 0);
  };
  ASSERT_TRUE(standin::SetElement(5010, 1).ok);
  EXPECT_EQ(standin::SetElement(kAction, 1).reason, "drop-down 5008 has no entry 1 (entries: 0, 2)");
  ASSERT_TRUE(standin::SetElement(kAction, 2).ok);
  EXPECT_EQ(dialog.Int(kAction), 2);
  const auto lines = standin::DialogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "  Action to Take: [Selected Materials Only v]"),
            lines.end());
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_F(DialogTest, RestoreOpensTheWindowLikeOpen) {
  FakeDialog dialog;
  ASSERT_TRUE(areas.dialog->restore(dialog.handle, 1066888, 0, nullptr));
  EXPECT_EQ(dialog.MessageIds(), (std::vector<int32_t>{OX_DLGMSG_CREATE_LAYOUT, OX_DLGMSG_INIT_VALUES}));
  EXPECT_TRUE(standin::HasOpenDialog());
  EXPECT_TRUE(standin::Close().ok);
}

TEST_F(DialogTest, ADisabledButtonCannotBePressed) {
  FakeDialog dialog;
  ASSERT_TRUE(dialog.Open());
  areas.dialog->enable(dialog.handle, kProcess, 0);
  dialog.messages.clear();
  const auto outcome = standin::Press(kProcess);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.reason, "element 1002 \"Process\" is disabled");
  EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(DialogTest, CancelClosesTheWindowFromInsideItsOwnCommand) {
  FakeDialog dialog;
  ASSERT_TRUE(dialog.Open());
  OxElement* tree = dialog.tree;
  dialog.messages.clear();
  EXPECT_TRUE(standin::Press(kCancel).ok);
  EXPECT_EQ(dialog.MessageIds(),
            (std::vector<int32_t>{OX_DLGMSG_COMMAND, OX_DLGMSG_ASK_CLOSE, OX_DLGMSG_DESTROYED}));
  EXPECT_FALSE(standin::HasOpenDialog());
  EXPECT_EQ(standin::Press(kProcess).reason, "no dialog is open");
  EXPECT_FALSE(areas.element->redraw(tree, OX_LIBRARY_TREEVIEW));
  EXPECT_EQ(BreachCount(), 1u);
}

TEST_F(DialogTest, ACloseWhileAskedIsRefusedAndTheFirstCloseGoesOn) {
  FakeDialog dialog;
  ASSERT_TRUE(dialog.Open());
  bool nestedClosed = true;
  dialog.onAskClose = [&](FakeDialog& d) { nestedClosed = d.Close(); };
  EXPECT_TRUE(dialog.Close());
  EXPECT_FALSE(nestedClosed);
  EXPECT_FALSE(standin::HasOpenDialog());
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_F(DialogTest, DestroyFromInsideACommandIsSafe) {
  FakeDialog dialog;
  ASSERT_TRUE(dialog.Open());
  dialog.onCommand = [](FakeDialog& d, int32_t id) {
    if (id == kProcess) {
      d.areas.dialog->destroy(d.handle);
      d.handle = nullptr;
    }
  };
  EXPECT_TRUE(standin::Press(kProcess).ok);
  EXPECT_FALSE(standin::HasOpenDialog());
  EXPECT_EQ(standin::LiveDialogs(), 0u);
  EXPECT_EQ(standin::LiveElements(), 0u);
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_F(DialogTest, TheMostRecentlyOpenedDialogIsTheOneScriptsUse) {
  FakeDialog first, second;
  second.withTree = false;
  ASSERT_TRUE(first.Open());
  ASSERT_TRUE(second.Open());
  first.messages.clear();
  second.messages.clear();
  ASSERT_TRUE(standin::Press(kProcess).ok);
  EXPECT_TRUE(first.messages.empty());
  EXPECT_EQ(second.messages.size(), 1u);
  ASSERT_TRUE(first.Open()); // brought to the front
  ASSERT_TRUE(standin::Press(kProcess).ok);
  EXPECT_EQ(first.messages.size(), 1u);
  ASSERT_TRUE(standin::Close().ok);
  EXPECT_TRUE(standin::HasOpenDialog()) << "the other one is still open";
}

TEST_F(DialogTest, LayoutMisuseIsReportedAndChangesNothing) {
  FakeDialog dialog;
  const auto breaches = [] { return BreachCount(); };
  // No window yet: layout calls are breaches.
  Txt t("x");
  EXPECT_FALSE(areas.dialog->groupBegin(dialog.handle, 1, 0, 1, 0, t, 0, 0, 0));
  OxElementDesc d{};
  d.size = sizeof d;
  d.kind = OX_ELEM_BUTTON;
  EXPECT_FALSE(areas.dialog->addElement(dialog.handle, &d, nullptr));
  EXPECT_EQ(breaches(), 2u);

  dialog.extraLayout = [](FakeDialog& f) {
    EXPECT_FALSE(f.areas.dialog->groupEnd(f.handle)); // nothing open
    OxElementDesc e{};
    e.size = sizeof e;
    e.kind = OX_ELEM_DROPDOWN_ENTRY;
    e.id = 4242; // no such drop-down
    EXPECT_FALSE(f.areas.dialog->addElement(f.handle, &e, nullptr));
    e.id = kAction;
    e.extra = 1; // entry id taken
    EXPECT_FALSE(f.areas.dialog->addElement(f.handle, &e, nullptr));
    e.kind = 999;
    EXPECT_FALSE(f.areas.dialog->addElement(f.handle, &e, nullptr));
    e.kind = OX_ELEM_SUBMENU_END;
    EXPECT_FALSE(f.areas.dialog->addElement(f.handle, &e, nullptr));
    EXPECT_FALSE(f.areas.dialog->addElement(f.handle, nullptr, nullptr));
  };
  ASSERT_TRUE(dialog.Open());
  EXPECT_EQ(breaches(), 8u);
  const auto elements = standin::OpenDialogElements();
  const auto action =
      std::find_if(elements.begin(), elements.end(), [](const auto& e) { return e.id == kAction; });
  ASSERT_NE(action, elements.end());
  EXPECT_EQ(action->entries.size(), 3u);
  EXPECT_FALSE(areas.dialog->open(dialog.handle, 10, 0, 0, 0, 0, 0, 0)) << "modal is not offered";
  EXPECT_EQ(breaches(), 9u);
}

TEST_F(DialogTest, ForeignAndNullHandlesAreRefusedByEveryDialogFunction) {
  FakeDialog dialog;
  ASSERT_TRUE(dialog.Open());
  OxContainer* container = areas.container->create(1);
  // A handle of another kind in the dialog's place.
  auto* foreign = reinterpret_cast<OxDialog*>(container);
  Txt t("x");
  OxElementDesc desc{};
  desc.size = sizeof desc;
  desc.kind = OX_ELEM_BUTTON;
  OxDialogValue value{};
  value.size = sizeof value;
  value.kind = OX_DLGVALUE_INT;
  int32_t i = 3;
  double n = 3;
  for (OxDialog* bad : {foreign, static_cast<OxDialog*>(nullptr)}) {
    const size_t before = BreachCount();
    EXPECT_FALSE(areas.dialog->addElement(bad, &desc, nullptr));
    EXPECT_FALSE(areas.dialog->groupBegin(bad, 1, 0, 1, 0, t, 0, 0, 0));
    EXPECT_FALSE(areas.dialog->groupEnd(bad));
    EXPECT_FALSE(areas.dialog->groupBorder(bad, 5));
    EXPECT_FALSE(areas.dialog->groupSpacing(bad, 1, 1, 1, 1));
    EXPECT_FALSE(areas.dialog->getInt(bad, kAction, &i));
    EXPECT_FALSE(areas.dialog->getNumber(bad, kNumber, &n));
    EXPECT_FALSE(areas.dialog->setValue(bad, kAction, &value));
    EXPECT_FALSE(areas.dialog->enable(bad, kAction, 1));
    EXPECT_FALSE(areas.dialog->open(bad, OX_DIALOG_NONMODAL, 0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(areas.dialog->restore(bad, 0, 0, nullptr));
    EXPECT_FALSE(areas.dialog->close(bad));
    areas.dialog->destroy(bad);
    EXPECT_EQ(BreachCount(), before + 13);
  }
  EXPECT_EQ(i, 3);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(areas.dialog->create(nullptr, nullptr), nullptr);
  EXPECT_TRUE(standin::HasOpenDialog());
  areas.container->release(container);
}

TEST_F(DialogTest, ShowDialogDrawsTheLayoutRowByRow) {
  FakeDialog dialog;
  FakeModel model;
  model.rows = {{0, "Cube", "Wobble"}};
  dialog.model = &model;
  ASSERT_TRUE(dialog.Open());
  const std::vector<std::string> expected = {
      "Remover",
      "Menu: Help [About...]",
      "Options",
      "  Action to Take: [Generate List v]",
      "  [x] Warn Before Deleting (disabled)  [ ] Keep",
      "  Plugin ID: [0]",
      "[Process]  [Cancel]",
      "List:",
      "  Object | Tag",
      "  Cube | Wobble",
  };
  EXPECT_EQ(standin::DialogLines(), expected);

  const std::vector<std::string> withIds = {
      "Remover",
      "Menu: Help [About... #5001]",
      "Options",
      "  Action to Take: [Generate List v] #5008",
      "  [x] Warn Before Deleting #5009 (disabled)  [ ] Keep #5010",
      "  Plugin ID: [0] #1005",
      "[Process] #1002  [Cancel] #1003",
      "List #10000:",
      "  Object | Tag",
      "  Cube | Wobble",
  };
  EXPECT_EQ(standin::DialogLines(true), withIds);
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_F(DialogTest, ShowDialogMarksUnknownDropDownValuesAndDisabledLists) {
  FakeDialog dialog;
  ASSERT_TRUE(dialog.Open());
  dialog.SetInt(kAction, 9);
  areas.dialog->enable(dialog.handle, kList, 0);
  const auto lines = standin::DialogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "  Action to Take: [? v]"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "List: (disabled)"), lines.end());
}

} // namespace
} // namespace uitest
