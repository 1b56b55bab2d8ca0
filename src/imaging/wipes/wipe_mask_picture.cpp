#include "imaging/wipes/wipe_mask_picture.h"

#include <algorithm>
#include <array>

#include "imaging/wipes/wipe_kernels.h"
#include "imaging/wipes/wipe_pixels.h"

namespace kest {

std::vector<uint8_t> TiledGrey(const std::optional<TDIBX>& picture, int32_t w, int32_t h, bool invert) {
  std::vector<uint8_t> grey(size_t(std::max(w, 0)) * size_t(std::max(h, 0)), 255);
  const bool usable = picture && picture->BitCount() == 8 && !picture->IsEmpty();
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint8_t g = usable ? picture->ScanLine(y % picture->Height())[x % picture->Width()] : 255;
      if (invert) g = uint8_t(255 - g);
      grey[size_t(y) * size_t(w) + size_t(x)] = g;
    }
  return grey;
}

void TWipeShadow::Prepare() {
  TWipeMask::Prepare();
  FGrey = TiledGrey(LoadMaskPicture(), W(), H(), FReverse);
}

bool TWipeShadow::BuildMask() {
  if (FGrey.size() != size_t(W()) * size_t(H())) Prepare();
  // v = i + g - 511 with i = 512 p + 255: a pixel of grey g changes while
  // p runs over (255 - g) / 512 .. (510 - g) / 512.
  const int64_t i = Scaled(512) + 255;
  if (i == FLastValue) return false;
  FLastValue = i;
  FHardMask = false;
  // Byte lanes vectorise: base + grey clamped to 0..255 as a saturating
  // add or subtract.
  const auto base = static_cast<int32_t>(std::clamp<int64_t>(i - 511, -512, 512));
  for (int32_t y = 0; y < H(); ++y) {
    uint8_t* row = FMask.ScanLine(y);
    const uint8_t* g = &FGrey[size_t(y) * size_t(W())];
    if (base >= 0) {
      const auto up = uint8_t(std::min(base, 255));
      for (int32_t x = 0; x < W(); ++x) row[x] = uint8_t(std::min(g[x], uint8_t(255 - up)) + up);
    } else {
      const auto down = uint8_t(std::min(-base, 255));
      for (int32_t x = 0; x < W(); ++x) row[x] = uint8_t(std::max(g[x], down) - down);
    }
  }
  return true;
}

void TWipeShadowWhite::Draw() {
  if (FGrey.size() != size_t(W()) * size_t(H())) Prepare();
  const int64_t i = Scaled(768) + 255;
  const int bits = FTarget.StoredBitCount();
  // The level of each grey for this position: up to 255 the old picture
  // tinted, above it the new one coming back.
  std::array<int32_t, 256> level{};
  for (int32_t g = 0; g < 256; ++g) level[size_t(g)] = static_cast<int32_t>(std::clamp<int64_t>(i + g - 511, 0, 511));
  if (bits == 32 && FFrom.Format() == FTarget.Format() && FTo.Format() == FTarget.Format()) {
    const auto base = static_cast<int32_t>(std::clamp<int64_t>(i - 511, -1024, 1024));
    for (int32_t y = 0; y < H(); ++y)
      wipe32::RampRowByGrey(
          reinterpret_cast<uint32_t*>(FTarget.ScanLine(y)), reinterpret_cast<const uint32_t*>(FFrom.ScanLine(y)),
          reinterpret_cast<const uint32_t*>(FTo.ScanLine(y)), &FGrey[size_t(y) * size_t(W())], W(), base, Sign() > 0);
    FTarget.ReleasePixels();
    return;
  }
  for (int32_t y = 0; y < H(); ++y) {
    uint8_t* d = FTarget.ScanLine(y);
    const uint8_t* f = FFrom.ScanLine(y);
    const uint8_t* t = FTo.ScanLine(y);
    const uint8_t* g = &FGrey[size_t(y) * size_t(W())];
    for (int32_t x = 0; x < W(); ++x) {
      const int32_t l = level[g[x]];
      const uint32_t v = l <= 255 ? ShiftGrey(FTarget, LoadPixel(f, x, bits), Sign() * l)
                                  : ShiftGrey(FTarget, LoadPixel(t, x, bits), Sign() * (511 - l));
      StorePixel(d, x, bits, v);
    }
  }
  FTarget.ReleasePixels();
}

}  // namespace kest
