#pragma once
// Pixel helpers the direct wipes share: rows of any stored format, and the
// saturating grey shift that brightens or darkens a pixel.

#include <algorithm>
#include <cstdint>

#include "imaging/custom_dibx.h"
#include "imaging/pixel_access.h"

namespace kest {

// 32-bit pixels (B, G, R, 0) with every colour channel moved by the same
// amount, saturating: lane-wise arithmetic in one 32-bit word, so the loops
// that use it vectorise.
inline uint32_t AddGrey32(uint32_t p, uint32_t amount) {
  const uint32_t a = amount * 0x010101u;
  const uint32_t low = (p & 0x7F7F7Fu) + (a & 0x7F7F7Fu);
  const uint32_t sum = low ^ ((p ^ a) & 0x808080u);
  const uint32_t carry = ((p & a) | ((p | a) & ~sum)) & 0x808080u;
  return (sum | ((carry >> 7) * 0xFFu)) & 0xFFFFFFu;
}

inline uint32_t SubGrey32(uint32_t p, uint32_t amount) {
  // p - a = ~(~p + a) per lane, saturating at 0.
  return ~AddGrey32(~p & 0xFFFFFFu, amount) & 0xFFFFFFu;
}

// A row of 32-bit pixels moved by grey (positive brighter, negative darker).
inline void ShiftGreyRow32(uint32_t* out, const uint32_t* in, int32_t n, int32_t grey) {
  const uint32_t amount = uint32_t(grey < 0 ? -grey : grey);
  if (grey >= 0)
    for (int32_t x = 0; x < n; ++x) out[x] = AddGrey32(in[x], amount);
  else
    for (int32_t x = 0; x < n; ++x) out[x] = SubGrey32(in[x], amount);
}

// A pixel of `from` moved by grey (positive: brighter, negative: darker),
// each channel saturating, in the surface's format.
inline uint32_t ShiftGrey(const TCustomDIBX& surface, uint32_t pixel, int32_t grey) {
  if (surface.StoredBitCount() == 32)
    return grey >= 0 ? AddGrey32(pixel, uint32_t(grey)) : SubGrey32(pixel, uint32_t(-grey));
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
