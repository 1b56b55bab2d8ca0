#include "imaging/wipes/wipe_shapes.h"

#include <cmath>
#include <numbers>

namespace kest {

namespace {

constexpr double kPi = std::numbers::pi;

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
  FMask.Fill(0);
  for (int i = 0; i < count; ++i) {
    const double sweep = to[i] - from[i];
    if (sweep <= 0) continue;
    if (sweep >= 2 * kPi) {
      FMask.Fill(255);
      break;
    }
    // Directions clockwise from up, in screen coordinates (y down): (sin, -cos).
    const double ax = std::sin(from[i]), ay = -std::cos(from[i]);
    const double bx = std::sin(to[i]), by = -std::cos(to[i]);
    const bool wide = sweep > kPi;
    for (int32_t y = 0; y < FMask.Height(); ++y) {
      uint8_t* row = FMask.ScanLine(y);
      const double py = y + 0.5 - cy;
      for (int32_t x = 0; x < W(); ++x) {
        const double px = x + 0.5 - cx;
        // Clockwise of the start ray and anticlockwise of the hand (for a
        // sweep past half a turn: not in the part still to come).
        const bool after_start = ax * py - ay * px >= 0;
        const bool before_hand = px * by - py * bx >= 0;
        const bool in = wide ? (after_start || before_hand) : (after_start && before_hand);
        row[x] = in ? 255 : row[x];
      }
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
  const double r2 = double(r) * double(r);
  for (int32_t y = 0; y < FMask.Height(); ++y) {
    uint8_t* row = FMask.ScanLine(y);
    const double dy2 = (y + 0.5 - cy) * (y + 0.5 - cy);
    for (int32_t x = 0; x < W(); ++x) {
      const double dx = x + 0.5 - cx;
      row[x] = dx * dx + dy2 <= r2 ? inside : uint8_t(255 - inside);
    }
  }
  return true;
}

}  // namespace kest
