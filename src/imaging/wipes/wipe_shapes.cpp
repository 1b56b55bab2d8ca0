#include "imaging/wipes/wipe_shapes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace kest {

namespace {

constexpr double kPi = std::numbers::pi;

// The columns x of 0 .. width - 1 where a * x + b >= 0.
struct TSpan {
  int32_t First;
  int32_t End;
};

TSpan Columns(double a, double b, int32_t width) {
  if (a == 0) return b >= 0 ? TSpan{0, width} : TSpan{0, 0};
  const double edge = -b / a;
  if (a > 0) return {static_cast<int32_t>(std::clamp(std::ceil(edge), 0.0, double(width))), width};
  return {0, static_cast<int32_t>(std::clamp(std::floor(edge) + 1, 0.0, double(width)))};
}

void Fill(uint8_t* row, TSpan span) {
  if (span.End > span.First) std::memset(row + span.First, 255, size_t(span.End - span.First));
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
      const double py = y + 0.5 - cy;
      // Per row each edge is a half-line of columns: clockwise of the start
      // ray, and anticlockwise of the hand (px = x + 0.5 - cx).
      const TSpan after_start = Columns(-ay, ax * py - ay * (0.5 - cx), W());
      const TSpan before_hand = Columns(by, by * (0.5 - cx) - py * bx, W());
      uint8_t* row = FMask.ScanLine(y);
      if (wide) {
        Fill(row, after_start);
        Fill(row, before_hand);
      } else {
        Fill(row, {std::max(after_start.First, before_hand.First), std::min(after_start.End, before_hand.End)});
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
  // Per row the disc is one run of columns around the centre.
  for (int32_t y = 0; y < FMask.Height(); ++y) {
    uint8_t* row = FMask.ScanLine(y);
    std::memset(row, 255 - inside, size_t(W()));
    const double dy = y + 0.5 - cy;
    const double reach = double(r) * double(r) - dy * dy;
    if (reach < 0) continue;
    const double half = std::sqrt(reach);
    // Pixel centres x + 0.5 within [cx - half, cx + half].
    const auto first = static_cast<int32_t>(std::clamp(std::ceil(cx - half - 0.5), 0.0, double(W())));
    const auto end = static_cast<int32_t>(std::clamp(std::floor(cx + half - 0.5) + 1, 0.0, double(W())));
    if (end > first) std::memset(row + first, inside, size_t(end - first));
  }
  return true;
}

}  // namespace kest
