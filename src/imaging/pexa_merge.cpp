#include "imaging/pexa_merge.h"

#include <cstring>

#include "imaging/pixel_access.h"

namespace kest {

namespace {

// Ordered dither for palette pictures: a pixel shows where its cell is at or
// below the level (opacity / 16).
constexpr uint8_t kDither[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

size_t RowBytes(const TDIBX& p) { return (size_t(p.Width()) * p.StoredBitCount() + 7) / 8; }

void CopyKeyed(TDIBX& composite, const TDIBX& layer, int64_t key) {
  const int bits = composite.StoredBitCount();
  for (int32_t y = 0; y < composite.Height(); ++y) {
    uint8_t* d = composite.ScanLine(y);
    const uint8_t* s = layer.ScanLine(y);
    for (int32_t x = 0; x < composite.Width(); ++x) {
      const uint32_t v = LoadPixel(s, x, bits);
      if (key < 0 || v != uint32_t(key)) StorePixel(d, x, bits, v);
    }
  }
}

// One pixel of a channel format blended by weight w of the layer, divided by
// 255 or shifted by 8, on each masked channel.
template <bool Shift>
uint32_t BlendChannels(uint32_t d, uint32_t s, uint32_t w, const uint32_t (&masks)[3]) {
  uint32_t out = 0;
  for (uint32_t m : masks) {
    const uint64_t v = (uint64_t{255 - w} * (d & m) + uint64_t{w} * (s & m));
    out |= static_cast<uint32_t>(Shift ? v >> 8 : v / 255) & m;
  }
  return out;
}

}  // namespace

void PexaCopy(TDIBX& composite, const TDIBX& layer) {
  const size_t bytes = RowBytes(composite);
  if (bytes == 0) return;
  for (int32_t y = 0; y < composite.Height(); ++y) std::memcpy(composite.ScanLine(y), layer.ScanLine(y), bytes);
}

void PexaMergeOpacity(TDIBX& composite, const TDIBX& layer, int32_t opacity, int64_t key) {
  if (opacity <= 0) return;
  const int bits = composite.StoredBitCount();
  const bool indexed = composite.Format().IsIndexed();
  if (opacity >= 255 || (indexed && opacity / 16 >= 15)) return CopyKeyed(composite, layer, key);
  const auto o = static_cast<uint32_t>(opacity);
  const TPixelFormat& f = composite.Format();
  const uint32_t masks[3] = {f.Red.Mask, f.Green.Mask, f.Blue.Mask};
  const uint32_t bytes[3] = {0xFF, 0xFF00, 0xFF0000};
  for (int32_t y = 0; y < composite.Height(); ++y) {
    uint8_t* d = composite.ScanLine(y);
    const uint8_t* s = layer.ScanLine(y);
    for (int32_t x = 0; x < composite.Width(); ++x) {
      const uint32_t sv = LoadPixel(s, x, bits);
      if (key >= 0 && sv == uint32_t(key)) continue;
      uint32_t out;
      if (indexed) {
        if (kDither[y & 3][x & 3] > o / 16) continue;
        out = sv;
      } else if (bits == 24) {
        out = BlendChannels<false>(LoadPixel(d, x, bits), sv, o, bytes);
      } else if (bits == 32) {
        out = BlendChannels<true>(LoadPixel(d, x, bits), sv, o, bytes);
      } else {
        out = BlendChannels<false>(LoadPixel(d, x, bits), sv, o, masks);
      }
      StorePixel(d, x, bits, out);
    }
  }
}

void PexaMergeAlpha(TDIBX& composite, const TDIBX& layer, const TDIBX& alpha) {
  const int bits = composite.StoredBitCount();
  const bool indexed = composite.Format().IsIndexed();
  const TPixelFormat& f = composite.Format();
  const uint32_t masks[3] = {f.Red.Mask, f.Green.Mask, f.Blue.Mask};
  const uint32_t bytes[3] = {0xFF, 0xFF00, 0xFF0000};
  const bool whole_bytes = bits == 24 || bits == 32;
  for (int32_t y = 0; y < composite.Height(); ++y) {
    uint8_t* d = composite.ScanLine(y);
    const uint8_t* s = layer.ScanLine(y);
    const uint8_t* a = alpha.ScanLine(y);
    for (int32_t x = 0; x < composite.Width(); ++x) {
      const uint32_t w = a[x];
      if (w == 0 || (indexed && w < 128)) continue;
      const uint32_t sv = LoadPixel(s, x, bits);
      if (w == 255 || indexed) {
        StorePixel(d, x, bits, sv);
        continue;
      }
      StorePixel(d, x, bits, BlendChannels<true>(LoadPixel(d, x, bits), sv, w, whole_bytes ? bytes : masks));
    }
  }
}

}  // namespace kest
