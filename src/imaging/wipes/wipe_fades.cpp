#include "imaging/wipes/wipe_fades.h"

#include <cmath>

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

void TWipeWhite::Draw() {
  const int32_t a = Scaled(511);
  if (a < 256) {
    FTarget.Draw(0, 0, FFrom, FFrom.Bounds(), TBlit::None);
    Tint(a);
  } else {
    FTarget.Draw(0, 0, FTo, FTo.Bounds(), TBlit::None);
    Tint(511 - a);
  }
}

void TWipeWhite::Tint(int32_t grey) { FTarget.FillRectAdd(FTarget.Bounds(), Grey(FTarget, grey)); }

void TWipeBlack::Tint(int32_t grey) { FTarget.FillRectSub(FTarget.Bounds(), Grey(FTarget, grey)); }

void TWipeFlash::Draw() {
  FTarget.Draw(0, 0, FTo, FTo.Bounds(), TBlit::None);
  FTarget.FillRectAdd(FTarget.Bounds(), Grey(FTarget, 255 - Scaled(255)));
}

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
