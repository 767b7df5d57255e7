// String resources: the file format, and the RESOURCE area's load, text and
// unload, including that a bad file leaves the loaded texts alone.
#include "core/texts.h"
#include "runtime/support.h"

namespace standin::test {
namespace {

struct GoodCase {
  const char* name;
  std::string content;
  std::map<int32_t, std::string> expected;
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const GoodCase& c, std::ostream* os) {
  *os << c.name;
}

class ParseGood : public ::testing::TestWithParam<GoodCase> {};

TEST_P(ParseGood, Reads) {
  std::map<int32_t, std::string> out;
  std::string error;
  ASSERT_TRUE(ParseStringResources(GetParam().content, out, error)) << error;
  EXPECT_EQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Resources, ParseGood,
    ::testing::Values(GoodCase{"plain",
                               "10000 \"Orphanex\"\n10002 \"Find and remove plug-in instances\"\n",
                               {{10000, "Orphanex"}, {10002, "Find and remove plug-in instances"}}},
                      GoodCase{"escapes", R"(1 "a\nb \"q\" back\\slash")", {{1, "a\nb \"q\" back\\slash"}}},
                      GoodCase{"comments, blanks, CRLF, tabs, no final newline",
                               "# texts\r\n\r\n   \n\t# indented comment\n7\t \"x\"  \r\n-4 \"neg\"",
                               {{7, "x"}, {-4, "neg"}}},
                      GoodCase{"byte-order mark and UTF-8",
                               "\xEF\xBB\xBF"
                               "5 \"Gr\xC3\xBC\xC3\x9F"
                               "e \xE2\x82\xAC\"\n",
                               {{5, "Gr\xC3\xBC\xC3\x9F"
                                    "e \xE2\x82\xAC"}}},
                      GoodCase{"empty text and hash inside",
                               "3 \"\"\n4 \"# not a comment\"\n",
                               {{3, ""}, {4, "# not a comment"}}},
                      GoodCase{"empty file", "", {}}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
          c = '_';
      return name;
    });

struct BadCase {
  std::string content;
  std::string error; // the reason names the line
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const BadCase& c, std::ostream* os) {
  *os << c.error;
}

class ParseBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(ParseBad, RefusesAndLeavesTheOutputAlone) {
  std::map<int32_t, std::string> out{{1, "kept"}};
  std::string error;
  EXPECT_FALSE(ParseStringResources(GetParam().content, out, error));
  EXPECT_EQ(error, GetParam().error);
  EXPECT_EQ(out, (std::map<int32_t, std::string>{{1, "kept"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Resources, ParseBad,
    ::testing::Values(BadCase{"10000 Orphanex\n", "line 1: expected a quoted text"},
                      BadCase{"1 \"ok\"\n\"no id\"\n", "line 2: expected a resource id"},
                      BadCase{"12x \"a\"\n", "line 1: expected a blank after the resource id"},
                      BadCase{"1 \"open\n", "line 1: missing closing quote"},
                      BadCase{"1 \"a\\tb\"\n", "line 1: unknown escape \\t"},
                      BadCase{"1 \"a\\", "line 1: unfinished escape"},
                      BadCase{"1 \"a\" b\n", "line 1: unexpected text after the closing quote"},
                      BadCase{"1 \"a\"\n1 \"b\"\n", "line 2: resource 1 given twice"},
                      BadCase{"99999999999 \"a\"\n", "line 1: resource id out of range"},
                      BadCase{"1 \"\xC3\"\n", "not valid UTF-8 text"},
                      BadCase{"1 \"\xC0\xAF\"\n", "not valid UTF-8 text"},
                      BadCase{std::string("1 \"a\0b\"\n", 8), "not valid UTF-8 text"}));

class ResourceAreaTest : public RuntimeTest {
protected:
  const OxResourceArea* resources() const { return AreaOf<OxResourceArea>(tables(), OX_AREA_RESOURCE); }
  bool Load(const std::string& folder) {
    OxText* text = NewText(folder);
    const bool ok = resources()->load(text) != 0;
    ReleaseText(text, "test");
    return ok;
  }
  std::string Text(int32_t id) {
    OxText* text = resources()->text(id);
    std::string value = TextValue(text, "test");
    ReleaseText(text, "test");
    return value;
  }
  TempDir dir;
};

TEST_F(ResourceAreaTest, LoadsTextsFromTheFolder) {
  dir.Write("res/strings.str", "10000 \"Orphanex\"\n10001 \"About\\nline two\"\n");
  ASSERT_TRUE(Load(dir / "res"));
  EXPECT_TRUE(ResourcesLoaded());
  EXPECT_EQ(Text(10000), "Orphanex");
  EXPECT_EQ(Text(10001), "About\nline two");
  EXPECT_EQ(resources()->text(424242), nullptr) << "unknown id: the empty text";
  resources()->unload();
  EXPECT_FALSE(ResourcesLoaded());
  EXPECT_EQ(resources()->text(10000), nullptr);
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_F(ResourceAreaTest, AFailedLoadKeepsThePreviousTexts) {
  dir.Write("good/strings.str", "10000 \"Orphanex\"\n");
  dir.Write("bad/strings.str", "10000 \"Other\"\n10001 broken\n");
  std::filesystem::create_directories(dir.path() / "folder-is-the-file/strings.str");
  ASSERT_TRUE(Load(dir / "good"));
  for (const std::string& folder :
       {dir / "bad", dir / "missing", dir / "folder-is-the-file", std::string()}) {
    SCOPED_TRACE(folder);
    EXPECT_FALSE(Load(folder));
    EXPECT_TRUE(ResourcesLoaded());
    EXPECT_EQ(Text(10000), "Orphanex");
  }
  EXPECT_EQ(ResourceLoadCount(), 1u);
}

TEST_F(ResourceAreaTest, NothingLoadedAnswersEmptyTexts) {
  EXPECT_FALSE(Load(dir / "none"));
  EXPECT_FALSE(ResourcesLoaded());
  EXPECT_EQ(resources()->text(10000), nullptr);
}

} // namespace
} // namespace standin::test

namespace standin::test {
namespace {

// The module's own resources must be readable by this host.
TEST(ShippedResources, ReadAsTheModuleNeedsThem) {
  const std::string res = std::string(ORPHANEX_SOURCE_DIR) + "/res";
  ResetRuntime();
  std::string error;
  ASSERT_TRUE(LoadResources(res, error)) << error;
  for (int32_t id : {10000, 10001, 10002}) {
    ASSERT_TRUE(ResourceString(id).has_value()) << id;
    EXPECT_FALSE(ResourceString(id)->empty()) << id;
  }
  Image icon;
  ASSERT_TRUE(DecodePngFile(res + "/Orphanex32x32.png", icon, error)) << error;
  EXPECT_EQ(icon.width, 32u);
  EXPECT_EQ(icon.height, 32u);
  ResetRuntime();
}

} // namespace
} // namespace standin::test
