// Draws the command icon, res/Orphanex32x32.png: a slate tile with an amber
// puzzle piece (the plug-in) and a red "remove" badge. 32 x 32 RGBA, each
// pixel supersampled 8 x 8. The output depends on nothing but this code: no
// time or text chunks, fixed compression settings.
//
//   make_icon OUT.png
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <png.h>
#include <vector>

namespace {

constexpr int kSize = 32;
constexpr int kSamples = 8; // per axis

struct Rgba {
  double r, g, b, a; // premultiplied by nothing; a in [0, 1]
};

// Paints `top` over `bottom` (straight alpha).
Rgba Over(const Rgba& top, const Rgba& bottom) {
  const double a = top.a + bottom.a * (1.0 - top.a);
  if (a <= 0.0)
    return {0, 0, 0, 0};
  auto mix = [&](double t, double b) { return (t * top.a + b * bottom.a * (1.0 - top.a)) / a; };
  return {mix(top.r, bottom.r), mix(top.g, bottom.g), mix(top.b, bottom.b), a};
}

bool InCircle(double x, double y, double cx, double cy, double r) {
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

bool InRoundedRect(double x, double y, double x0, double y0, double x1, double y1, double r) {
  if (x < x0 || x > x1 || y < y0 || y > y1)
    return false;
  const double cx = std::clamp(x, x0 + r, x1 - r);
  const double cy = std::clamp(y, y0 + r, y1 - r);
  return InCircle(x, y, cx, cy, r);
}

// The puzzle piece: a square body with knobs on top and right, a notch left.
bool InPiece(double x, double y) {
  const bool body = InRoundedRect(x, y, 7.0, 11.0, 21.0, 25.0, 1.5);
  const bool knobs = InCircle(x, y, 14.0, 9.0, 3.4) || InCircle(x, y, 23.0, 18.0, 3.4);
  const bool notch = InCircle(x, y, 7.0, 18.0, 3.0);
  return (body || knobs) && !notch;
}

// The colour of one sample point, back to front.
Rgba Sample(double x, double y) {
  Rgba c{0, 0, 0, 0};
  if (InRoundedRect(x, y, 1.0, 1.0, 31.0, 31.0, 6.0)) {
    const double t = (y - 1.0) / 30.0; // slate, lighter at the top
    c = {0.22 - 0.09 * t, 0.33 - 0.12 * t, 0.43 - 0.14 * t, 1.0};
  }
  if (InPiece(x + 0.8, y - 0.8)) // soft shadow
    c = Over({0.0, 0.0, 0.0, 0.35}, c);
  if (InPiece(x, y)) {
    const double t = (y - 6.0) / 20.0;
    c = Over({0.98 - 0.06 * t, 0.78 - 0.10 * t, 0.30 - 0.08 * t, 1.0}, c);
  }
  if (InCircle(x, y, 24.0, 24.0, 7.2))
    c = Over({1.0, 1.0, 1.0, 1.0}, c);
  if (InCircle(x, y, 24.0, 24.0, 6.0))
    c = Over({0.85, 0.16, 0.13, 1.0}, c);
  if (InRoundedRect(x, y, 20.4, 22.9, 27.6, 25.1, 0.8)) // the minus
    c = Over({1.0, 1.0, 1.0, 1.0}, c);
  return c;
}

std::vector<uint8_t> Render() {
  std::vector<uint8_t> rgba(kSize * kSize * 4);
  for (int py = 0; py < kSize; ++py) {
    for (int px = 0; px < kSize; ++px) {
      // Average in premultiplied form, so that edges against transparency stay clean.
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const Rgba s = Sample(px + (sx + 0.5) / kSamples, py + (sy + 0.5) / kSamples);
          r += s.r * s.a;
          g += s.g * s.a;
          b += s.b * s.a;
          a += s.a;
        }
      }
      const double n = kSamples * kSamples;
      auto byte = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
      uint8_t* out = &rgba[(py * kSize + px) * 4];
      out[0] = a > 0 ? byte(r / a) : 0;
      out[1] = a > 0 ? byte(g / a) : 0;
      out[2] = a > 0 ? byte(b / a) : 0;
      out[3] = byte(a / n);
    }
  }
  return rgba;
}

bool WritePng(const char* path, const std::vector<uint8_t>& rgba) {
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr)
    return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, kSize, kSize, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < kSize; ++y)
    png_write_row(png, &rgba[y * kSize * 4]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon OUT.png\n");
    return 2;
  }
  if (!WritePng(argv[1], Render())) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
