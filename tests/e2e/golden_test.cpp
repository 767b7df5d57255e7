// Golden scripts: each script in tests/e2e/scripts/ runs through the `standin`
// executable against a fixture scene, with the module of each flavour in a
// plug-in folder of its own, and what it prints must equal NAME.out (and
// NAME.err, empty when absent) exactly. Scenes the script saves are compared
// where a case asks for it (a declined removal and an undone one must give
// back the scene as it was).
//
// ORPHANEX_UPDATE_GOLDEN=1 rewrites the golden files from the configured
// flavour's run; the other flavour is still compared against them. Read
// every rewritten file before committing it.
//
// A new case: write scripts/NAME.script (and a scene in tests/scenes/ if
// none fits), add a row to kCases, run tests_e2e once with
// ORPHANEX_UPDATE_GOLDEN=1 and check NAME.out line by line. Paths under the
// run's temporary folder print as @TMP@ (the module lies in @TMP@/Orphanex/,
// saved scenes in @TMP@/), the loader's API version as @API@.
#include "e2e/e2e_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace e2e {
namespace {

struct GoldenCase {
  const char* name;   // golden files NAME.out / NAME.err
  const char* script; // scripts/SCRIPT.script
  const char* scene;  // tests/scenes/SCENE
  Layout layout = Layout::Complete;
  int status = 0;
  std::vector<std::pair<const char*, const char*>> sameScenes = {};
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
  *os << c.name;
}

const std::vector<std::pair<const char*, const char*>> kDeclinedAndUndone = {{"before.json", "declined.json"},
                                                                             {"before.json", "undone.json"}};

const GoldenCase kCases[] = {
    {"session_tag", "session_tag", "e2e_tags.json", Layout::Complete, 0, kDeclinedAndUndone},
    {"session_shader", "session_shader", "e2e_shaders.json", Layout::Complete, 0, kDeclinedAndUndone},
    {"session_object", "session_object", "e2e_objects.json", Layout::Complete, 0, kDeclinedAndUndone},
    {"session_videopost", "session_videopost", "e2e_videoposts.json", Layout::Complete, 0,
     kDeclinedAndUndone},
    {"registry_fallback", "registry_fallback", "e2e_registry.json"},
    {"identify_chain", "identify_chain", "e2e_chain.json"},
    {"identifier_bounds", "identifier_bounds", "e2e_tags.json"},
    {"dialog_layout", "dialog_layout", "e2e_tags.json"},
    {"scope_ids_shader", "scope_ids_shader", "e2e_tags.json", Layout::Complete, 1},
    {"scope_ids_videopost", "scope_ids_videopost", "e2e_tags.json", Layout::Complete, 1},
    {"startup", "startup", "e2e_tags.json"},
    {"startup_no_resources", "startup", "e2e_tags.json", Layout::NoResources},
    {"startup_no_icon", "startup", "e2e_tags.json", Layout::NoIcon},
    {"startup_corrupt_icon", "startup", "e2e_tags.json", Layout::CorruptIcon},
};

std::string ScriptsDir() {
  return std::string(ORPHANEX_SOURCE_DIR) + "/tests/e2e/scripts/";
}

bool Updating() {
  const char* update = std::getenv("ORPHANEX_UPDATE_GOLDEN");
  return update != nullptr && std::string(update) == "1";
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// What differs between runs and flavours, written as placeholders: the
// temporary folder, and the API version in the loader's `module:` line.
std::string Normalise(std::string text, const std::string& tmp, int32_t api) {
  ReplaceAll(text, tmp, "@TMP@");
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
    if (line.rfind("module: ", 0) == 0)
      ReplaceAll(line, "(API " + std::to_string(api) + ")", "(API @API@)");
    out += line;
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return out;
}

class GoldenTest : public ::testing::TestWithParam<std::tuple<GoldenCase, Flavour>> {};

TEST_P(GoldenTest, PrintsExactlyTheGoldenOutput) {
  const auto& [c, flavour] = GetParam();
  TempDir dir;
  const std::string module = MakePluginFolder(dir, flavour, c.layout);
  const std::string script = ReadFile(ScriptsDir() + c.script + ".script");
  ASSERT_FALSE(script.empty()) << "no script " << c.script;

  const RunResult result = RunScript(SceneFile(c.scene), script, module, dir.path().string());
  const std::string out = Normalise(result.out, dir.path().string(), flavour.api);
  const std::string err = Normalise(result.err, dir.path().string(), flavour.api);
  const std::string outFile = ScriptsDir() + c.name + ".out";
  const std::string errFile = ScriptsDir() + c.name + ".err";

  if (Updating() && std::string(flavour.name) == ORPHANEX_MODULE_FLAVOUR) {
    std::ofstream(outFile, std::ios::binary) << out;
    if (err.empty())
      std::filesystem::remove(errFile);
    else
      std::ofstream(errFile, std::ios::binary) << err;
  }

  EXPECT_EQ(result.status, c.status) << result.err;
  EXPECT_EQ(out, ReadFile(outFile)) << "stdout differs from " << outFile;
  EXPECT_EQ(err, std::filesystem::exists(errFile) ? ReadFile(errFile) : std::string())
      << "stderr differs from " << errFile;
  for (const auto& [a, b] : c.sameScenes) {
    const std::string first = ReadFile(dir / a), second = ReadFile(dir / b);
    EXPECT_FALSE(first.empty()) << a << " was not saved";
    EXPECT_EQ(first, second) << a << " and " << b << " differ";
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, GoldenTest,
                         ::testing::Combine(::testing::ValuesIn(kCases), ::testing::ValuesIn(BothFlavours())),
                         [](const ::testing::TestParamInfo<GoldenTest::ParamType>& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

} // namespace
} // namespace e2e
