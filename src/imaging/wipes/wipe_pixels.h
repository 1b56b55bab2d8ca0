#pragma once
// Pixel helpers the direct wipes share: rows of any stored format, and the
// saturating grey shift that brightens or darkens a pixel.

#include <algorithm>
#include <cstdint>

#include "imaging/custom_dibx.h"
#include "imaging/pixel_access.h"

namespace kest {

// A pixel of `from` moved by grey (positive: brighter, negative: darker),
// each channel saturating, in the surface's format.
inline uint32_t ShiftGrey(const TCustomDIBX& surface, uint32_t pixel, int32_t grey) {
  if (surface.StoredBitCount() == 32) {
    uint32_t out = 0;
    for (int s = 0; s < 24; s += 8) {
      const int32_t c = std::clamp<int32_t>(int32_t((pixel >> s) & 0xFF) + grey, 0, 255);
      out |= uint32_t(c) << s;
    }
    return out;
  }
  const uint32_t colour = surface.PixelToColor(pixel);
  uint32_t out = 0;
  for (int s = 0; s < 24; s += 8)
    out |= uint32_t(std::clamp<int32_t>(int32_t((colour >> s) & 0xFF) + grey, 0, 255)) << s;
  return static_cast<uint32_t>(surface.ColorToPixel(out));
}

inline uint32_t PixelAt(const TCustomDIBX& s, int32_t x, int32_t y) {
  return LoadPixel(s.ScanLine(y), x, s.StoredBitCount());
}

inline void PutPixel(TCustomDIBX& s, int32_t x, int32_t y, uint32_t v) {
  StorePixel(s.ScanLine(y), x, s.StoredBitCount(), v);
}

}  // namespace kest
