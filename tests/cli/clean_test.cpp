// `standin clean`: one removal run per scene through the dialog, the report
// (removed per kind, the re-scan), and the files: written whole or not at
// all, originals kept, bad scenes skipped while the others go on.
#include "cli_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace standin::test {
namespace {

namespace fs = std::filesystem;

class Clean : public ::testing::Test {
protected:
  // What census says about one type id in a scene: "" when it has none.
  std::string CensusRow(const std::string& scene, const std::string& id) {
    const CliResult census = RunStandin({"census", "--format", "csv", scene}, dir);
    EXPECT_EQ(census.status, 0) << census.err;
    const size_t at = census.out.find("," + id + ",");
    if (at == std::string::npos)
      return "";
    const size_t start = census.out.rfind('\n', at) + 1;
    return census.out.substr(start, census.out.find('\r', at) - start);
  }

  CliDir dir;
  std::string studio = dir.Write("studio.json", ReadFile(Example("studio.json")));
};

TEST_F(Clean, RemovesEachKindAndReScansTheResult) {
  struct Case {
    std::vector<std::string> options;
    std::string report;    // stdout after "FILE: ", without the "saved" line
    bool left;             // the census of the output still has the id
    std::string note = ""; // the module's message on stderr
  };
  const Case cases[] = {
      {{"--id", "1057311", "--type", "tag"},
       "removed 5 of 5 tags of plug-in 1057311\n  re-scan: no tag of plug-in 1057311 left\n",
       false},
      // Objects take their tags along.
      {{"--id", "1049012", "--type", "object"},
       "removed 2 of 2 objects of plug-in 1049012\n  removed per kind: 1 tag, 2 objects\n"
       "  re-scan: no object of plug-in 1049012 left\n",
       false},
      {{"--id", "1036221", "--type", "videopost"},
       "removed 2 of 2 videoposts of plug-in 1036221\n  re-scan: no videopost of plug-in 1036221 left\n",
       false},
      // In channels, reflectance layers and nested layer shaders.
      {{"--id", "1060007", "--type", "shader"},
       "removed 4 of 4 shaders of plug-in 1060007\n  re-scan: no shader of plug-in 1060007 left\n",
       false},
      // Layer shaders take the shaders inside them along.
      {{"--id", "1011123", "--type", "shader"},
       "removed 3 of 3 shaders of plug-in 1011123\n  removed per kind: 6 shaders\n"
       "  re-scan: no shader of plug-in 1011123 left\n",
       false},
      {{"--id", "1060007", "--type", "shader", "--keep-layer-shaders"},
       "removed 2 of 4 shaders of plug-in 1060007\n  re-scan: 2 shaders of plug-in 1060007 left "
       "(--keep-layer-shaders keeps those inside layer shaders)\n",
       true,
       "message(48): Please note that not all shaders were deleted.\\nIt is possible that these are within a "
       "Layer "
       "shader.\\nIf so, these will be listed in the shader list.\n"},
      // Vase is selected: scope 2 takes its own tags only.
      {{"--id", "1057311", "--type", "tag", "--scope", "2"},
       "removed 2 of 5 tags of plug-in 1057311\n  re-scan: 3 tags of plug-in 1057311 left (outside the "
       "selection that --scope 2 works on)\n",
       true},
      {{"--id", "1057311", "--type", "tag", "--scope", "1"},
       "removed 3 of 5 tags of plug-in 1057311\n  re-scan: 2 tags of plug-in 1057311 left (outside the "
       "selection that --scope 1 works on)\n",
       true},
      {{"--id", "424242", "--type", "tag"},
       "removed 0 of 0 tags of plug-in 424242\n  re-scan: no tag of plug-in 424242 left\n",
       false},
  };
  const std::string out = dir / "out.json";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options[1] + " " + c.options[3] + (c.options.size() > 4 ? " " + c.options[4] : ""));
    fs::remove(out);
    std::vector<std::string> args = {"clean", studio, "-o", out};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CliResult result = RunStandin(args, dir);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, studio + ": " + c.report + "  saved " + out + "\n");
    EXPECT_EQ(result.err, c.note) << "without --verbose: the module's messages only";
    EXPECT_EQ(CensusRow(out, c.options[1]).empty(), !c.left);
  }
  EXPECT_EQ(ReadFile(studio), ReadFile(Example("studio.json"))) << "the original is untouched";
}

