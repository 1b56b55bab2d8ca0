#include "imaging/wipes/wipe_mask.h"

#include <algorithm>
#include <cstring>

#include "imaging/fast_kernels.h"
#include "imaging/pixel_access.h"

namespace kest {

namespace {

// One row: ((255 - m) * from + m * to) >> 8 per channel, m = 0 and 255
// exact: the old row, then the new one through the mask with the blit
// kernels (which skip runs of 0 and copy runs of 255). Hard masks hold only
// 0 and 255, so they take the same way.
void MixRow32(uint8_t* d, const uint8_t* f, const uint8_t* t, const uint8_t* m, int32_t n) {
  std::memcpy(d, f, size_t(n) * 4);
  TBlendOp op;
  op.Kind = TBlendKind::Mask;
  fast32::ApplyRow(op, reinterpret_cast<uint32_t*>(d), reinterpret_cast<const uint32_t*>(t), m, n);
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
        MixRow32(FTarget.ScanLine(y), FFrom.ScanLine(y), FTo.ScanLine(y), m, W());
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
