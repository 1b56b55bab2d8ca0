#pragma once
// Small builders shared by the imaging tests.

#include <cstdint>
#include <random>

#include "imaging/dibx.h"

namespace kest::test {

inline TDIBX Solid(int32_t w, int32_t h, int bits, uint32_t pixel) {
  TDIBX s(w, h, bits);
  s.Fill(pixel);
  return s;
}

// Random pixels drawn from a small set of values, so that equal source and
// destination pixels and key hits happen often.
inline void Randomise(TCustomDIBX& s, std::mt19937& rng, bool fewValues) {
  const uint32_t valueMask = s.StoredBitCount() >= 32 ? 0xFFFFFF : (1u << s.StoredBitCount()) - 1;
  std::uniform_int_distribution<uint32_t> any(0, valueMask);
  const uint32_t palette[4] = {0, valueMask, 0x808080 & valueMask, any(rng)};
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) s.SetPixel(x, y, fewValues && (rng() & 1) ? palette[rng() & 3] : any(rng));
}

// Mask values with many 0s and 255s, where the formulas take their shortcuts.
inline void RandomiseMask(TCustomDIBX& m, std::mt19937& rng) {
  for (int32_t y = 0; y < m.Height(); ++y)
    for (int32_t x = 0; x < m.Width(); ++x) {
      uint32_t r = rng() % 4;
      m.SetPixel(x, y, r == 0 ? 0 : r == 1 ? 255 : rng() & 0xFF);
    }
}

inline bool SamePixels(const TCustomDIBX& a, const TCustomDIBX& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

}  // namespace kest::test
