#include "imaging/wipes/wipe_fades.h"

#include <cmath>

#include "imaging/wipes/wipe_pixels.h"

namespace kest {

namespace {

uint32_t Grey(const TCustomDIBX& surface, int32_t level) {
  return static_cast<uint32_t>(surface.ColorToPixel(level | (level << 8) | (level << 16)));
}

}  // namespace

void TWipeFade::Draw() {
  FTarget.Draw(0, 0, FFrom, FFrom.Bounds(), TBlit::None);
  const double c = double(Duration - Position - 1) / Duration;
  const auto x = static_cast<int32_t>(std::nearbyint(FParam[0] * c));
  const auto y = static_cast<int32_t>(std::nearbyint(FParam[1] * c));
  FTarget.DrawAlpha(x, y, FTo, FTo.Bounds(), TBlit::None, Scaled(256));
}

namespace {

// The picture with every channel moved by grey, in one pass where the
// target is 32-bit.
void Tinted(TCustomDIBX& target, const TCustomDIBX& source, int32_t grey) {
  if (target.StoredBitCount() == 32 && source.Format() == target.Format()) {
    for (int32_t y = 0; y < target.Height(); ++y)
      ShiftGreyRow32(reinterpret_cast<uint32_t*>(target.ScanLine(y)),
                     reinterpret_cast<const uint32_t*>(source.ScanLine(y)), target.Width(), grey);
    target.ReleasePixels();
    return;
  }
  target.Draw(0, 0, source, source.Bounds(), TBlit::None);
  if (grey >= 0)
    target.FillRectAdd(target.Bounds(), Grey(target, grey));
  else
    target.FillRectSub(target.Bounds(), Grey(target, -grey));
}

}  // namespace

void TWipeWhite::Draw() {
  const int32_t a = Scaled(511);
  Tinted(FTarget, a < 256 ? FFrom : FTo, Sign() * (a < 256 ? a : 511 - a));
}

void TWipeFlash::Draw() { Tinted(FTarget, FTo, 255 - Scaled(255)); }

void TWipeScrollH::Draw() {
  const int32_t a = Scaled(W());
  FTarget.Draw(FReverse ? a : -a, 0, FFrom, FFrom.Bounds(), TBlit::None);
  FTarget.Draw(FReverse ? a - W() : W() - a, 0, FTo, FTo.Bounds(), TBlit::None);
}

void TWipeScrollV::Draw() {
  const int32_t a = Scaled(H());
  FTarget.Draw(0, FReverse ? a : -a, FFrom, FFrom.Bounds(), TBlit::None);
  FTarget.Draw(0, FReverse ? a - H() : H() - a, FTo, FTo.Bounds(), TBlit::None);
}

}  // namespace kest
