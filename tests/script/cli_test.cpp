// The command line where no module is needed: argument errors and unreadable
// files end with status 2, one line on stderr and nothing on stdout; help;
// the census, which reads scenes only.
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
      {"census", "standin: "},
      {"census " + dir.path() + "/missing.json", "cannot read scene " + dir.path() + "/missing.json"},
      {"clean " + scene + " --type tag -o " + dir.path() + "/out.json", "--id"},
      {"clean " + scene + " --id 5 -o " + dir.path() + "/out.json", "--type"},
      {"clean " + scene + " --id 5 --type tags -o " + dir.path() + "/out.json", "--type"},
      {"clean " + scene + " --id 5 --type tag", "--output"},
      {"clean " + scene + " --id 5 --type tag --scope 3 -o " + dir.path() + "/out.json", "--scope"},
      {"clean " + scene + " --id 5 --type shader --scope 1 -o " + dir.path() + "/out.json",
       "--scope 1 is not offered"},
      {"clean " + scene + " --id 5 --type videopost --scope 2 -o " + dir.path() + "/out.json",
       "--scope 2 is not offered"},
      {"clean " + dir.path() + "/missing.json --id 5 --type tag -o " + dir.path() + "/out.json",
       "cannot read scene"},
      {"ui", "standin: "},
      {"ui " + dir.path() + "/missing.json", "cannot read scene"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CliResult result = RunStandin(c.args, "", dir);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/out.json")) << "nothing written";
  }
}

// Runs of blanks as one, so that column widths do not matter.
std::string Squeeze(const std::string& text) {
  std::string out;
  for (const char c : text)
    if (c != ' ' || (!out.empty() && out.back() != ' ' && out.back() != '\n'))
      out.push_back(c);
  return out;
}

TEST(Cli, CensusListsEveryTypeAndTheMissingPlugins) {
  CliDir dir;
  const std::string a = dir.Write("a.json", R"({
    "plugins": [ {"id": 1012345, "type": 6, "name": "Wobble Tag"} ],
    "objects": [ {"name": "Cube", "type": 5159, "tags": [
        {"name": "Wobble", "type": 1012345}, {"name": "Drift", "type": 1057311},
        {"name": "Drift.1", "type": 1057311} ]} ],
    "materials": [], "renderSettings": null })");
  const std::string b = dir.Write("b.json", R"({
    "plugins": [ {"id": 5159, "type": 5, "name": "Cube"} ],
    "objects": [ {"name": "Cube", "type": 5159} ] })");

  const CliResult one = RunStandin("census " + a, "", dir);
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.err, "") << "one file: no progress lines";
  EXPECT_EQ(Squeeze(one.out), a + "\nobject 5159 1 missing\ntag 1012345 1 known\ntag 1057311 2 missing\n"
                                  "missing plug-ins: 5159 (object), 1057311 (tag)\n");

  // Many files: each with its own registry; an unreadable one is reported
  // and the others still counted.
  const CliResult many = RunStandin("census " + b + " " + dir.path() + "/missing.json " + a, "", dir);
  EXPECT_EQ(many.status, 2);
  EXPECT_EQ(Squeeze(many.out), b + "\nobject 5159 1 known\nmissing plug-ins: none\n" + Squeeze(one.out));
  EXPECT_NE(many.err.find("[3/3] " + a), std::string::npos) << many.err;
  EXPECT_NE(many.err.find("cannot read scene " + dir.path() + "/missing.json"), std::string::npos);
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