TEST_F(Clean, DryRunReportsAndWritesNothing) {
  const std::set<std::string> before = dir.Files();
  const CliResult result = RunStandin(
      {"clean", studio, "--id", "1057311", "--type", "tag", "--dry-run", "-o", dir / "out.json"}, dir);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            studio + ": would remove 5 of 5 tags of plug-in 1057311\n  re-scan: no tag of plug-in 1057311 "
                     "left\n  dry run: nothing written\n");
  EXPECT_EQ(dir.Files(), before);
}

TEST_F(Clean, InPlaceKeepsTheOriginalAsBak) {
  const std::string original = ReadFile(studio);
  chmod(studio.c_str(), 0640);
  const CliResult result =
      RunStandin({"clean", studio, "--id", "1036221", "--type", "videopost", "--in-place"}, dir);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("  saved " + studio + " (the original is kept as " + studio + ".bak)\n"),
            std::string::npos)
      << result.out;
  EXPECT_EQ(dir.Files(), (std::set<std::string>{"studio.json", "studio.json.bak"}))
      << "no temporary file left";
  EXPECT_EQ(ReadFile(studio + ".bak"), original);
  EXPECT_EQ(CensusRow(studio, "1036221"), "");
  struct stat info {};
  ASSERT_EQ(stat(studio.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "the replaced file keeps its mode";
}

TEST_F(Clean, ManyScenesGoOnPastABadOne) {
  const std::string bad = dir.Write("in/bad.json", "{\"objects\": [ {\"name\": \"A\"} ]}");
  const std::string second = dir.Write("in/second.json", R"({"objects": [ {"name": "A", "type": 5159,
      "tags": [ {"name": "T", "type": 1057311}, {"name": "U", "type": 1057311} ]} ]})");
  const CliResult result = RunStandin(
      {"clean", studio, bad, second, "--id", "1057311", "--type", "tag", "--out-dir", dir / "cleaned"}, dir);
  EXPECT_EQ(result.status, 2) << "not every scene was cleaned";
  EXPECT_EQ(result.out,
            studio +
                ": removed 5 of 5 tags of plug-in 1057311\n  re-scan: no tag of plug-in 1057311 left\n"
                "  saved " +
                dir / "cleaned/studio.json\n" + second +
                ": removed 2 of 2 tags of plug-in 1057311\n  re-scan: no tag of plug-in 1057311 left\n"
                "  saved " +
                dir / "cleaned/second.json\ntotal: removed 7 tags of plug-in 1057311 in 3 files; 1 file "
                      "failed\n");
  EXPECT_EQ(result.err, "clean: [1/3] " + studio + "\nclean: [2/3] " + bad +
                            "\nstandin clean: cannot read scene " + bad +
                            ": objects[0]: missing key \"type\"\nclean: [3/3] " + second + "\n");
  EXPECT_EQ(dir.Files(), (std::set<std::string>{"studio.json", "in/bad.json", "in/second.json",
                                                "cleaned/studio.json", "cleaned/second.json"}));
}

TEST_F(Clean, AnOutputThatCannotBeWrittenLeavesNothingBehind) {
  const std::string folder = dir.Write("folder/keep", "x");
  const std::vector<std::string> targets = {dir / "no/such/folder/out.json", dir / "folder"};
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    const std::set<std::string> before = dir.Files();
    const CliResult result =
        RunStandin({"clean", studio, "--id", "1057311", "--type", "tag", "-o", target}, dir);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("standin clean: cannot write " + target + ": "), std::string::npos)
        << result.err;
    EXPECT_EQ(dir.Files(), before) << "no temporary file, no partial output";
  }
}

// A tag at the end of a chain a million levels deep is found and removed;
// the result is written and reads back.
TEST_F(Clean, AMillionLevelChain) {
  constexpr size_t kDepth = 1000000;
  const std::string chain = dir.Write("chain.json", DeepChainScene(kDepth));
  const CliResult result =
      RunStandin({"clean", chain, "--id", "1057311", "--type", "tag", "-o", dir / "out.json"}, dir);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.rfind(chain + ": removed 1 of 1 tag of plug-in 1057311\n", 0), 0u) << result.out;
  EXPECT_EQ(CensusRow(dir / "out.json", "1057311"), "");
  EXPECT_EQ(CensusRow(dir / "out.json", "5140"),
            "type," + dir / "out.json" + ",object,5140,1000001,false,1,");
}

TEST_F(Clean, VerboseShowsTheHostAndAnotherModuleCanBeNamed) {
  const std::string module = dir.InstallModule();
  const CliResult result =
      RunStandin({"clean", studio, "--id", "1057311", "--type", "tag", "-n", "-v", "--module", module}, dir);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find("console: Tarnwick Software: Orphanex successfully loaded."), std::string::npos)
      << result.err;
}

} // namespace
} // namespace standin::test
