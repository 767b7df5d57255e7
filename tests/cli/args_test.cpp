// The command line's refusals: bad arguments and scenes that cannot be read
// end with status 2, one line on stderr that names the problem (the file, and
// inside a scene the key's path), nothing on stdout and nothing written.
// And the help of every sub-command.
#include "cli_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace standin::test {
namespace {

struct Refusal {
  std::vector<std::string> args;
  std::string error; // part of the one stderr line
};

void ExpectRefused(const CliDir& dir, const Refusal& c) {
  std::string line;
  for (const std::string& arg : c.args)
    line += arg + " ";
  SCOPED_TRACE(line);
  const std::set<std::string> before = dir.Files();
  const CliResult result = RunStandin(c.args, dir);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
  EXPECT_EQ(Lines(result.err), 1u) << result.err;
  EXPECT_EQ(dir.Files(), before) << "nothing written";
}

TEST(CliArgs, BadArgumentsAreRefusedBeforeAnythingRuns) {
  CliDir dir;
  const std::string scene = dir.Write("scene.json", "{\"objects\": []}\n");
  const std::string other = dir.Write("other/scene.json", "{\"objects\": []}\n");
  const std::string script = dir.Write("ok.script", "show scene\n");
  const std::string out = dir / "out.json";
  const Refusal cases[] = {
      {{}, "standin: "},
      {{"frobnicate"}, "standin: "},
      {{"run"}, "standin run: "},
      {{"run", scene}, "standin run: "},
      {{"run", scene, script, "extra"}, "standin run: "},
      {{"run", scene, script, "--module"}, "standin run: "},
      {{"run", scene, dir / "missing.script"}, "cannot read script " + dir / "missing.script"},
      {{"run", scene, dir.path()}, "cannot read script " + dir.path() + ": is a directory"},
      {{"run", scene, script, "--module", dir / "missing.so"}, "missing.so"},
      {{"ui"}, "standin ui: "},
      {{"ui", scene, "--module", dir / "missing.so"}, "missing.so"},
      {{"census"}, "standin census: "},
      {{"census", scene, "--format", "xml"}, "--format"},
      {{"clean", scene, "--type", "tag", "-o", out}, "--id"},
      {{"clean", scene, "--id", "5", "-o", out}, "--type"},
      {{"clean", scene, "--id", "x", "--type", "tag", "-o", out}, "--id"},
      {{"clean", scene, "--id", "5", "--type", "tags", "-o", out}, "--type"},
      {{"clean", scene, "--id", "5", "--type", "tag"}, "say where the cleaned scene goes"},
      {{"clean", scene, "--id", "5", "--type", "tag", "--scope", "3", "-o", out}, "--scope"},
      {{"clean", scene, "--id", "5", "--type", "shader", "--scope", "1", "-o", out},
       "--scope 1 is not offered"},
      {{"clean", scene, "--id", "5", "--type", "videopost", "--scope", "2", "-o", out},
       "--scope 2 is not offered"},
      {{"clean", scene, "--id", "5", "--type", "tag", "--keep-layer-shaders", "-o", out},
       "--type shader only"},
      {{"clean", scene, other, "--id", "5", "--type", "tag", "-o", out}, "use --out-dir DIR"},
      {{"clean", scene, "--id", "5", "--type", "tag", "-o", out, "--out-dir", dir.path()}, "--out-dir"},
      {{"clean", scene, "--id", "5", "--type", "tag", "-o", out, "--in-place"}, "does not go with -o"},
      {{"clean", scene, "--id", "5", "--type", "tag", "--out-dir", scene}, "is not a folder"},
      // The input is never the output without --in-place, however it is named.
      {{"clean", scene, "--id", "5", "--type", "tag", "-o", scene}, "would write over the scene"},
      {{"clean", scene, "--id", "5", "--type", "tag", "-o", dir.path() + "/./other/../scene.json"},
       "would write over the scene"},
      {{"clean", scene, "--id", "5", "--type", "tag", "--out-dir", dir.path()}, "would write over the scene"},
      // Two scenes that would land on one output, or one scene named twice.
      {{"clean", scene, other, "--id", "5", "--type", "tag", "--out-dir", dir / "cleaned"},
       "would both be written"},
      {{"clean", scene, dir.path() + "/other/../scene.json", "--id", "5", "--type", "tag", "--in-place"},
       "is named twice"},
  };
  for (const Refusal& c : cases)
    ExpectRefused(dir, c);
}

// Every sub-command that reads a scene refuses a bad one the same way.
TEST(CliArgs, UnreadableScenesAreNamedWithTheProblem) {
  CliDir dir;
  const std::string script = dir.Write("ok.script", "show scene\n");
  struct BadScene {
    std::string name;
    std::string content; // empty: the file does not exist
    std::string error;   // after "cannot read scene FILE: "
  };
  const BadScene scenes[] = {
      {"missing.json", "", "No such file or directory"},
      {"text.json", "hello\n", "(top level): invalid JSON"},
      {"empty.json", "\n", "(top level): invalid JSON"},
      {"truncated.json", "{\"objects\": [ {\"name\": \"A\", \"type\": 5", "objects[0]: invalid JSON"},
      {"trailing.json", "{\"objects\": []} x", "(top level): invalid JSON"},
      {"unknown.json", "{\"objects\": [ {\"name\": \"A\", \"type\": 5, \"colour\": 1} ]}",
       "objects[0].colour: unknown key"},
      {"type.json", "{\"objects\": [ {\"name\": \"A\", \"type\": \"cube\"} ]}", "objects[0].type"},
      {"ref.json",
       "{\"materials\": [ {\"name\": \"M\", \"type\": 5703, \"reflectance\": [ {\"ref\": \"Q\"} ]} ]}",
       "materials[0].reflectance[0].ref: no node has uid \"Q\""},
  };
  for (const BadScene& bad : scenes) {
    const std::string path = bad.content.empty() ? dir / bad.name : dir.Write(bad.name, bad.content);
    const std::string error = "cannot read scene " + path + ": " + bad.error;
    const std::vector<std::vector<std::string>> commands = {
        {"run", path, script},
        {"ui", path},
        {"census", path},
        {"clean", path, "--id", "5", "--type", "tag", "-o", dir / "out.json"},
        {"clean", path, "--id", "5", "--type", "tag", "--in-place"},
    };
    for (const auto& args : commands)
      ExpectRefused(dir, {args, error});
  }
  ExpectRefused(dir, {{"census", dir.path()}, "cannot read scene " + dir.path() + ": is a directory"});
}

TEST(CliArgs, EverySubCommandExplainsItself) {
  CliDir dir;
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"--help", {"run", "ui", "census", "clean", "Exit status"}},
      {"run", {"--module", "Examples:", "standin run examples/studio.json", "FILE:LINE"}},
      {"ui", {"--line", "Examples:", "Tab", "q quit"}},
      {"census", {"--format", "Examples:", "standin-census/1", "record,file,kind,id,count,known,files,name"}},
      {"clean",
       {"--id", "--type", "--scope", "--keep-layer-shaders", "-o", "--out-dir", "--in-place", "--dry-run",
        "Examples:", ".bak"}},
  };
  for (const auto& [command, texts] : cases) {
    SCOPED_TRACE(command);
    const CliResult result = RunStandin(command == "--help" ? std::vector<std::string>{"--help"}
                                                            : std::vector<std::string>{command, "--help"},
                                        dir);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    for (const std::string& text : texts)
      EXPECT_NE(result.out.find(text), std::string::npos) << text << " in\n" << result.out;
  }
}

} // namespace
} // namespace standin::test
