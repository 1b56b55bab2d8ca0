// Stretched and rotated blits: nearest source pixel, 16.16 fixed-point steps
// with 64-bit positions, so tiny zooms and large surfaces cannot overflow.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "imaging/custom_dibx.h"
#include "imaging/dibx.h"
#include "imaging/fast_kernels.h"
#include "imaging/pixel_access.h"
#include "imaging/reference_kernels.h"
#include "imaging/stretch_axis.h"

namespace kest {

namespace {

double ClampCoord(double v) { return std::clamp(v, -1073741824.0, 1073741824.0); }

}  // namespace

void TCustomDIBX::StretchBlit(const TRect& destRect, const TCustomDIBX& source, TRect srcRect, TBlit mirror,
                              const TCustomDIBX* mask, const TBlendOp& blend) {
  if (blend.Alpha <= 0 && blend.Kind != TBlendKind::Copy && blend.Kind != TBlendKind::Mask) return;
  if (blend.UsesMask() && (!mask || mask->BitCount() != 8)) return;
  if (destRect.IsEmpty() || IsEmpty() || source.IsEmpty()) return;
  TBlendOp op = blend;
  TSourceCopies copies;
  const TCustomDIBX& src = PrepareSource(*this, source, mask, op, copies);
  srcRect = IntersectRect(srcRect, src.Bounds());
  if (op.UsesMask()) srcRect = IntersectRect(srcRect, mask->Bounds());
  const TRect k = IntersectRect(destRect, ClipRegion());
  if (srcRect.IsEmpty() || k.IsEmpty()) return;
  const TStretchAxis ax =
      MakeAxis(srcRect.Left, srcRect.Width(), destRect.Width(), k.Left - destRect.Left, Has(mirror, TBlit::MirrorH));
  const TStretchAxis ay =
      MakeAxis(srcRect.Top, srcRect.Height(), destRect.Height(), k.Top - destRect.Top, Has(mirror, TBlit::MirrorV));
  const int32_t n = k.Width();
  const bool withMask = op.UsesMask();
  if (CanRunFast(src)) {
    std::vector<int32_t> cols(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) cols[i] = ax.At(i);
    // A plain copy owes nothing to the destination: pixels go straight into
    // it, and a row drawn from the same source row as the one above is a copy
    // of that row (every row twice when enlarging twofold).
    const bool plainCopy = op.Kind == TBlendKind::Copy && (op.Key < 0 || op.Key > 0xFFFFFF);
    std::vector<uint32_t> srcRow(plainCopy ? 0 : size_t(n));
    std::vector<uint8_t> maskRow(withMask ? size_t(n) : 0);
    const uint32_t* above = nullptr;
    int32_t aboveSy = -1;
    for (int32_t j = 0; j < k.Height(); ++j) {
      const int32_t sy = ay.At(j);
      const auto* s = reinterpret_cast<const uint32_t*>(src.ScanLine(sy));
      if (plainCopy) {
        auto* d = reinterpret_cast<uint32_t*>(ScanLine(k.Top + j)) + k.Left;
        if (sy == aboveSy) {
          std::memcpy(d, above, size_t(n) * 4);
        } else {
          for (int32_t i = 0; i < n; ++i) d[i] = s[cols[i]];
        }
        above = d;
        aboveSy = sy;
        continue;
      }
      for (int32_t i = 0; i < n; ++i) srcRow[i] = s[cols[i]];
      if (withMask) {
        const uint8_t* m = mask->ScanLine(sy);
        for (int32_t i = 0; i < n; ++i) maskRow[i] = m[cols[i]];
      }
      auto* d = reinterpret_cast<uint32_t*>(ScanLine(k.Top + j)) + k.Left;
      fast32::ApplyRow(op, d, srcRow.data(), withMask ? maskRow.data() : nullptr, n);
    }
  } else {
    const TChannelMasks c = ChannelMasksOf();
    const int bits = StoredBitCount();
    for (int32_t j = 0; j < k.Height(); ++j) {
      const int32_t sy = ay.At(j);
      const uint8_t* s = src.ScanLine(sy);
      const uint8_t* m = withMask ? mask->ScanLine(sy) : nullptr;
      uint8_t* d = ScanLine(k.Top + j);
      for (int32_t i = 0; i < n; ++i) {
        const int32_t sx = ax.At(i);
        uint32_t v = LoadPixel(d, k.Left + i, bits);
        if (RefApply(op, c, v, LoadPixel(s, sx, bits), m ? m[sx] : 0)) StorePixel(d, k.Left + i, bits, v);
      }
    }
  }
  ReleasePixels();
}

void TCustomDIBX::RotateBlit(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int32_t centerX,
                             int32_t centerY, int32_t angle, int32_t zoomX, int32_t zoomY, TBlit mirror,
                             const TCustomDIBX* mask, const TBlendOp& blend) {
  if (zoomX <= 0 || zoomY <= 0 || IsEmpty() || source.IsEmpty()) return;
  if (blend.UsesMask() && (!mask || mask->BitCount() != 8)) return;
  TBlendOp op = blend;
  TSourceCopies copies;
  const TCustomDIBX& src = PrepareSource(*this, source, mask, op, copies);
  TRect sr = IntersectRect(srcRect, src.Bounds());
  if (op.UsesMask()) sr = IntersectRect(sr, mask->Bounds());
  if (sr.IsEmpty()) return;
  const double sx = zoomX / 256.0, sy = zoomY / 256.0;
  const double theta = angle * 2.0 * std::numbers::pi / 256.0;
  const double cosT = std::cos(theta), sinT = std::sin(theta);
  const double w = sr.Width() * sx, h = sr.Height() * sy, cx = centerX * sx, cy = centerY * sy;
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
  for (double u : {-cx, w - cx - 1})
    for (double v : {-cy, h - cy - 1}) {
      double px = x + u * cosT - v * sinT, py = y + u * sinT + v * cosT;
      minX = std::min(minX, px), maxX = std::max(maxX, px);
      minY = std::min(minY, py), maxY = std::max(maxY, py);
    }
  const TRect box{int32_t(ClampCoord(minX)), int32_t(ClampCoord(minY)), int32_t(ClampCoord(maxX)) + 1,
                  int32_t(ClampCoord(maxY)) + 1};
  const TRect k = IntersectRect(box, ClipRegion());
  if (k.IsEmpty()) return;
  const int64_t dux = int64_t(cosT / sx * 65536.0), dvx = int64_t(-sinT / sy * 65536.0);
  const int64_t duy = int64_t(sinT / sx * 65536.0), dvy = int64_t(cosT / sy * 65536.0);
  const int64_t u0 = int64_t(centerX) * 65536 + (int64_t(k.Left) - x) * dux + (int64_t(k.Top) - y) * duy;
  const int64_t v0 = int64_t(centerY) * 65536 + (int64_t(k.Left) - x) * dvx + (int64_t(k.Top) - y) * dvy;
  const int64_t limitU = int64_t(sr.Width()) << 16, limitV = int64_t(sr.Height()) << 16;
  const bool withMask = op.UsesMask();
  const bool fast = CanRunFast(src);
  const TChannelMasks c = ChannelMasksOf();
  const int bits = StoredBitCount();
  const int32_t n = k.Width();
  // Row addresses are computed here rather than asked for per pixel.
  const uint8_t* srcBase = src.ScanLine(0);
  const ptrdiff_t srcStep = src.LineStep();
  const uint8_t* maskBase = withMask ? mask->ScanLine(0) : nullptr;
  const ptrdiff_t maskStep = withMask ? mask->LineStep() : 0;
  std::vector<uint32_t> srcRow(fast ? size_t(n) : 0);
  std::vector<uint8_t> maskRow(fast && withMask ? size_t(n) : 0);
  const bool mirrorH = Has(mirror, TBlit::MirrorH), mirrorV = Has(mirror, TBlit::MirrorV);
  // Mirroring as a start and a direction, so the fast loop has no branch.
  const int32_t firstX = mirrorH ? sr.Right - 1 : sr.Left, dirX = mirrorH ? -1 : 1;
  const int32_t firstY = mirrorV ? sr.Bottom - 1 : sr.Top, dirY = mirrorV ? -1 : 1;
  for (int32_t j = 0; j < k.Height(); ++j) {
    int64_t u = u0 + j * duy, v = v0 + j * dvy;
    uint8_t* d = ScanLine(k.Top + j);
    if (fast) {
      // u and v move linearly along the row, so the pixels inside the
      // picture are one unbroken run: found from both ends, then gathered
      // without a test per pixel.
      auto inside = [&](int32_t i) {
        const int64_t uu = u + i * dux, vv = v + i * dvx;
        return uu >= 0 && vv >= 0 && uu < limitU && vv < limitV;
      };
      int32_t a = 0, b = n;
      while (a < b && !inside(a)) ++a;
      while (b > a && !inside(b - 1)) --b;
      for (int32_t i = a; i < b; ++i) {
        const int64_t uu = u + i * dux, vv = v + i * dvx;
        const int32_t px = firstX + dirX * int32_t(uu >> 16), py = firstY + dirY * int32_t(vv >> 16);
        std::memcpy(&srcRow[size_t(i - a)], srcBase + py * srcStep + ptrdiff_t(px) * 4, 4);
        if (withMask) maskRow[size_t(i - a)] = maskBase[py * maskStep + px];
      }
      if (b > a)
        fast32::ApplyRow(op, reinterpret_cast<uint32_t*>(d) + k.Left + a, srcRow.data(),
                         withMask ? maskRow.data() : nullptr, b - a);
      continue;
    }
    for (int32_t i = 0; i < n; ++i, u += dux, v += dvx) {
      if (u < 0 || v < 0 || u >= limitU || v >= limitV) continue;
      int32_t ui = int32_t(u >> 16), vi = int32_t(v >> 16);
      if (mirrorH) ui = sr.Width() - 1 - ui;
      if (mirrorV) vi = sr.Height() - 1 - vi;
      const int32_t px = sr.Left + ui, py = sr.Top + vi;
      const uint32_t s = LoadPixel(srcBase + py * srcStep, px, bits);
      const uint32_t m = withMask ? maskBase[py * maskStep + px] : 0;
      uint32_t value = LoadPixel(d, k.Left + i, bits);
      if (RefApply(op, c, value, s, m)) StorePixel(d, k.Left + i, bits, value);
    }
  }
  ReleasePixels();
}

namespace {

// Stretch blits copy at full strength and blend below it.
TBlendOp StretchOp(bool masked, int alpha, int64_t key) {
  alpha = std::min(alpha, 255);
  if (masked) return {alpha < 255 ? TBlendKind::AlphaMask : TBlendKind::Mask, alpha, -1};
  return {alpha < 255 ? TBlendKind::Alpha : TBlendKind::Copy, alpha, key};
}

// Rotation: 255 copies, below blends, 256..511 adds at strength alpha - 256.
// With a mask every strength up to 255 weighs the mask by it, (A * m) >> 8,
// full strength too.
TBlendOp RotateOp(bool masked, int alpha, int64_t key) {
  alpha = std::min(alpha, 511);
  if (alpha > 255) return {masked ? TBlendKind::AddMask : TBlendKind::Add, alpha - 256, key};
  if (masked) return {TBlendKind::AlphaMask, alpha, -1};
  return StretchOp(false, alpha, key);
}

}  // namespace

void TCustomDIBX::DrawRotate(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int32_t centerX,
                             int32_t centerY, int32_t angle, int32_t zoomX, int32_t zoomY, TBlit flags, int alpha) {
  if (alpha <= 0) return;
  RotateBlit(x, y, source, srcRect, centerX, centerY, angle, zoomX, zoomY, flags, nullptr,
             RotateOp(false, alpha, source.KeyFor(flags)));
}

void TCustomDIBX::DrawRotateMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int32_t centerX,
                                 int32_t centerY, int32_t angle, int32_t zoomX, int32_t zoomY, TBlit flags,
                                 const TCustomDIBX& mask, int alpha) {
  if (alpha <= 0) return;
  RotateBlit(x, y, source, srcRect, centerX, centerY, angle, zoomX, zoomY, flags, &mask, RotateOp(true, alpha, -1));
}

void TCustomDIBX::StretchDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                              int alpha) {
  if (alpha <= 0) return;
  StretchBlit(destRect, source, srcRect, flags, nullptr, StretchOp(false, alpha, source.KeyFor(flags)));
}

void TCustomDIBX::StretchDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                                  const TCustomDIBX& mask, int alpha) {
  if (alpha <= 0) return;
  StretchBlit(destRect, source, srcRect, flags, &mask, StretchOp(true, alpha, -1));
}

void TCustomDIBX::StretchDrawAdd(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                                 int alpha) {
  if (alpha <= 0) return;
  // As DrawAdd: an 8-bit surface adds without the strength.
  const TBlendKind kind = BitCount() == 8 ? TBlendKind::AddPlain : TBlendKind::Add;
  StretchBlit(destRect, source, srcRect, flags, nullptr, {kind, std::min(alpha, 255), source.KeyFor(flags)});
}

void TCustomDIBX::StretchDrawAddMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                                     TBlit flags, const TCustomDIBX& mask, int alpha) {
  if (alpha <= 0) return;
  StretchBlit(destRect, source, srcRect, flags, &mask, {TBlendKind::AddMask, std::min(alpha, 255), -1});
}

}  // namespace kest
