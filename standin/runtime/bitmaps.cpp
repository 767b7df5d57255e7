// Bitmaps: the command icon. Loading decodes the PNG for real, so a module
// that points the host at a missing, truncated or corrupt file sees the same
// refusal a real host gives.
#include "core/breach.h"
#include "core/handle_table.h"
#include "core/texts.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

#include <csetjmp>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <png.h>
#include <sstream>

namespace standin {
namespace {

// Icons are small; anything beyond this is refused before memory is taken.
constexpr uint32_t kMaxSide = 8192;

struct Bitmap {
  bool loaded = false;
  double scale = 1.0;
  Image image;
};

HandleTable<Bitmap>& Table() {
  static HandleTable<Bitmap> table(HandleKind::Bitmap);
  return table;
}

Bitmap* Resolve(const OxBitmap* handle, const char* operation) {
  if (!CheckNotNull(handle, operation, "bitmap"))
    return nullptr;
  Bitmap* bitmap = Table().Get(handle);
  if (bitmap == nullptr)
    Breach(operation, Table().IsKind(handle) ? "stale bitmap handle" : "not a bitmap handle");
  return bitmap;
}

// libpng reads from memory; a read past the end is libpng's error (it
// longjmps back into Decode). No C++ objects with destructors live in the
// frames it jumps over.
struct Source {
  const uint8_t* data;
  size_t size;
  size_t at;
  char message[128];
};

void ReadBytes(png_structp png, png_bytep out, size_t count) {
  auto* src = static_cast<Source*>(png_get_io_ptr(png));
  if (count > src->size - src->at)
    png_error(png, "file ends early");
  std::memcpy(out, src->data + src->at, count);
  src->at += count;
}

void OnError(png_structp png, png_const_charp message) {
  auto* src = static_cast<Source*>(png_get_error_ptr(png));
  std::snprintf(src->message, sizeof src->message, "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// What a decode builds; owned by the caller of Decode, so that nothing in
// the frame holding the setjmp changes between setjmp and a longjmp.
struct Decoded {
  std::vector<png_bytep> rows;
  Image image;
};

bool Decode(Source& src, Decoded& out) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &src, OnError, OnWarning);
  if (png == nullptr)
    return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &src, ReadBytes);
  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_read_info(png, info);

  // Whatever the file holds, decode to 8-bit RGBA.
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  if (rowBytes != size_t(width) * 4)
    png_error(png, "unexpected row layout");
  bool allocated = true;
  try {
    out.image.width = width;
    out.image.height = height;
    out.image.rgba.resize(rowBytes * height);
    out.rows.resize(height);
  } catch (...) {
    allocated = false;
  }
  if (!allocated)
    png_error(png, "out of memory");
  for (png_uint_32 y = 0; y < height; ++y)
    out.rows[y] = out.image.rgba.data() + size_t(y) * rowBytes;
  png_read_image(png, out.rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

// BITMAP area.
OxBitmap* Create() noexcept {
  try {
    return Table().Add<OxBitmap>(new Bitmap);
  } catch (...) {
    return nullptr;
  }
}

OxBool Load(OxBitmap* handle, const OxText* path) noexcept {
  Bitmap* bitmap = Resolve(handle, "BitmapLoad");
  const std::string* file = TextString(path, "BitmapLoad");
  if (bitmap == nullptr || file == nullptr)
    return 0;
  try {
    Image image;
    std::string error;
    if (!DecodePngFile(*file, image, error))
      return 0;
    bitmap->image = std::move(image);
    bitmap->loaded = true;
    return 1;
  } catch (...) {
    return 0;
  }
}

void SetScale(OxBitmap* handle, double scale) noexcept {
  if (Bitmap* bitmap = Resolve(handle, "BitmapSetScale"))
    bitmap->scale = scale;
}

void Release(OxBitmap* handle) noexcept {
  if (handle == nullptr)
    return;
  Bitmap* bitmap = Resolve(handle, "BitmapRelease");
  if (bitmap == nullptr)
    return;
  Table().Remove(handle);
  delete bitmap;
}

} // namespace

bool DecodePngFile(const std::string& path, Image& out, std::string& error) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    error = path + ": no such file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (!in) {
    error = path + ": cannot read";
    return false;
  }
  const std::string bytes = std::move(buffer).str();
  if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) != 0) {
    error = path + ": not a PNG file";
    return false;
  }
  Source src{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 0, {}};
  Decoded decoded;
  if (!Decode(src, decoded)) {
    error = path + ": " + (src.message[0] != '\0' ? src.message : "cannot decode");
    return false;
  }
  out = std::move(decoded.image);
  return true;
}

size_t LiveBitmaps() {
  return Table().live();
}

namespace runtime_detail {

void ResetBitmaps() {
  std::vector<Bitmap*> all;
  Table().ForEach([&](Bitmap* bitmap) { all.push_back(bitmap); });
  Table() = HandleTable<Bitmap>(HandleKind::Bitmap);
  for (Bitmap* bitmap : all)
    delete bitmap;
}

bool BitmapSize(const OxBitmap* handle, bool& loaded, uint32_t& width, uint32_t& height,
                const char* operation) {
  Bitmap* bitmap = Resolve(handle, operation);
  if (bitmap == nullptr)
    return false;
  loaded = bitmap->loaded;
  width = bitmap->image.width;
  height = bitmap->image.height;
  return true;
}

const OxBitmapArea* BitmapArea() {
  static const OxBitmapArea area{sizeof(OxBitmapArea), Create, Load, SetScale, Release};
  return &area;
}

} // namespace runtime_detail
} // namespace standin
