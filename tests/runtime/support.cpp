#include "runtime/support.h"

#include <cstdio>
#include <png.h>

namespace standin::test {

void WritePng(const std::string& path, uint32_t width, uint32_t height, PngKind kind) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    FAIL() << "libpng could not write " << path;
  }
  png_init_io(png, file);
  int colour = PNG_COLOR_TYPE_RGBA, depth = 8, channels = 4;
  int interlace = PNG_INTERLACE_NONE;
  switch (kind) {
  case PngKind::Rgba8: break;
  case PngKind::Rgb8: colour = PNG_COLOR_TYPE_RGB, channels = 3; break;
  case PngKind::Gray8: colour = PNG_COLOR_TYPE_GRAY, channels = 1; break;
  case PngKind::Palette: colour = PNG_COLOR_TYPE_PALETTE, channels = 1; break;
  case PngKind::Rgba16: depth = 16; break;
  case PngKind::GrayAlphaInterlaced:
    colour = PNG_COLOR_TYPE_GRAY_ALPHA, channels = 2, interlace = PNG_INTERLACE_ADAM7;
    break;
  }
  png_set_IHDR(png, info, width, height, depth, colour, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_color palette[256];
  if (kind == PngKind::Palette) {
    for (int i = 0; i < 256; ++i)
      palette[i] = {png_byte(i), png_byte(255 - i), 0};
    png_set_PLTE(png, info, palette, 256);
  }
  png_write_info(png, info);
  const size_t bytesPerSample = depth / 8;
  std::vector<png_byte> row(size_t(width) * channels * bytesPerSample);
  const int passes = interlace == PNG_INTERLACE_ADAM7 ? png_set_interlace_handling(png) : 1;
  for (int pass = 0; pass < passes; ++pass)
    for (uint32_t y = 0; y < height; ++y) {
      for (uint32_t x = 0; x < width; ++x) {
        png_byte* px = row.data() + size_t(x) * channels * bytesPerSample;
        const png_byte values[4] = {png_byte(x * 8), png_byte(y * 8), 0x40, 0xFF};
        for (int c = 0; c < channels; ++c)
          for (size_t b = 0; b < bytesPerSample; ++b)
            px[c * bytesPerSample + b] = values[c];
      }
      png_write_row(png, row.data());
    }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

void RuntimeTest::SetUp() {
  ResetRuntime();
  ResetBreaches();
  MarkBlock();
  SetPrintSink([this](std::string_view line) { printed.emplace_back(line); });
  FillRuntimeAreas(tables_);
}

void RuntimeTest::TearDown() {
  SetPrintSink({});
  ResetRuntime();
  ResetBreaches();
}

} // namespace standin::test
