#include "imaging/wipes/wipe_rings.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/wipes/wipe_kernels.h"

namespace kest {

namespace {

int32_t Round(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

}  // namespace

void TWipeSpot::Prepare() {
  FReach = Round(std::hypot(H() / 2.0, W() / 2.0));
  FDistance.resize(size_t(std::max(W(), 0)) * size_t(std::max(H(), 0)));
  for (int32_t y = 0; y < H(); ++y)
    for (int32_t x = 0; x < W(); ++x) {
      const int32_t d = Round(std::hypot(y - H() / 2.0, x - W() / 2.0));
      FDistance[size_t(y) * size_t(W()) + size_t(x)] = FReverse ? FReach - d : d;
    }
}

void TWipeSpot::Draw() {
  if (FDistance.size() != size_t(W()) * size_t(H())) Prepare();
  const int64_t b = Scaled(int64_t{FReach} + 512);
  const int bits = FTarget.StoredBitCount();
  if (bits == 32 && FFrom.Format() == FTarget.Format() && FTo.Format() == FTarget.Format()) {
    const auto base = static_cast<int32_t>(std::clamp<int64_t>(b, -(1 << 30), 1 << 30));
    for (int32_t y = 0; y < H(); ++y)
      wipe32::RampRowByDistance(
          reinterpret_cast<uint32_t*>(FTarget.ScanLine(y)), reinterpret_cast<const uint32_t*>(FFrom.ScanLine(y)),
          reinterpret_cast<const uint32_t*>(FTo.ScanLine(y)), &FDistance[size_t(y) * size_t(W())], W(), base, true);
    FTarget.ReleasePixels();
    return;
  }
  for (int32_t y = 0; y < H(); ++y) {
    uint8_t* out = FTarget.ScanLine(y);
    const uint8_t* f = FFrom.ScanLine(y);
    const uint8_t* t = FTo.ScanLine(y);
    const int32_t* dist = &FDistance[size_t(y) * size_t(W())];
    for (int32_t x = 0; x < W(); ++x) {
      const int64_t d = dist[x];
      uint32_t v;
      if (b < d)
        v = LoadPixel(f, x, bits);
      else if (b < d + 256)
        v = ShiftGrey(FTarget, LoadPixel(f, x, bits), int32_t(b - d));
      else if (b < d + 512)
        v = ShiftGrey(FTarget, LoadPixel(t, x, bits), int32_t(d + 511 - b));
      else
        v = LoadPixel(t, x, bits);
      StorePixel(out, x, bits, v);
    }
  }
  FTarget.ReleasePixels();
}

void TWipeRipple::Prepare() {
  FReach = Round(std::hypot(H() / 2.0, W() / 2.0));
  const size_t n = size_t(std::max(W(), 0)) * size_t(std::max(H(), 0));
  FDistance.resize(n);
  FCos.resize(n);
  FSin.resize(n);
  for (int32_t y = 0; y < H(); ++y)
    for (int32_t x = 0; x < W(); ++x) {
      const double dx = x - W() / 2.0;
      const double dy = y - H() / 2.0;
      const double d = std::hypot(dx, dy);
      const size_t i = size_t(y) * size_t(W()) + size_t(x);
      FDistance[i] = Round(d);
      FCos[i] = d > 0 ? static_cast<int32_t>(std::lround(dx / d * 65536.0)) : 0;
      FSin[i] = d > 0 ? static_cast<int32_t>(std::lround(dy / d * 65536.0)) : 0;
    }
  // Four saw teeth of height Param[0] over the ring's width; a ring too
  // narrow for teeth has a flat profile rather than a division by zero.
  const int32_t length = std::max(1, std::min(W() / 2, H() / 2) * 2 / 3);
  const int32_t tooth = std::max(1, length / 4);
  FProfile.resize(size_t(length));
  for (int32_t i = 0; i < length; ++i) FProfile[size_t(i)] = (i % tooth) * FParam[0] / tooth;
}

void TWipeRipple::Draw() {
  if (FDistance.size() != size_t(W()) * size_t(H())) Prepare();
  const auto length = static_cast<int64_t>(FProfile.size());
  const int64_t front = Scaled(int64_t{FReach} + length);
  const int bits = FTarget.StoredBitCount();
  // The centre in 16.16, so a point along a pixel's direction is one
  // multiply-add (rounded to the nearest pixel).
  const int64_t cx = int64_t{W()} * 32768 + 32768;
  const int64_t cy = int64_t{H()} * 32768 + 32768;
  if (bits == 32 && FFrom.Format() == FTarget.Format() && FTo.Format() == FTarget.Format()) {
    std::vector<const uint32_t*> to_rows(static_cast<size_t>(H()));
    for (int32_t y = 0; y < H(); ++y) to_rows[size_t(y)] = reinterpret_cast<const uint32_t*>(FTo.ScanLine(y));
    // Along a row the distance falls to the centre column and rises after
    // it, so the ring's pixels lie in at most two spans found by bisection;
    // the old picture outside them and the new one within are copied.
    const int64_t inner = front - length + 1;
    const int32_t centre = (W() + 1) / 2;
    for (int32_t y = 0; y < H(); ++y) {
      auto* out = reinterpret_cast<uint32_t*>(FTarget.ScanLine(y));
      const auto* f = reinterpret_cast<const uint32_t*>(FFrom.ScanLine(y));
      const uint32_t* t = to_rows[size_t(y)];
      const size_t row = size_t(y) * size_t(W());
      const int32_t* d = &FDistance[row];
      auto ring = [&](int32_t x0, int32_t x1) {
        for (int32_t x = x0; x < x1; ++x) {
          const size_t i = row + size_t(x);
          const int64_t reach = FDistance[i] + FProfile[size_t(FDistance[i] - inner)];
          const int64_t sx = (cx + FCos[i] * reach - 32768) >> 16;
          const int64_t sy = (cy + FSin[i] * reach - 32768) >> 16;
          const bool inside = sx >= 0 && sy >= 0 && sx < W() && sy < H();
          out[x] = inside ? to_rows[size_t(sy)][sx] : t[x];
        }
      };
      auto copy = [&](const uint32_t* from, int32_t x0, int32_t x1) {
        if (x1 > x0) std::memcpy(out + x0, from + x0, size_t(x1 - x0) * 4);
      };
      const int32_t a = int32_t(std::partition_point(d, d + centre, [&](int32_t v) { return v > front; }) - d);
      const int32_t b = int32_t(std::partition_point(d + a, d + centre, [&](int32_t v) { return v >= inner; }) - d);
      const int32_t c = int32_t(std::partition_point(d + centre, d + W(), [&](int32_t v) { return v < inner; }) - d);
      const int32_t e = int32_t(std::partition_point(d + c, d + W(), [&](int32_t v) { return v <= front; }) - d);
      copy(f, 0, a);
      ring(a, b);
      copy(t, b, c);
      ring(c, e);
      copy(f, e, W());
    }
    FTarget.ReleasePixels();
    return;
  }
  for (int32_t y = 0; y < H(); ++y) {
    uint8_t* out = FTarget.ScanLine(y);
    const uint8_t* f = FFrom.ScanLine(y);
    const uint8_t* t = FTo.ScanLine(y);
    const size_t row = size_t(y) * size_t(W());
    for (int32_t x = 0; x < W(); ++x) {
      const size_t i = row + size_t(x);
      const int64_t k = FDistance[i] + (length - 1) - front;
      if (k > length - 1) {
        StorePixel(out, x, bits, LoadPixel(f, x, bits));
        continue;
      }
      if (k < 0) {
        StorePixel(out, x, bits, LoadPixel(t, x, bits));
        continue;
      }
      // Inside the ring the new picture is read from farther out.
      const int64_t reach = FDistance[i] + FProfile[size_t(k)];
      const int64_t sx = (cx + FCos[i] * reach - 32768) >> 16;
      const int64_t sy = (cy + FSin[i] * reach - 32768) >> 16;
      const bool inside = sx >= 0 && sy >= 0 && sx < W() && sy < H();
      StorePixel(out, x, bits,
                 inside ? LoadPixel(FTo.ScanLine(int32_t(sy)), int32_t(sx), bits) : LoadPixel(t, x, bits));
    }
  }
  FTarget.ReleasePixels();
}

}  // namespace kest
