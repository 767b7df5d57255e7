// Script lines that fail against the real dialog: each stops the run at its
// line with the dialog's reason, and nothing after it runs.
#include "core/output.h"
#include "runtime/host.h"
#include "scene/world.h"
#include "script/script.h"

#include <gtest/gtest.h>
#include <sstream>

namespace standin::test {
namespace {

class ScriptModule : public ::testing::Test {
protected:
  void SetUp() override {
    SetPrintSink([this](std::string_view line) { printed.emplace_back(line); });
    std::string error;
    ASSERT_TRUE(LoadSceneFile(std::string(ORPHANEX_SOURCE_DIR) + "/examples/studio.json", error)) << error;
    ASSERT_TRUE(host.LoadModule(ORPHANEX_MODULE_PATH)) << host.Error();
  }
  void TearDown() override { SetPrintSink({}); }

  Host host;
  std::vector<std::string> printed;
};

TEST_F(ScriptModule, LinesTheDialogRefusesStopTheRun) {
  const std::pair<std::string, std::string> cases[] = {
      {"open\nset 4242 1\n", "test.script:2: "},
      {"open\nset 5009 0\n", "test.script:2: "}, // disabled while listing
      {"open\npress 4242\n", "test.script:2: "},
      {"open\nmenu 4242\n", "test.script:2: "},
      {"set 5008 1\n", "test.script:1: "},     // no dialog open yet
      {"open\nchoose 0\n", "test.script:2: "}, // an empty list
      {"open\nset 1005 1057311\npress 1002\nchoose 5\n", "test.script:4: "},
      {"open\nexpect Remove Plugin v\n",
       "test.script:2: expected 'Remove Plugin v' in the last printed block"},
  };
  for (const auto& [script, error] : cases) {
    SCOPED_TRACE(script);
    printed.clear();
    std::ostringstream errors;
    EXPECT_EQ(RunScript(script + "show scene\n", "test.script", errors), 1);
    EXPECT_EQ(errors.str().rfind(error, 0), 0u) << errors.str();
    EXPECT_GT(errors.str().size(), errors.str().find(": ") + 3) << "the reason is named";
    EXPECT_TRUE(std::none_of(printed.begin(), printed.end(), [](const std::string& line) {
      return line.rfind("Set [", 0) == 0;
    })) << "nothing after the failing line ran";
    // Back to a closed dialog for the next case.
    std::ostringstream ignored;
    RunScript("close\n", "reset", ignored);
  }
}

TEST_F(ScriptModule, AScriptRunsToItsEnd) {
  std::ostringstream errors;
  EXPECT_EQ(RunScript("open\nset 5008 1\nset 1005 1057311\npress 1002\nchoose 1\nshow selection\n"
                      "expect active object: Set/Vase\nclose\nshow dialog\nexpect no dialog is open\n",
                      "test.script", errors),
            0)
      << errors.str();
}

} // namespace
} // namespace standin::test
