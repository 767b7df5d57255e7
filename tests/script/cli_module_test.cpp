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

TEST_F(CliModule, CleanRemovesThroughTheDialogAndSaves) {
  struct Case {
    std::string args;
    std::string result;
    std::string gone; // no longer in the saved scene's census
  };
  const std::string out = dir.path() + "/out.json";
  const Case cases[] = {
      {"--id 1057311 --type tag", "removed 5 of 5 tags of plug-in 1057311; saved " + out + "\n", "1057311"},
      {"--id 1036221 --type videopost", "removed 2 of 2 videoposts of plug-in 1036221; saved " + out + "\n",
       "1036221"},
      {"--id 1049012 --type object --scope 0",
       "removed 2 of 2 objects of plug-in 1049012; saved " + out + "\n", "1049012"},
      {"--id 1060007 --type shader --keep-layer-shaders",
       "removed 2 of 4 shaders of plug-in 1060007 (2 left); saved " + out + "\n", ""},
      {"--id 424242 --type tag", "removed 0 of 0 tags of plug-in 424242; saved " + out + "\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    std::filesystem::remove(out);
    const CliResult result =
        RunStandin("clean " + kStudio + " " + c.args + " -o " + out + " --module " + module, "", dir);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, c.result) << "host prints go to stderr";
    EXPECT_NE(result.err.find("successfully loaded"), std::string::npos) << result.err;
    ASSERT_TRUE(std::filesystem::exists(out));
    if (!c.gone.empty()) {
      const CliResult census = RunStandin("census " + out, "", dir);
      EXPECT_EQ(census.status, 0);
      EXPECT_EQ(census.out.find(c.gone), std::string::npos) << census.out;
    }
  }
}

TEST_F(CliModule, CleanHonoursTheScope) {
  const std::string scene = dir.Write("scoped.json", R"({
    "objects": [ {"name": "A", "type": 5159, "selected": true, "tags": [ {"name": "T", "type": 1057311} ],
                  "children": [ {"name": "B", "type": 5159, "tags": [ {"name": "T", "type": 1057311} ]} ]},
                 {"name": "C", "type": 5159, "tags": [ {"name": "T", "type": 1057311} ]} ] })");
  const std::string out = dir.path() + "/out.json";
  const std::pair<int, std::string> cases[] = {
      {2, "removed 1 of 3"}, {1, "removed 2 of 3"}, {0, "removed 3 of 3"}};
  for (const auto& [scope, result] : cases) {
    SCOPED_TRACE(scope);
    const CliResult run = RunStandin("clean " + scene + " --id 1057311 --type tag --scope " +
                                         std::to_string(scope) + " -o " + out + " --module " + module,
                                     "", dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind(result, 0), 0u) << run.out;
  }
}

TEST_F(CliModule, UiTakesTypedCommandsAndAsksQuestions) {
  const std::string out = dir.path() + "/ui.json";
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "yes" : "no");
    const CliResult result = RunStandin("ui " + kStudio + " --module " + module,
                                        "ids\nset 5008 2\nset 1005 1057311\nfrob\npress 1002\n" +
                                            std::string(yes ? "y" : "n") + "\nsave " + out + "\nquit\n",
                                        dir);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("5008  Action to Take"), std::string::npos) << "ids lists the elements";
    EXPECT_NE(result.out.find("error: unknown command 'frob'"), std::string::npos) << "and goes on";
    EXPECT_NE(result.out.find("? Are you sure you want to delete the plugin instances? [y/N]"),
              std::string::npos);
    EXPECT_EQ(result.out.find("Tag plugin 1057311 not found.") != std::string::npos, yes) << result.out;
    const CliResult census = RunStandin("census " + out, "", dir);
    EXPECT_EQ(census.out.find("1057311") == std::string::npos, yes) << census.out;
  }
}

} // namespace
} // namespace standin::test
