#include "imaging/png_codec.h"

#include <png.h>

#include <cstring>
#include <memory>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/dibx.h"

namespace kest {

namespace {

// Deflate never expands more than about 1032 to 1, so a picture whose
// smallest possible raw rows (1 bit per pixel plus the filter byte) need more
// than that of the bytes present cannot be whole; refusing it keeps a few
// bytes from asking for a gigabyte.
constexpr uint64_t kMaxInflateRatio = 1032;

[[noreturn]] void Bad(const char* what) { throw EReadError(std::string("Bad PNG picture: ") + what); }

class TImageGuard {
 public:
  explicit TImageGuard(png_image& image) : FImage(image) {}
  ~TImageGuard() { png_image_free(&FImage); }
  TImageGuard(const TImageGuard&) = delete;
  TImageGuard& operator=(const TImageGuard&) = delete;

 private:
  png_image& FImage;
};

}  // namespace

bool DecodePng(std::span<const uint8_t> data, TDIBX& picture, TDIBX* alpha) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  TImageGuard guard(image);
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) Bad(image.message);
  const uint64_t w = image.width, h = image.height;
  if (w == 0 || h == 0 || w > uint64_t(kMaxSurfaceSide) || h > uint64_t(kMaxSurfaceSide)) Bad("size");
  if (h * (1 + (w + 7) / 8) > kMaxInflateRatio * data.size()) Bad("size larger than its data");
  const bool hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_BGRA;
  picture.SetSize(int32_t(w), int32_t(h), 32);
  picture.TransparentPixel = -1;
  if (!png_image_finish_read(&image, nullptr, picture.ScanLine(0), png_int_32(picture.LineStep()), nullptr))
    Bad(image.message);
  if (hasAlpha && alpha) alpha->SetSize(int32_t(w), int32_t(h), 8);
  for (int32_t y = 0; y < int32_t(h); ++y) {
    uint8_t* row = picture.ScanLine(y);
    uint8_t* a = hasAlpha && alpha ? alpha->ScanLine(y) : nullptr;
    for (int32_t x = 0; x < int32_t(w); ++x) {
      if (a) a[x] = row[4 * x + 3];
      row[4 * x + 3] = 0;
    }
  }
  return hasAlpha;
}

void EncodePng(const TCustomDIBX& surface, TStream& out) {
  const int32_t w = surface.Width(), h = surface.Height();
  if (w <= 0 || h <= 0) throw EWriteError("PNG: empty surface");
  std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t c = surface.PixelToColor(surface.GetPixel(x, y));
      uint8_t* p = rgb.data() + (size_t(y) * size_t(w) + size_t(x)) * 3;
      p[0] = uint8_t(c);
      p[1] = uint8_t(c >> 8);
      p[2] = uint8_t(c >> 16);
    }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(w);
  image.height = png_uint_32(h);
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, rgb.data(), 0, nullptr)) throw EWriteError(image.message);
  std::vector<uint8_t> bytes(size);
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), 0, nullptr))
    throw EWriteError(image.message);
  WriteExact(out, bytes.data(), int64_t(size));
}

}  // namespace kest
