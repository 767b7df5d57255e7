// Console, file names and opening files with the system.
#include "core/texts.h"
#include "runtime/support.h"

namespace standin::test {
namespace {

TEST(FileNames, Directory) {
  const std::pair<const char*, const char*> cases[] = {
      {"/opt/plugins/Orphanex/Orphanex.so", "/opt/plugins/Orphanex"},
      {"/Orphanex.so", "/"},
      {"Orphanex.so", "."},
      {"plugins/Orphanex/", "plugins"},
      {"/", "/"},
      {"", "."},
  };
  for (const auto& [path, folder] : cases)
    EXPECT_EQ(DirectoryOf(path), folder) << path;
}

TEST(FileNames, Join) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"/opt/Orphanex", "res", "/opt/Orphanex/res"},
      {"/opt/Orphanex/", "Orphanex.pdf", "/opt/Orphanex/Orphanex.pdf"},
      {"/", "res", "/res"},
      {"", "res", "res"},
      {"/opt", "/abs/file", "/abs/file"},
      {"/opt", "", "/opt"},
  };
  for (const auto& [folder, name, joined] : cases)
    EXPECT_EQ(JoinPath(folder, name), joined) << folder << " + " << name;
}

class FileAreaTest : public RuntimeTest {
protected:
  const OxFileArea* files() const { return AreaOf<OxFileArea>(tables(), OX_AREA_FILE); }
  const OxConsoleArea* console() const { return AreaOf<OxConsoleArea>(tables(), OX_AREA_CONSOLE); }
  static std::string Take(OxText* text) {
    std::string value = TextValue(text, "test");
    ReleaseText(text, "test");
    return value;
  }
};

TEST_F(FileAreaTest, AreaFunctionsAnswerNewTexts) {
  OxText* path = NewText("/opt/Orphanex/Orphanex.so");
  OxText* pdf = NewText("Orphanex.pdf");
  OxText* folder = files()->directory(path);
  EXPECT_EQ(TextValue(folder, "test"), "/opt/Orphanex");
  EXPECT_EQ(Take(files()->join(folder, pdf)), "/opt/Orphanex/Orphanex.pdf");
  EXPECT_EQ(Take(files()->join(nullptr, pdf)), "Orphanex.pdf") << "the empty text is a valid folder";
  for (OxText* text : {path, pdf, folder})
    ReleaseText(text, "test");
  EXPECT_EQ(BreachCount(), 0u);
  EXPECT_EQ(files()->directory(path), nullptr) << "released: stale";
  EXPECT_EQ(BreachCount(), 1u);
}

TEST_F(FileAreaTest, OpenWithSystemRecordsAndPrintsOnly) {
  OxText* pdf = NewText("/opt/Orphanex/Orphanex.pdf");
  EXPECT_TRUE(files()->openWithSystem(pdf));
  EXPECT_TRUE(files()->openWithSystem(pdf));
  ReleaseText(pdf, "test");
  EXPECT_EQ(OpenedFiles(), (std::vector<std::string>(2, "/opt/Orphanex/Orphanex.pdf")));
  EXPECT_EQ(printed, (std::vector<std::string>(2, "open-file: /opt/Orphanex/Orphanex.pdf")));
}

TEST_F(FileAreaTest, ConsoleLinesAreOneLineEach) {
  OxText* text = NewText("Tarnwick Software: Orphanex successfully loaded.");
  OxText* twoLines = NewText("first\nsecond");
  console()->write(text);
  console()->write(twoLines);
  console()->write(nullptr);
  ReleaseText(text, "test");
  ReleaseText(twoLines, "test");
  console()->write(text); // stale: a breach, nothing written
  EXPECT_EQ(printed.size(), 4u);
  EXPECT_EQ(printed[0], "console: Tarnwick Software: Orphanex successfully loaded.");
  EXPECT_EQ(printed[1], "console: first\\nsecond");
  EXPECT_EQ(printed[2], "console: ");
  EXPECT_EQ(printed[3].rfind("breach: ConsoleWrite: ", 0), 0u);
}

} // namespace
} // namespace standin::test
