#include "imaging/wipes/wipe_smears.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <optional>
#include <vector>

#include "imaging/wipes/wipe_kernels.h"

namespace kest {

namespace {

// A rectangle across the axis: columns [a, b) for horizontal wipes, rows for
// vertical ones.
TRect Band(bool vertical, int32_t a, int32_t b, int32_t w, int32_t h) {
  return vertical ? TRect{0, a, w, b} : TRect{a, 0, b, h};
}

// The distance in pixels from one row to the next when every row of a 32-bit
// picture is that far from the one before.
std::optional<ptrdiff_t> EvenRowStep(const TCustomDIBX& s) {
  if (s.Height() < 2) return 0;
  const ptrdiff_t bytes = s.ScanLine(1) - s.ScanLine(0);
  if (bytes % 4 != 0) return std::nullopt;
  for (int32_t y = 2; y < s.Height(); ++y)
    if (s.ScanLine(y) - s.ScanLine(y - 1) != bytes) return std::nullopt;
  return bytes / 4;
}

}  // namespace

void TWipeSudare::Draw() {
  const int32_t size = FVertical ? H() : W();
  const int32_t other = FVertical ? W() : H();
  int32_t a = Scaled(2 * int64_t{size} - 1);
  const bool first = a < size;
  const TCustomDIBX& source = first ? FFrom : FTo;
  if (!first) a = 2 * size - a - 1;
  a = std::clamp(a, 0, std::max(0, size - 1));
  // The band of the source drawn out: one line (sudare), or a band whose
  // width swells and shrinks around the middle of the time (rubber).
  int32_t band = 1;
  if (FRubber) {
    const double half = Duration / 2.0;
    band = std::max(1, static_cast<int32_t>(std::nearbyint(std::abs(Position - half) * (a / 2.0) / half)));
    band = std::min(band, a + 1);
  }
  const int32_t w = FVertical ? other : size;
  const int32_t h = FVertical ? size : other;
  if (!FReverse) {
    FTarget.StretchDraw(Band(FVertical, 0, a + 1, w, h), source, Band(FVertical, a + 1 - band, a + 1, w, h),
                        TBlit::None, 255);
    const TRect rest = Band(FVertical, a + 1, size, w, h);
    if (!rest.IsEmpty()) FTarget.Draw(rest.Left, rest.Top, source, rest, TBlit::None);
  } else {
    const int32_t c = size - 1 - a;
    FTarget.StretchDraw(Band(FVertical, c, size, w, h), source, Band(FVertical, c, c + band, w, h), TBlit::None, 255);
    const TRect rest = Band(FVertical, 0, c, w, h);
    if (!rest.IsEmpty()) FTarget.Draw(0, 0, source, rest, TBlit::None);
  }
}

void TWipeTwist::DrawColumns32() {
  constexpr double kPi = std::numbers::pi;
  // Per column: what it shows (the old or new picture as it is, one of them
  // squeezed, or nothing) and where. A squeezed column takes source row
  // (y - start) * H / length, truncating.
  enum TShow : uint8_t { kFrom, kTo, kSqueezedFrom, kSqueezedTo, kClear };
  const int32_t w = W(), h = H();
  std::vector<uint8_t> show(static_cast<size_t>(w));
  std::vector<int32_t> start(static_cast<size_t>(w)), length(static_cast<size_t>(w));
  const double theta = 1.5 * kPi * Progress();
  for (int32_t i = 0; i < w; ++i) {
    const auto x = size_t(FReverse ? w - 1 - i : i);
    const double phi = theta - double(i) / w * kPi / 2;
    if (phi < 0) {
      show[x] = kFrom;
    } else if (phi >= kPi) {
      show[x] = kTo;
    } else {
      const auto squeezed = static_cast<int32_t>(std::nearbyint(std::cos(phi) * h));
      length[x] = std::abs(squeezed);
      start[x] = (h - length[x]) / 2;
      show[x] = squeezed == 0 ? kClear : squeezed > 0 ? kSqueezedFrom : kSqueezedTo;
    }
  }
  std::vector<const uint32_t*> from_rows(static_cast<size_t>(h)), to_rows(static_cast<size_t>(h));
  std::vector<uint32_t*> out_rows(static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y) {
    from_rows[size_t(y)] = reinterpret_cast<const uint32_t*>(FFrom.ScanLine(y));
    to_rows[size_t(y)] = reinterpret_cast<const uint32_t*>(FTo.ScanLine(y));
    out_rows[size_t(y)] = reinterpret_cast<uint32_t*>(FTarget.ScanLine(y));
  }
  // Columns still to turn and columns done lie in runs: those rows are copied.
  for (int32_t x0 = 0; x0 < w;) {
    int32_t x1 = x0 + 1;
    while (x1 < w && show[size_t(x1)] == show[size_t(x0)]) ++x1;
    if (show[size_t(x0)] <= kTo) {
      const auto& rows = show[size_t(x0)] == kFrom ? from_rows : to_rows;
      for (int32_t y = 0; y < h; ++y) std::memcpy(out_rows[size_t(y)] + x0, rows[size_t(y)] + x0, size_t(x1 - x0) * 4);
    }
    x0 = x1;
  }
  // Turning columns in runs that squeeze the same picture (clear columns
  // join either).
  for (int32_t x0 = 0; x0 < w;) {
    if (show[size_t(x0)] <= kTo) {
      ++x0;
      continue;
    }
    uint8_t picture = kClear;
    int32_t x1 = x0;
    for (; x1 < w && show[size_t(x1)] > kTo; ++x1) {
      if (show[size_t(x1)] == kClear) continue;
      if (picture != kClear && show[size_t(x1)] != picture) break;
      picture = show[size_t(x1)];
    }
    for (int32_t x = x0; x < x1; ++x)
      if (show[size_t(x)] == kClear) length[size_t(x)] = 0;
    const TCustomDIBX& source = picture == kSqueezedFrom ? FFrom : FTo;
    wipe32::SqueezeColumns(out_rows.data(), reinterpret_cast<const uint32_t*>(source.ScanLine(0)), *EvenRowStep(source),
                           h, x0, x1 - x0, start.data() + x0, length.data() + x0);
    x0 = x1;
  }
  FTarget.ReleasePixels();
}

void TWipeTwist::Draw() {
  if (FVertical && FTarget.StoredBitCount() == 32 && FFrom.Format() == FTarget.Format() &&
      FTo.Format() == FTarget.Format() && EvenRowStep(FFrom) && EvenRowStep(FTo))
    return DrawColumns32();
  constexpr double kPi = std::numbers::pi;
  const int32_t lines = FVertical ? W() : H();
  const int32_t span = FVertical ? H() : W();
  const double theta = 1.5 * kPi * Progress();
  for (int32_t i = 0; i < lines; ++i) {
    const int32_t line = FReverse ? lines - 1 - i : i;
    const double phi = theta - double(i) / lines * kPi / 2;
    const TRect whole = FVertical ? MakeRect(line, 0, 1, span) : MakeRect(0, line, span, 1);
    if (phi < 0) {
      FTarget.Draw(whole.Left, whole.Top, FFrom, whole, TBlit::None);
      continue;
    }
    if (phi >= kPi) {
      FTarget.Draw(whole.Left, whole.Top, FTo, whole, TBlit::None);
      continue;
    }
    // The line seen edge-on: squeezed to |cos phi| of its length, centred;
    // the front shows the old picture, the back the new one.
    FTarget.FillRect(whole, 0);
    const auto width = static_cast<int32_t>(std::nearbyint(std::cos(phi) * span));
    if (width == 0) continue;
    const int32_t length = std::abs(width);
    const int32_t start = (span - length) / 2;
    const TRect squeezed = FVertical ? MakeRect(line, start, 1, length) : MakeRect(start, line, length, 1);
    FTarget.StretchDraw(squeezed, width > 0 ? FFrom : FTo, whole, TBlit::None, 255);
  }
}

}  // namespace kest
