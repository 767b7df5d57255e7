// The command line without a working module: argument errors, unreadable
// files and the sub-commands still to come all end with status 2, one line
// on stderr and nothing on stdout.
#include "cli_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace standin::test {
namespace {

TEST(Cli, BadArgumentsAndUnreadableFilesExitWithTwo) {
  CliDir dir;
  const std::string scene = dir.Write("scene.json", "{\"objects\": []}\n");
  const std::string script = dir.Write("ok.script", "show scene\n");
  struct Case {
    std::string args;
    std::string error; // part of the one stderr line
  };
  const Case cases[] = {
      {"", "standin: "},
      {"frobnicate", "standin: "},
      {"run", "standin: "},
      {"run " + scene, "standin: "},
      {"run " + scene + " " + script + " extra", "standin: "},
      {"run " + scene + " " + script + " --module", "standin: "},
      {"run " + dir.path() + "/missing.json " + script, "cannot read scene " + dir.path() + "/missing.json"},
      {"run " + dir.Write("broken.json", "{\"objects\": [") + " " + script,
       "cannot read scene " + dir.path() + "/broken.json"},
      {"run " + scene + " " + dir.path() + "/missing.script",
       "cannot read script " + dir.path() + "/missing.script"},
      {"run " + scene + " " + script + " --module " + dir.path() + "/missing.so", "missing.so"},
      {"census " + scene, "not yet available"},
      {"clean " + scene, "not yet available"},
      {"ui " + scene, "not yet available"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CliResult result = RunStandin(c.args, "", dir);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
}

TEST(Cli, HelpEverywhere) {
  CliDir dir;
  for (const std::string args : {"--help", "run --help", "census --help", "clean --help", "ui --help"}) {
    SCOPED_TRACE(args);
    const CliResult result = RunStandin(args, "", dir);
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("--help"), std::string::npos) << result.out;
  }
  EXPECT_NE(RunStandin("run --help", "", dir).out.find("--module"), std::string::npos);
}

} // namespace
} // namespace standin::test
