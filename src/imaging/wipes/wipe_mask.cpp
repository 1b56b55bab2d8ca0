#include "imaging/wipes/wipe_mask.h"

#include <algorithm>
#include <cstring>

#include "imaging/pixel_access.h"

namespace kest {

namespace {

// One row: ((255 - m) * from + m * to) >> 8 per channel, m = 0 and 255 exact.
// Red and blue share one multiply, green another (packed channels), and the
// loop has no branch, so it vectorises.
void MixRow32(uint8_t* d, const uint8_t* f, const uint8_t* t, const uint8_t* m, int32_t n, bool hard) {
  auto* out = reinterpret_cast<uint32_t*>(d);
  const auto* from = reinterpret_cast<const uint32_t*>(f);
  const auto* to = reinterpret_cast<const uint32_t*>(t);
  for (int32_t x = 0; x < n; ++x) {
    const uint32_t w = hard ? (m[x] ? 255u : 0u) : m[x];
    const uint32_t fv = from[x];
    const uint32_t tv = to[x];
    const uint32_t rb = (((fv & 0xFF00FFu) * (255 - w) + (tv & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
    const uint32_t g = (((fv & 0x00FF00u) * (255 - w) + (tv & 0x00FF00u) * w) >> 8) & 0x00FF00u;
    const uint32_t mixed = rb | g;
    out[x] = w == 0 ? fv & 0xFFFFFFu : w == 255 ? tv & 0xFFFFFFu : mixed;
  }
}

void MixRow16(uint8_t* d, const uint8_t* f, const uint8_t* t, const uint8_t* m, int32_t n, const TPixelFormat& pf) {
  const uint32_t masks[3] = {pf.Red.Mask, pf.Green.Mask, pf.Blue.Mask};
  for (int32_t x = 0; x < n; ++x) {
    const uint32_t w = m[x];
    const uint32_t fv = LoadPixel(f, x, 16);
    const uint32_t tv = LoadPixel(t, x, 16);
    uint32_t out = w == 0 ? fv : tv;
    if (w != 0 && w != 255) {
      out = 0;
      for (uint32_t mask : masks) out |= (((255 - w) * (fv & mask) + w * (tv & mask)) >> 8) & mask;
    }
    StorePixel(d, x, 16, out);
  }
}

}  // namespace

void TWipeMask::SetParam(int index, int32_t value) {
  if (index == 0) value = std::max(value, 2);
  if (index == 1) value = std::max(value, 1);
  TCustomWipe::SetParam(index, value);
}

void TWipeMask::Prepare() {
  FMask.SetSize(W(), std::max(1, MaskHeight()), 8);
  FMask.Fill(0);
  FLastValue = -1;
}

uint8_t TWipeMask::Ramp(int64_t b, int64_t e, int32_t soft) {
  if (b < e) return 0;
  return uint8_t(std::min<int64_t>(255, (b - e) * 255 / std::max(1, soft)));
}

void TWipeMask::Draw() {
  if (FMask.Width() != W() || FMask.Height() != std::max(1, MaskHeight())) Prepare();
  if (!BuildMask()) return;
  const int bits = FTarget.StoredBitCount();
  const int32_t mask_rows = FMask.Height();
  if ((bits == 32 || bits == 16) && FFrom.Format() == FTarget.Format() && FTo.Format() == FTarget.Format()) {
    for (int32_t y = 0; y < H(); ++y) {
      const uint8_t* m = FMask.ScanLine(y % mask_rows);
      if (bits == 32)
        MixRow32(FTarget.ScanLine(y), FFrom.ScanLine(y), FTo.ScanLine(y), m, W(), FHardMask);
      else
        MixRow16(FTarget.ScanLine(y), FFrom.ScanLine(y), FTo.ScanLine(y), m, W(), FTarget.Format());
    }
    FTarget.ReleasePixels();
    return;
  }
  // Other formats: the old picture, then the new one through the mask's own rows.
  FTarget.Assign(FFrom);
  FTarget.DrawMask(0, 0, FTo, MakeRect(0, 0, W(), std::min(H(), mask_rows)), TBlit::None, FMask);
}

}  // namespace kest
