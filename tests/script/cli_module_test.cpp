// The command line with the built module: a run to its end, a failing line,
// a parse error, saving, and the bundled example. The module runs from a
// copy beside the repository's resources, as it would be installed.
#include "cli_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace standin::test {
namespace {

class CliModule : public ::testing::Test {
protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    module = dir.path() + "/Orphanex/Orphanex.so";
    fs::create_directories(dir.path() + "/Orphanex");
    fs::copy_file(ORPHANEX_MODULE_PATH, module);
    fs::copy(std::string(ORPHANEX_SOURCE_DIR) + "/res", dir.path() + "/Orphanex/res",
             fs::copy_options::recursive);
  }
  CliResult Run(const std::string& script, const std::string& scene = kStudio) {
    return RunStandin("run " + scene + " - --module " + module, script, dir);
  }

  static inline const std::string kStudio = std::string(ORPHANEX_SOURCE_DIR) + "/examples/studio.json";
  static inline const std::string kStarted =
      std::string("module: com.tarnwicksoftware.orphanex (API ") +
      (std::string(ORPHANEX_MODULE_FLAVOUR) == "mac" ? "2025200" : "2025300") +
      ")\nconsole: Tarnwick Software: Orphanex successfully loaded.\n";
  CliDir dir;
  std::string module;
};

TEST_F(CliModule, RunsAScriptToItsEnd) {
  const CliResult result = Run("expect successfully loaded\n"
                               "open\n"
                               "show dialog\n"
                               "expect Orphanex\n"
                               "set 5008 1\n"
                               "set 1005 1057311\n"
                               "press 1002\n"
                               "show list\n"
                               "expect Vase | Drift Dynamics.1\n");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out.rfind(kStarted, 0), 0u) << result.out;
}

TEST_F(CliModule, StopsAtTheFirstFailingLine) {
  const CliResult result = Run("open\nset 5008 1\nset 1005 1057311\npress 1002\nchoose 99\nshow scene\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err.rfind("<stdin>:5: ", 0), 0u) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  EXPECT_EQ(result.out.find("Set [5140]"), std::string::npos) << "nothing after the failing line ran";
}

TEST_F(CliModule, AParseErrorRunsNothing) {
  const CliResult result = Run("open\nshow dialog\nfrobnicate\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "<stdin>:3: unknown command 'frobnicate'\n");
  EXPECT_EQ(result.out, kStarted);
}

TEST_F(CliModule, SavesTheActiveDocument) {
  const std::string saved = dir.path() + "/cleaned.json";
  const CliResult result =
      Run("open\nset 5008 2\nset 5006 0\nset 1005 1057311\nanswer yes\npress 1002\nsave " + saved + "\n");
  ASSERT_EQ(result.status, 0) << result.err;
  ASSERT_TRUE(std::filesystem::exists(saved));
  const CliResult again = Run("show scene\n", saved);
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out.find("1057311"), std::string::npos) << "the tags stay removed";
  EXPECT_NE(again.out.find("Vase [5160]"), std::string::npos);
}

TEST_F(CliModule, TheBundledExampleRuns) {
  const CliResult result = RunStandin("run " + kStudio + " " + ORPHANEX_SOURCE_DIR +
                                          "/examples/walkthrough.script --module " + module,
                                      "", dir);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.rfind(kStarted, 0), 0u) << result.out;
}

} // namespace
} // namespace standin::test
