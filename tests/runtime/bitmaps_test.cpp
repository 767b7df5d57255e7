// Bitmaps: real PNG decoding of every colour type, refusal of missing,
// truncated and corrupt files, and the BITMAP area's handle checks.
#include "core/texts.h"
#include "runtime/support.h"

namespace standin::test {
namespace {

struct Rgba {
  int r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

// What the writer puts at (x, y), as the decoder must give it back.
Rgba Expected(PngKind kind, uint32_t x, uint32_t y) {
  const int v = int(x * 8 % 256), w = int(y * 8 % 256);
  switch (kind) {
  case PngKind::Rgba8:
  case PngKind::Rgba16: return {v, w, 0x40, 0xFF};
  case PngKind::Rgb8: return {v, w, 0x40, 0xFF};
  case PngKind::Gray8: return {v, v, v, 0xFF};
  case PngKind::Palette: return {v, 255 - v, 0, 0xFF};
  case PngKind::GrayAlphaInterlaced: return {v, v, v, w};
  }
  return {};
}

class DecodeKinds : public ::testing::TestWithParam<PngKind> {};

TEST_P(DecodeKinds, GivesRgbaPixels) {
  TempDir dir;
  const std::string path = dir / "image.png";
  WritePng(path, 32, 17, GetParam());
  Image image;
  std::string error;
  ASSERT_TRUE(DecodePngFile(path, image, error)) << error;
  ASSERT_EQ(image.width, 32u);
  ASSERT_EQ(image.height, 17u);
  ASSERT_EQ(image.rgba.size(), 32u * 17u * 4u);
  for (uint32_t y = 0; y < image.height; ++y)
    for (uint32_t x = 0; x < image.width; ++x) {
      const uint8_t* p = &image.rgba[(size_t(y) * image.width + x) * 4];
      ASSERT_EQ((Rgba{p[0], p[1], p[2], p[3]}), Expected(GetParam(), x, y)) << "at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Bitmaps, DecodeKinds,
                         ::testing::Values(PngKind::Rgba8, PngKind::Rgb8, PngKind::Gray8, PngKind::Palette,
                                           PngKind::Rgba16, PngKind::GrayAlphaInterlaced));

TEST(Decode, RefusesBrokenFiles) {
  TempDir dir;
  const std::string good = dir / "good.png";
  WritePng(good, 32, 32);
  const std::string bytes = ReadBytes(good);
  ASSERT_GT(bytes.size(), 100u);

  std::vector<std::pair<std::string, std::string>> broken = {
      {"empty", ""},
      {"signature only", bytes.substr(0, 8)},
      {"header cut", bytes.substr(0, 20)},
      {"image data cut", bytes.substr(0, bytes.size() / 2)},
      {"end chunk missing", bytes.substr(0, bytes.size() - 12)},
      {"end chunk cut", bytes.substr(0, bytes.size() - 3)},
      {"not a PNG", "GIF89a........................"},
  };
  std::string flipped = bytes;
  flipped[bytes.size() / 2] = char(flipped[bytes.size() / 2] ^ 0x5A); // inside the image data: CRC fails
  broken.emplace_back("corrupt image data", flipped);
  std::string badHeader = bytes;
  badHeader[16] = char(0x7F); // width beyond any sane icon; header CRC fails too
  broken.emplace_back("corrupt header", badHeader);

  for (const auto& [name, content] : broken) {
    SCOPED_TRACE(name);
    const std::string path = dir.Write(name + ".png", content);
    Image image;
    image.width = 7;
    std::string error;
    EXPECT_FALSE(DecodePngFile(path, image, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_EQ(image.width, 7u) << "output untouched";
  }
  Image image;
  std::string error;
  EXPECT_FALSE(DecodePngFile(dir / "missing.png", image, error));
  EXPECT_FALSE(DecodePngFile(dir.path().string(), image, error)) << "a folder";
}

class BitmapAreaTest : public RuntimeTest {
protected:
  const OxBitmapArea* bitmaps() const { return AreaOf<OxBitmapArea>(tables(), OX_AREA_BITMAP); }
  bool Load(OxBitmap* bitmap, const std::string& path) {
    OxText* text = NewText(path);
    const bool ok = bitmaps()->load(bitmap, text) != 0;
    ReleaseText(text, "test");
    return ok;
  }
  TempDir dir;
};

TEST_F(BitmapAreaTest, LoadsScalesAndReleases) {
  WritePng(dir / "icon.png", 32, 32);
  OxBitmap* bitmap = bitmaps()->create();
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(Load(bitmap, dir / "icon.png"));
  bitmaps()->setScale(bitmap, 1.0);
  EXPECT_FALSE(Load(bitmap, dir / "missing.png"));
  EXPECT_EQ(LiveBitmaps(), 1u);
  bitmaps()->release(bitmap);
  bitmaps()->release(nullptr);
  EXPECT_EQ(LiveBitmaps(), 0u);
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_F(BitmapAreaTest, BadHandlesAreBreaches) {
  OxBitmap* bitmap = bitmaps()->create();
  bitmaps()->release(bitmap);
  const size_t before = BreachCount();
  EXPECT_FALSE(Load(bitmap, dir / "icon.png")) << "stale";
  bitmaps()->setScale(bitmap, 2.0);
  bitmaps()->release(bitmap);
  EXPECT_FALSE(Load(nullptr, dir / "icon.png"));
  OxText* notABitmap = NewText("x");
  bitmaps()->release(reinterpret_cast<OxBitmap*>(notABitmap));
  ReleaseText(notABitmap, "test");
  EXPECT_EQ(BreachCount() - before, 5u);
}

} // namespace
} // namespace standin::test
