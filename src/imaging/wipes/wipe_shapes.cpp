#include "imaging/wipes/wipe_shapes.h"

#include <cmath>
#include <numbers>

namespace kest {

namespace {

constexpr double kPi = std::numbers::pi;

// The angle of a pixel centre seen from the screen centre, clockwise from
// straight up, in 0 .. 2 pi.
double PixelAngle(double x, double y, double cx, double cy) {
  double a = std::atan2(x - cx, cy - y);
  if (a < 0) a += 2 * kPi;
  return a;
}

// Whether angle a lies in the clockwise sweep from `from` to `to` (to >= from).
bool InSweep(double a, double from, double to) {
  if (to - from >= 2 * kPi) return true;
  double d = std::fmod(a - from, 2 * kPi);
  if (d < 0) d += 2 * kPi;
  return d <= to - from;
}

}  // namespace

int TWipeClockHand::Sectors(double p, double start, double (&from)[2], double (&to)[2]) const {
  const double sweep = 2 * kPi * p;
  from[0] = FReverse ? start - sweep : start;
  to[0] = FReverse ? start : start + sweep;
  return 1;
}

int TWipeFan::Sectors(double p, double start, double (&from)[2], double (&to)[2]) const {
  from[0] = start - kPi * p;
  to[0] = start + kPi * p;
  return 1;
}

int TWipeWFan::Sectors(double p, double start, double (&from)[2], double (&to)[2]) const {
  for (int i = 0; i < 2; ++i) {
    from[i] = start + kPi * i - kPi / 2 * p;
    to[i] = start + kPi * i + kPi / 2 * p;
  }
  return 2;
}

bool TWipeClockHand::BuildMask() {
  // The hand moves in steps of a thousandth of the turn; a mask is built
  // only when the step changes.
  const int64_t value = Scaled(1000);
  if (value == FLastValue) return false;
  FLastValue = value;
  FHardMask = true;
  // Degrees as given, measured clockwise from straight up.
  const double start = FParam[0] * kPi / 180.0;
  double from[2];
  double to[2];
  const int count = Sectors(double(value) / 1000, start, from, to);
  const double cx = W() / 2.0;
  const double cy = H() / 2.0;
  for (int32_t y = 0; y < FMask.Height(); ++y) {
    uint8_t* row = FMask.ScanLine(y);
    for (int32_t x = 0; x < W(); ++x) {
      const double a = PixelAngle(x + 0.5, y + 0.5, cx, cy);
      bool in = false;
      for (int i = 0; i < count && !in; ++i) in = to[i] > from[i] && InSweep(a, from[i], to[i]);
      row[x] = in ? 255 : 0;
    }
  }
  return true;
}

bool TWipeCircle::BuildMask() {
  const double reach = std::hypot(W() / 2.0, H() / 2.0);
  const auto r = static_cast<int64_t>(std::nearbyint(reach * (FReverse ? 1 - Progress() : Progress())));
  if (r == FLastValue) return false;
  FLastValue = r;
  FHardMask = true;
  const double cx = W() / 2.0;
  const double cy = H() / 2.0;
  const uint8_t inside = FReverse ? 0 : 255;
  for (int32_t y = 0; y < FMask.Height(); ++y) {
    uint8_t* row = FMask.ScanLine(y);
    for (int32_t x = 0; x < W(); ++x)
      row[x] = std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= double(r) ? inside : uint8_t(255 - inside);
  }
  return true;
}

}  // namespace kest
