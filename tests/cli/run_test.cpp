// `standin run` end to end: a script to its end, a failing line, a parse
// error, saving; and every bundled example script runs to its end.
#include "cli_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace standin::test {
namespace {

const std::string kStarted = std::string("module: com.tarnwicksoftware.orphanex (API ") +
                             (std::string(ORPHANEX_MODULE_FLAVOUR) == "mac" ? "2025200" : "2025300") +
                             ")\nconsole: Tarnwick Software: Orphanex successfully loaded.\n";

class Run : public ::testing::Test {
protected:
  CliResult Script(const std::string& script, const std::string& scene = Example("studio.json")) {
    return RunStandin({"run", scene, "-", "--module", module}, dir, script);
  }
  CliDir dir;
  std::string module = dir.InstallModule();
};

TEST_F(Run, AScriptRunsToItsEndWithTheHostsPrintsOnStdout) {
  const CliResult result =
      Script("expect successfully loaded\nopen\nset 5008 1\nset 1005 1057311\npress 1002\n"
             "show list\nexpect Vase | Drift Dynamics.1\n");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out.rfind(kStarted, 0), 0u) << result.out;
  EXPECT_NE(result.out.find("\nCamera | Drift Dynamics\n"), std::string::npos) << result.out;
}

// The runner's messages are tested in tests/script; here the executable's
// side: status 1, the one `FILE:LINE:` line on stderr, nothing run after it.
TEST_F(Run, AFailingLineStopsTheRunAndIsNamed) {
  const std::string script =
      dir.Write("bad.script", "open\nset 1005 1057311\npress 1002\nchoose 99\nshow scene\n");
  const CliResult result = RunStandin({"run", Example("studio.json"), script, "--module", module}, dir);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, script + ":4: the list has 5 row(s)\n");
  EXPECT_EQ(result.out, kStarted) << "nothing after the failing line ran";
}

TEST_F(Run, SaveWritesTheActiveDocument) {
  const std::string saved = dir / "cleaned.json";
  const CliResult result =
      Script("open\nset 5008 2\nset 5006 0\nset 1005 1057311\nanswer yes\npress 1002\nsave " + saved + "\n");
  ASSERT_EQ(result.status, 0) << result.err;
  const CliResult again = Script("show scene\n", saved);
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out.find("1057311"), std::string::npos) << "the tags stay removed";
  EXPECT_NE(again.out.find("Vase [5160]"), std::string::npos);
}

// Every examples/*.script runs against the studio scene to its end (their
// `expect` lines check what they show).
TEST_F(Run, EveryExampleScriptRuns) {
  size_t scripts = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Example(""))) {
    if (entry.path().extension() != ".script")
      continue;
    ++scripts;
    SCOPED_TRACE(entry.path().filename().string());
    const CliResult result =
        RunStandin({"run", Example("studio.json"), entry.path().string(), "--module", module}, dir);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.find("breach:"), std::string::npos) << result.out;
  }
  EXPECT_GE(scripts, 4u) << "the walk-through and one per kind of plug-in";
}

} // namespace
} // namespace standin::test
