#pragma once
// BMP and PNG files built byte by byte (PNG through libpng's writer), for the
// loader tests and the fuzz seeds.

#include <png.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace kest::test {

inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// A BMP with a 40-byte header; rows are given top-down as raw bytes per row
// (padding added here), a negative height stores them top-down.
inline std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, int bits, const std::vector<uint32_t>& palette,
                                    const std::vector<std::vector<uint8_t>>& rows, uint32_t compression = 0,
                                    const std::vector<uint32_t>& masks = {}) {
  const int32_t h = height < 0 ? -height : height;
  const size_t rowBytes = (size_t(width) * bits + 31) / 32 * 4;
  const size_t extra = masks.size() * 4 + palette.size() * 4;
  std::vector<uint8_t> b(54 + extra + rowBytes * size_t(h), 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, uint32_t(b.size()));
  Put32(b, 10, uint32_t(54 + extra));
  Put32(b, 14, 40);
  Put32(b, 18, uint32_t(width));
  Put32(b, 22, uint32_t(height));
  b[26] = 1;
  b[28] = uint8_t(bits);
  Put32(b, 30, compression);
  Put32(b, 46, uint32_t(palette.size()));
  size_t at = 54;
  for (uint32_t m : masks) Put32(b, at, m), at += 4;
  for (uint32_t q : palette) Put32(b, at, q), at += 4;
  for (int32_t y = 0; y < h; ++y) {
    const size_t stored = height < 0 ? size_t(y) : size_t(h - 1 - y);
    std::memcpy(b.data() + at + stored * rowBytes, rows[y].data(), rows[y].size());
  }
  return b;
}

// RGBA pixels (red first) to a PNG file in memory.
inline std::vector<uint8_t> MakePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba, bool alpha) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels;
  for (size_t i = 0; i < rgba.size(); i += 4)
    for (size_t k = 0; k < (alpha ? 4u : 3u); ++k) pixels.push_back(rgba[i + k]);
  png_alloc_size_t size = 0;
  png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr);
  std::vector<uint8_t> out(size);
  png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr);
  out.resize(size);
  return out;
}

}  // namespace kest::test
