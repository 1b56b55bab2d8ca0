#include "imaging/wipes/wipe_zooms.h"

#include <algorithm>
#include <cmath>

namespace kest {

namespace {

int32_t Round(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

}  // namespace

// Zoom and alpha fall together from 255 (the rotation's 256 = 1:1).
void TWipeSmall::Draw() {
  FTarget.Draw(0, 0, FTo, FTo.Bounds(), TBlit::None);
  const int32_t level = Round(255.0 * (Duration - Position - 1) / Duration);
  const int32_t angle = Round(FParam[0] * Progress() * (FReverse ? -1 : 1));
  if (level <= 0) return;
  FTarget.DrawRotate(W() / 2, H() / 2, FFrom, FFrom.Bounds(), FFrom.Width() / 2, FFrom.Height() / 2, angle, level,
                     level, TBlit::None, level);
}

void TWipeBig::Draw() {
  FTarget.Draw(0, 0, FFrom, FFrom.Bounds(), TBlit::None);
  const int32_t level = Round(255.0 * Progress());
  const int32_t angle = Round(FParam[0] * double(Duration - Position - 1) / Duration * (FReverse ? -1 : 1));
  if (level <= 0) return;
  FTarget.DrawRotate(W() / 2, H() / 2, FTo, FTo.Bounds(), FTo.Width() / 2, FTo.Height() / 2, angle, level, level,
                     TBlit::None, level);
}

void TWipeZoomin::Draw() {
  const double c = 2 * Progress();
  const bool first = c <= 1;
  const TCustomDIBX& source = first ? FFrom : FTo;
  const double z = first ? 1 - c : c - 1;
  const double pan = first ? c : 2 - c;
  const int32_t w = std::clamp(Round(W() * z), 1, std::max(1, W()));
  const int32_t h = std::clamp(Round(H() * z), 1, std::max(1, H()));
  const int32_t x = std::clamp(Round((FParam[0] - W() / 2.0) * pan) + W() / 2 - w / 2, 0, std::max(0, W() - w));
  const int32_t y = std::clamp(Round((FParam[1] - H() / 2.0) * pan) + H() / 2 - h / 2, 0, std::max(0, H() - h));
  FTarget.StretchDraw(FTarget.Bounds(), source, MakeRect(x, y, w, h), TBlit::None, 255);
}

void TWipeMosaic::Draw() {
  const int32_t m = Scaled(1023);
  int32_t f;
  if (m < 256)
    f = 263 - (m / 2) * 15 / 16;
  else if (m < 512)
    f = 263 - ((m / 2) * 15 >> 4);
  else
    f = ((m - 512) / 2) * 15 / 16 + 24;
  const int32_t w = std::max(1, (W() / 4) * f >> 8);
  const int32_t h = std::max(1, (H() / 4) * f >> 8);
  const TRect small = MakeRect(0, 0, w, h);
  if (FSmall.Width() < w || FSmall.Height() < h || FSmall.Format() != FTarget.Format()) {
    FSmall.SetSize(std::max(w, FSmall.Width()), std::max(h, FSmall.Height()), FTarget.BitCount());
    FSmallTo.SetSize(FSmall.Width(), FSmall.Height(), FTarget.BitCount());
  }
  // Nearest-neighbour both ways: blocks, not blur.
  if (m < 768) {
    FSmall.StretchDraw(small, FFrom, FFrom.Bounds(), TBlit::None, 255);
    if (m >= 256) {
      FSmallTo.StretchDraw(small, FTo, FTo.Bounds(), TBlit::None, 255);
      const int32_t alpha = m < 512 ? (m - 256) / 4 : std::min(255, (m - 256) / 2);
      FSmall.DrawAlpha(0, 0, FSmallTo, small, TBlit::None, alpha);
    }
  } else {
    FSmall.StretchDraw(small, FTo, FTo.Bounds(), TBlit::None, 255);
  }
  FTarget.StretchDraw(FTarget.Bounds(), FSmall, small, TBlit::None, 255);
}

}  // namespace kest
