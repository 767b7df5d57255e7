// The module's resource folder as committed: the string resources parse as
// the host reads them, the icon is a 32 x 32 RGBA PNG, and the help file is
// exactly what its source builds to.
#include "runtime/runtime.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <memory>
#include <png.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = ORPHANEX_SOURCE_DIR;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The first line a shell command prints, or "" when it fails.
std::string FirstLine(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe)
    return {};
  char buffer[256] = {};
  if (std::fgets(buffer, sizeof buffer, pipe.get()) == nullptr)
    return {};
  std::string line = buffer;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
    line.pop_back();
  return line;
}

TEST(Resources, StringsParseAsTheHostReadsThem) {
  std::map<int32_t, std::string> strings;
  std::string error;
  ASSERT_TRUE(standin::ParseStringResources(ReadAll(kRoot / "res/strings.str"), strings, error)) << error;
  ASSERT_EQ(strings.size(), 3u);
  EXPECT_EQ(strings[10000], "Orphanex"); // command name and dialog title
  const std::string& about = strings[10001];
  EXPECT_NE(about.find("Orphanex 1.0.0"), std::string::npos) << about;
  EXPECT_NE(about.find("Tarnwick Software"), std::string::npos) << about;
  const std::string& help = strings[10002];
  EXPECT_FALSE(help.empty());
  EXPECT_EQ(help.find('\n'), std::string::npos) << "the command's help text is one line";
}

TEST(Resources, IconIsA32By32RgbaPng) {
  const fs::path path = kRoot / "res/Orphanex32x32.png";
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  ASSERT_TRUE(file) << path;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  ASSERT_NE(info, nullptr);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    FAIL() << "libpng cannot read " << path;
  }
  png_init_io(png, file.get());
  png_read_info(png, info);
  EXPECT_EQ(png_get_image_width(png, info), 32u);
  EXPECT_EQ(png_get_image_height(png, info), 32u);
  EXPECT_EQ(png_get_color_type(png, info), PNG_COLOR_TYPE_RGB_ALPHA);
  EXPECT_EQ(png_get_bit_depth(png, info), 8);
  png_destroy_read_struct(&png, &info, nullptr);

  // The host decodes it whole: transparent corners, an opaque middle.
  standin::Image image;
  std::string error;
  ASSERT_TRUE(standin::DecodePngFile(path.string(), image, error)) << error;
  ASSERT_EQ(image.rgba.size(), 32u * 32u * 4u);
  EXPECT_EQ(image.rgba[3], 0) << "top-left corner";
  EXPECT_EQ(image.rgba[(16 * 32 + 16) * 4 + 3], 255) << "centre";
}

TEST(Resources, HelpFileIsWhatItsSourceBuildsTo) {
  if (FirstLine("groff -Tpdf </dev/null >/dev/null 2>&1 && echo yes") != "yes")
    GTEST_SKIP()
        << "groff with its PDF device is not installed (Debian package groff): help file not rebuilt";
  // gropdf writes its version into the file; another version gives other bytes.
  const std::string committed = ReadAll(kRoot / "res/Orphanex.pdf");
  const std::string version = FirstLine("groff -v 2>/dev/null | sed -n 's/.*version \\([0-9.]*\\).*/\\1/p'");
  if (committed.find("(groff version " + version + ")") == std::string::npos)
    GTEST_SKIP() << "groff " << version << " differs from the version that built res/Orphanex.pdf";

  const fs::path out = fs::temp_directory_path() / ("orphanex-help-" + std::to_string(::getpid()) + ".pdf");
  const std::string command = (kRoot / "tools/build_help.sh").string() + " '" + out.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::string rebuilt = ReadAll(out);
  fs::remove(out);
  EXPECT_EQ(rebuilt.size(), committed.size());
  EXPECT_TRUE(rebuilt == committed) << "res/Orphanex.pdf is stale: run tools/build_help.sh and commit it";
}

} // namespace
