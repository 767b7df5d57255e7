// The script runner without the module: the parser's refusals with their
// file:line messages, blocks and `expect`, and the runner's stops (a failed
// line, a breach, an open undo bracket). A fake command stands in for the
// plug-in's command where a line needs one.
#include "core/breach.h"
#include "core/output.h"
#include "core/texts.h"
#include "runtime/host.h"
#include "runtime/runtime.h"
#include "scene/world.h"
#include "script/script.h"

#include <gtest/gtest.h>
#include <sstream>

namespace standin::test {
namespace {

struct ParseError {
  std::string line;
  std::string error;
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ParseError& c, std::ostream* os) {
  *os << c.line;
}

class ScriptParseErrors : public ::testing::TestWithParam<ParseError> {};

TEST_P(ScriptParseErrors, NameTheProblem) {
  std::optional<ScriptCommand> command;
  std::string error;
  EXPECT_FALSE(ParseScriptLine(GetParam().line, command, error));
  EXPECT_EQ(error, GetParam().error);
  EXPECT_FALSE(command.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Script, ScriptParseErrors,
    ::testing::Values(
        ParseError{"opne", "unknown command 'opne'"}, ParseError{"Open", "unknown command 'Open'"},
        ParseError{"open now", "'open' takes no arguments"},
        ParseError{"undo 2", "'undo' takes no arguments"},
        ParseError{"set 5008", "'set' needs an element id and a value"},
        ParseError{"set 5008 1 2", "'set' needs an element id and a value"},
        ParseError{"set x 1", "'set': bad element id 'x'"},
        ParseError{"set 99999999999 1", "'set': bad element id '99999999999'"},
        ParseError{"set 1005 12,5", "'set': bad value '12,5'"},
        ParseError{"set 1005 nan", "'set': bad value 'nan'"},
        ParseError{"set 1005 inf", "'set': bad value 'inf'"},
        ParseError{"press", "'press' needs an element id"},
        ParseError{"press 1002x", "'press': bad element id '1002x'"},
        ParseError{"menu 5001 5002", "'menu' needs a menu entry id"},
        ParseError{"answer maybe", "'answer' takes yes or no"},
        ParseError{"answer", "'answer' takes yes or no"}, ParseError{"choose", "'choose' needs a row number"},
        ParseError{"choose -1", "'choose': bad row number '-1'"},
        ParseError{"choose first", "'choose': bad row number 'first'"},
        ParseError{"select Cube", "'select' takes object PATH or material NAME"},
        ParseError{"select object", "'select' needs an object path"},
        ParseError{"select material  ", "'select' needs a material name"},
        ParseError{"deselect", "'deselect' takes all"},
        ParseError{"document", "'document' takes new or activate N"},
        ParseError{"document activate", "'document' takes new or activate N"},
        ParseError{"document activate -2", "'document activate': bad document number '-2'"},
        ParseError{"show", "'show' takes dialog, list, scene or selection"},
        ParseError{"show tree", "'show' takes dialog, list, scene or selection"},
        ParseError{"save", "'save' needs a file name"}, ParseError{"expect", "'expect' needs a text"},
        ParseError{"expect   ", "'expect' needs a text"}));

TEST(ScriptParse, ReadsArgumentsAndKeepsTextWhole) {
  struct Case {
    std::string line;
    ScriptOp op;
    int32_t id;
    double value;
    std::string text;
  };
  const Case cases[] = {
      {"open", ScriptOp::Open, 0, 0, ""},
      {"  set 1005 12.9  ", ScriptOp::Set, 1005, 12.9, ""},
      {"set\t1005\t-3.5", ScriptOp::Set, 1005, -3.5, ""},
      {"set 1005 1e18", ScriptOp::Set, 1005, 1e18, ""},
      {"press 1002\r", ScriptOp::Press, 1002, 0, ""},
      {"choose 0", ScriptOp::Choose, 0, 0, ""},
      {"select object Studio/Props/Vase", ScriptOp::SelectObject, 0, 0, "Studio/Props/Vase"},
      {"select object Big Box/Lid", ScriptOp::SelectObject, 0, 0, "Big Box/Lid"},
      {"select material Floor Mat", ScriptOp::SelectMaterial, 0, 0, "Floor Mat"},
      {"document activate 2", ScriptOp::DocumentActivate, 2, 0, ""},
      {"save out dir/scene.json", ScriptOp::Save, 0, 0, "out dir/scene.json"},
      {"expect Vase | Drift Dynamics.1", ScriptOp::Expect, 0, 0, "Vase | Drift Dynamics.1"},
      {"expect   #Wobble [1012345] # not a comment", ScriptOp::Expect, 0, 0,
       "#Wobble [1012345] # not a comment"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::optional<ScriptCommand> command;
    std::string error;
    ASSERT_TRUE(ParseScriptLine(c.line, command, error)) << error;
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->op, c.op);
    EXPECT_EQ(command->id, c.id);
    EXPECT_EQ(command->value, c.value);
    EXPECT_EQ(command->text, c.text);
  }
  for (const std::string line : {"", "   ", "# open", "   # set x y", "\r"}) {
    std::optional<ScriptCommand> command;
    std::string error;
    EXPECT_TRUE(ParseScriptLine(line, command, error)) << line;
    EXPECT_FALSE(command.has_value()) << line;
  }
}

// A command registered as 1066888 whose execute does what the test asks.
struct FakePlugin {
  std::function<void()> onExecute;
  int executed = 0;
};
FakePlugin g_plugin;

const OxCommandCallbacks kCallbacks{
    sizeof(OxCommandCallbacks),
    [](void*) {},
    [](void*, OxDocument*) -> OxBool {
      ++g_plugin.executed;
      if (g_plugin.onExecute)
        g_plugin.onExecute();
      return 1;
    },
    [](void*) -> OxBool { return 0; },
    [](void*) -> OxBool { return 0; },
    [](void*, OxDocument*) -> int32_t { return 0; },
    [](void*) -> OxBool { return 0; },
    [](void*, void*) -> OxBool { return 0; },
    [](void*) -> OxText* { return nullptr; },
    [](void*, int32_t, void*) -> OxBool { return 1; },
};

class ScriptRun : public ::testing::Test {
protected:
  void SetUp() override {
    SetPrintSink([this](std::string_view line) { printed.emplace_back(line); });
    g_plugin = {};
  }
  void TearDown() override { SetPrintSink({}); }

  void RegisterPlugin() {
    OxCommandRegistration r{};
    r.size = sizeof r;
    r.pluginId = kOrphanexCommandId;
    r.callbacks = &kCallbacks;
    r.self = &g_plugin;
    const auto* area = static_cast<const OxCommandArea*>(host.Tables().areas[OX_AREA_COMMAND]);
    ASSERT_TRUE(area->registerCommand(&r));
  }
  // Runs the script; answers the status, with stderr in `errors`.
  int Run(const std::string& script) {
    std::ostringstream err;
    const int status = RunScript(script, "test.script", err);
    errors = err.str();
    return status;
  }
  static void Say(const std::string& line) {
    OxText* text = NewText(line);
    static_cast<const OxConsoleArea*>(Host::Current()->Tables().areas[OX_AREA_CONSOLE])->write(text);
    ReleaseText(text, "test");
  }

  Host host;
  std::vector<std::string> printed;
  std::string errors;
};

TEST_F(ScriptRun, ABadLineStopsTheScriptBeforeAnythingRuns) {
  RegisterPlugin();
  EXPECT_EQ(Run("# header\nopen\n\nset 5008\nopen\n"), 1);
  EXPECT_EQ(errors, "test.script:4: 'set' needs an element id and a value\n");
  EXPECT_EQ(g_plugin.executed, 0);
  EXPECT_TRUE(printed.empty());
}

TEST_F(ScriptRun, AFailingLineStopsTheRunThere) {
  const std::pair<std::string, std::string> cases[] = {
      {"open\n", "test.script:1: command 1066888 is not registered\n"},
      {"# nothing yet\nundo\n", "test.script:2: nothing to undo\n"},
      {"redo\n", "test.script:1: nothing to redo\n"},
      {"document activate 3\n", "test.script:1: no document 3 (there are 0)\n"},
  };
  for (const auto& [script, error] : cases) {
    SCOPED_TRACE(script);
    EXPECT_EQ(Run(script + "answer yes\n"), 1);
    EXPECT_EQ(errors, error);
  }
}

TEST_F(ScriptRun, ExpectReadsTheLastPrintedBlock) {
  RegisterPlugin();
  g_plugin.onExecute = [] {
    Say("first line");
    Say("Tag plugin 1057311 not found.");
  };
  EXPECT_EQ(Run("open\nexpect first line\nexpect 1057311 not found.\n"), 0) << errors;
  EXPECT_EQ(errors, "");
  // Any other command starts a new block, even one that prints nothing.
  EXPECT_EQ(Run("open\nanswer yes\nexpect first line\n"), 1);
  EXPECT_EQ(errors, "test.script:3: expected 'first line' in the last printed block\n");
  EXPECT_EQ(Run("open\nexpect first  line\n"), 1) << "text is matched exactly";
}

TEST_F(ScriptRun, ABreachFailsTheLineThatCausedIt) {
  RegisterPlugin();
  g_plugin.onExecute = [] {
    int local = 0;
    static_cast<const OxMemoryArea*>(Host::Current()->Tables().areas[OX_AREA_MEMORY])->release(&local);
  };
  EXPECT_EQ(Run("answer no\nopen\nanswer yes\n"), 1);
  EXPECT_EQ(errors, "test.script:2: 1 contract breach\n");
  ASSERT_FALSE(printed.empty());
  EXPECT_EQ(printed.back().rfind("breach: MemoryFree: ", 0), 0u);
}

TEST_F(ScriptRun, AnUndoBracketLeftOpenIsABreachOfThatLine) {
  NewDocument();
  RegisterPlugin();
  g_plugin.onExecute = [] {
    const auto* undo = static_cast<const OxUndoArea*>(Host::Current()->Tables().areas[OX_AREA_UNDO]);
    undo->begin(ActiveDocument());
  };
  EXPECT_EQ(Run("open\nshow scene\n"), 1);
  EXPECT_EQ(errors.rfind("test.script:1: ", 0), 0u) << errors;
  EXPECT_EQ(UnbalancedUndoBrackets(), 0) << "the runner closes it";
}

TEST_F(ScriptRun, ShowWithoutADialogSaysSo) {
  EXPECT_EQ(Run("show dialog\nexpect no dialog is open\nshow list\nexpect no dialog is open\n"), 0) << errors;
}

} // namespace
} // namespace standin::test
