// The plug-in folder as `cmake --install` lays it out, and the module loaded
// from there: it finds its resources and its help file beside itself.
#include "e2e/e2e_support.h"
#include "runtime/runtime.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace e2e {
namespace {
namespace fs = std::filesystem;

std::string Escaped(const std::string& text) {
  std::string shown;
  for (char c : text)
    shown += c == '\n' ? std::string("\\n") : std::string(1, c);
  return shown;
}

TEST(Install, LaysOutThePluginFolderAndTheModuleRunsFromIt) {
  if (RunCommand("cmake --version", ".").status != 0)
    GTEST_SKIP() << "cmake is not on the PATH";
  TempDir dir;
  // The build folder holds the standin executable.
  const std::string build = fs::path(ORPHANEX_STANDIN_PATH).parent_path().string();
  const std::string prefix = dir / "plugins";
  const RunResult install =
      RunCommand("cmake --install '" + build + "' --prefix '" + prefix + "'", dir.path());
  ASSERT_EQ(install.status, 0) << install.out << install.err;

  std::set<std::string> laidOut;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(prefix))
    laidOut.insert(fs::relative(entry.path(), prefix).string());
  EXPECT_EQ(laidOut, (std::set<std::string>{"Orphanex", "Orphanex/Orphanex.so", "Orphanex/Orphanex.pdf",
                                            "Orphanex/res", "Orphanex/res/strings.str",
                                            "Orphanex/res/Orphanex32x32.png"}));
  const std::string folder = prefix + "/Orphanex";
  // Installed from the repository's res folder, byte for byte.
  const std::pair<const char*, const char*> shipped[] = {{"res/strings.str", "strings.str"},
                                                         {"res/Orphanex32x32.png", "Orphanex32x32.png"},
                                                         {"Orphanex.pdf", "Orphanex.pdf"}};
  for (const auto& [installed, source] : shipped)
    EXPECT_EQ(ReadFile(folder + "/" + installed),
              ReadFile(std::string(ORPHANEX_SOURCE_DIR) + "/res/" + source))
        << installed;

  std::map<int32_t, std::string> texts;
  std::string error;
  ASSERT_TRUE(standin::ParseStringResources(ReadFile(folder + "/res/strings.str"), texts, error)) << error;
  ASSERT_TRUE(texts.count(10000) && texts.count(10001));

  const RunResult run = RunScript(SceneFile("e2e_tags.json"), "open\nshow dialog\nmenu 5001\nmenu 5002\n",
                                  folder + "/Orphanex.so", dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string out = run.out;
  EXPECT_NE(out.find("console: Tarnwick Software: Orphanex successfully loaded.\n" + texts[10000] + "\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("\nmessage(48): " + Escaped(texts[10001]) + "\n"), std::string::npos) << out;
  const std::string opened = "open-file: " + folder + "/Orphanex.pdf\n";
  ASSERT_GE(out.size(), opened.size());
  EXPECT_EQ(out.substr(out.size() - opened.size()), opened) << out;
  EXPECT_EQ(out.find("console: Orphanex: failed"), std::string::npos) << out;
}

} // namespace
} // namespace e2e
