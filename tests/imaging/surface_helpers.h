#pragma once
// Small builders shared by the imaging tests.

#include <cstdint>
#include <random>

#include "imaging/dibx.h"
#include "imaging/fast_kernels.h"

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

// Mask values with many 0s and 255s, where the formulas take their shortcuts;
// every other mask holds them in runs, as pictures do (clear around, opaque
// inside), so that kernels working on groups of pixels meet whole groups.
inline void RandomiseMask(TCustomDIBX& m, std::mt19937& rng) {
  const bool runs = rng() & 1;
  uint32_t value = 0, left = 0;
  for (int32_t y = 0; y < m.Height(); ++y)
    for (int32_t x = 0; x < m.Width(); ++x) {
      if (!runs || left == 0) {
        uint32_t r = rng() % 4;
        value = r == 0 ? 0 : r == 1 ? 255 : rng() & 0xFF;
        left = runs && value % 255 == 0 ? 4 + rng() % 16 : 1;
      }
      --left;
      m.SetPixel(x, y, value);
    }
}

inline bool SamePixels(const TCustomDIBX& a, const TCustomDIBX& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

// Runs body at every kernel level the machine has, then returns to the best.
template <typename Body>
void AtEveryKernelLevel(Body body) {
  for (fast32::TKernelLevel level : fast32::SupportedKernelLevels()) {
    fast32::SetKernelLevel(level);
    body(level);
  }
  fast32::SetKernelLevel(fast32::SupportedKernelLevels().back());
}

// One random small 32-bit destination twice, drawn by the reference formulas
// and by the fast kernels, with the same random clip one time in three.
struct TKernelPair {
  TDIBX Reference, Fast;

  explicit TKernelPair(std::mt19937& rng) : Reference(Pick(rng, 1, 19), Pick(rng, 1, 6), 32) {
    Randomise(Reference, rng, true);
    Fast.SetSize(Reference.Width(), Reference.Height(), 32);
    Fast.Assign(Reference);
    Reference.Kernels = TKernelChoice::Reference;
    if (Pick(rng, 0, 2) == 0) {
      const TRect clip{Pick(rng, -2, 10), Pick(rng, -2, 4), Pick(rng, 0, 21), Pick(rng, 0, 8)};
      Reference.SetClipRect(clip);
      Fast.SetClipRect(clip);
    }
  }

  // Draws on both with the same random numbers; true when they agree.
  template <typename Draw>
  bool Agree(std::mt19937& rng, Draw draw) {
    std::mt19937 again = rng;
    draw(Reference);
    rng = again;
    draw(Fast);
    return SamePixels(Reference, Fast);
  }

 private:
  static int32_t Pick(std::mt19937& rng, int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
  }
};

}  // namespace kest::test
