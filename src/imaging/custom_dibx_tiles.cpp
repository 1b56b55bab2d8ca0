// Tiles and patterns. An empty pattern draws nothing (it would wrap by zero),
// and a tile pitch below one pixel counts as one, so a negative spacing cannot
// stall the loop.
#include <algorithm>

#include "imaging/clip_keeper.h"
#include "imaging/custom_dibx.h"
#include "imaging/dibx.h"
#include "imaging/fast_kernels.h"
#include "imaging/pixel_access.h"
#include "imaging/reference_kernels.h"

namespace kest {

namespace {

int64_t Wrap(int64_t value, int64_t size) { return ((value % size) + size) % size; }

// The first tile origin at or after which a tile of size `size` can still
// reach `visibleFrom`.
int64_t FirstTile(int64_t origin, int64_t size, int64_t pitch, int64_t visibleFrom) {
  if (origin + size > visibleFrom) return origin;
  return origin + ((visibleFrom - origin - size) / pitch + 1) * pitch;
}

}  // namespace

template <typename DrawTile>
void TCustomDIBX::Tile(const TRect& destRect, const TRect& srcRect, int32_t scrollX, int32_t scrollY, int32_t spaceX,
                       int32_t spaceY, DrawTile drawTile) {
  const int64_t w = srcRect.Width(), h = srcRect.Height();
  const TRect region = IntersectRect(destRect, ClipRegion());
  if (w <= 0 || h <= 0 || region.IsEmpty()) return;
  const int64_t pitchX = std::max<int64_t>(1, w + spaceX), pitchY = std::max<int64_t>(1, h + spaceY);
  const int64_t x0 = FirstTile(destRect.Left - Wrap(scrollX, w), w, pitchX, region.Left);
  const int64_t y0 = FirstTile(destRect.Top - Wrap(scrollY, h), h, pitchY, region.Top);
  const TClipKeeper keeper(*this);
  SetClipRect(region);
  for (int64_t ty = y0; ty < region.Bottom; ty += pitchY)
    for (int64_t tx = x0; tx < region.Right; tx += pitchX) drawTile(int32_t(tx), int32_t(ty));
}

template <typename DrawTile>
void TCustomDIBX::TileZoom(const TRect& destRect, const TRect& srcRect, int32_t scrollX, int32_t scrollY, int32_t zoomX,
                           int32_t zoomY, int32_t cellWidth, int32_t cellHeight, DrawTile drawTile) {
  const TRect region = IntersectRect(destRect, ClipRegion());
  if (zoomX <= 0 || zoomY <= 0 || srcRect.IsEmpty() || region.IsEmpty()) return;
  const int64_t tw = std::max<int64_t>(1, int64_t(srcRect.Width()) * zoomX / 256);
  const int64_t th = std::max<int64_t>(1, int64_t(srcRect.Height()) * zoomY / 256);
  const int64_t pitchX = std::max<int64_t>(65536, int64_t(cellWidth) * zoomX * 256);
  const int64_t pitchY = std::max<int64_t>(65536, int64_t(cellHeight) * zoomY * 256);
  const int64_t x0 = FirstTile((int64_t(destRect.Left) << 16) - Wrap(int64_t(scrollX) << 16, pitchX), tw << 16, pitchX,
                               int64_t(region.Left) << 16);
  const int64_t y0 = FirstTile((int64_t(destRect.Top) << 16) - Wrap(int64_t(scrollY) << 16, pitchY), th << 16, pitchY,
                               int64_t(region.Top) << 16);
  const TClipKeeper keeper(*this);
  SetClipRect(region);
  for (int64_t ty = y0; (ty >> 16) < region.Bottom; ty += pitchY)
    for (int64_t tx = x0; (tx >> 16) < region.Right; tx += pitchX)
      drawTile(MakeRect(int32_t(tx >> 16), int32_t(ty >> 16), int32_t(tw), int32_t(th)));
}

void TCustomDIBX::TileDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                           int32_t scrollX, int32_t scrollY, int32_t spaceX, int32_t spaceY) {
  Tile(destRect, srcRect, scrollX, scrollY, spaceX, spaceY,
       [&](int32_t x, int32_t y) { Draw(x, y, source, srcRect, flags & TBlit::Transparent); });
}

void TCustomDIBX::TileDrawAlpha(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                                int32_t scrollX, int32_t scrollY, int32_t spaceX, int32_t spaceY, int alpha) {
  if (alpha <= 0) return;
  Tile(destRect, srcRect, scrollX, scrollY, spaceX, spaceY,
       [&](int32_t x, int32_t y) { DrawAlpha(x, y, source, srcRect, flags & TBlit::Transparent, alpha); });
}

void TCustomDIBX::TileDrawAdd(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, int32_t scrollX,
                              int32_t scrollY, int32_t spaceX, int32_t spaceY, int alpha) {
  if (alpha <= 0) return;
  Tile(destRect, srcRect, scrollX, scrollY, spaceX, spaceY,
       [&](int32_t x, int32_t y) { DrawAdd(x, y, source, srcRect, TBlit::None, alpha); });
}

void TCustomDIBX::TileDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                               const TCustomDIBX& mask, int32_t scrollX, int32_t scrollY, int32_t spaceX,
                               int32_t spaceY) {
  Tile(destRect, srcRect, scrollX, scrollY, spaceX, spaceY,
       [&](int32_t x, int32_t y) { DrawMask(x, y, source, srcRect, TBlit::None, mask); });
}

void TCustomDIBX::TileDrawAlphaMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                                    const TCustomDIBX& mask, int32_t scrollX, int32_t scrollY, int32_t spaceX,
                                    int32_t spaceY, int alpha) {
  if (alpha <= 0) return;
  Tile(destRect, srcRect, scrollX, scrollY, spaceX, spaceY,
       [&](int32_t x, int32_t y) { DrawAlphaMask(x, y, source, srcRect, TBlit::None, mask, alpha); });
}

void TCustomDIBX::TileDrawAddMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                                  const TCustomDIBX& mask, int32_t scrollX, int32_t scrollY, int32_t spaceX,
                                  int32_t spaceY, int alpha) {
  if (alpha <= 0) return;
  Tile(destRect, srcRect, scrollX, scrollY, spaceX, spaceY,
       [&](int32_t x, int32_t y) { DrawAddMask(x, y, source, srcRect, TBlit::None, mask, alpha); });
}

void TCustomDIBX::TileZoomDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                               int alpha, int32_t scrollX, int32_t scrollY, int32_t zoomX, int32_t zoomY,
                               int32_t cellWidth, int32_t cellHeight) {
  if (alpha <= 0) return;
  alpha = std::min(alpha, 511);
  TileZoom(destRect, srcRect, scrollX, scrollY, zoomX, zoomY, cellWidth, cellHeight, [&](const TRect& tile) {
    if (alpha > 255) {
      StretchDrawAdd(tile, source, srcRect, flags, alpha - 256);
    } else {
      StretchDraw(tile, source, srcRect, flags, alpha);
    }
  });
}

void TCustomDIBX::TileZoomDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                                   const TCustomDIBX& mask, int alpha, int32_t scrollX, int32_t scrollY, int32_t zoomX,
                                   int32_t zoomY, int32_t cellWidth, int32_t cellHeight) {
  if (alpha <= 0) return;
  alpha = std::min(alpha, 511);
  TileZoom(destRect, srcRect, scrollX, scrollY, zoomX, zoomY, cellWidth, cellHeight, [&](const TRect& tile) {
    if (alpha > 255) {
      StretchDrawAddMask(tile, source, srcRect, flags, mask, alpha - 256);
    } else {
      StretchDrawMask(tile, source, srcRect, flags, mask, alpha);
    }
  });
}

void TCustomDIBX::PatternBlit(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY,
                              TBlit mirror, int32_t zoomX, int32_t zoomY, const TCustomDIBX* mask,
                              const TBlendOp& blend) {
  if (pattern.IsEmpty() || IsEmpty() || zoomX <= 0 || zoomY <= 0) return;
  if (blend.UsesMask() && (!mask || mask->BitCount() != 8 || !mask->Bounds().Contains(pattern.Bounds()))) return;
  const TRect k = IntersectRect(destRect, ClipRegion());
  if (k.IsEmpty()) return;
  TBlendOp op = blend;
  TSourceCopies copies;
  const TCustomDIBX& src = PrepareSource(*this, pattern, mask, op, copies);
  const int64_t pw = src.Width(), ph = src.Height();
  const int64_t stepX = int64_t(65536.0 * 256.0 / zoomX), stepY = int64_t(65536.0 * 256.0 / zoomY);
  auto index = [](int64_t along, int64_t step, int64_t size, bool flip) {
    int32_t p = int32_t(Wrap((along * step) >> 16, size));
    return flip ? int32_t(size) - 1 - p : p;
  };
  const bool mirrorH = Has(mirror, TBlit::MirrorH), mirrorV = Has(mirror, TBlit::MirrorV);
  const int32_t n = k.Width();
  std::vector<int32_t> cols(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) cols[i] = index(int64_t(k.Left) + i - destRect.Left + offsetX, stepX, pw, mirrorH);
  const bool withMask = op.UsesMask();
  const bool fast = CanRunFast(src);
  std::vector<uint32_t> srcRow(fast ? size_t(n) : 0);
  std::vector<uint8_t> maskRow(fast && withMask ? size_t(n) : 0);
  const TChannelMasks c = ChannelMasksOf();
  const int bits = StoredBitCount();
  for (int32_t y = k.Top; y < k.Bottom; ++y) {
    const int32_t py = index(int64_t(y) - destRect.Top + offsetY, stepY, ph, mirrorV);
    const uint8_t* s = src.ScanLine(py);
    const uint8_t* m = withMask ? mask->ScanLine(py) : nullptr;
    uint8_t* d = ScanLine(y);
    if (fast) {
      const auto* s32 = reinterpret_cast<const uint32_t*>(s);
      for (int32_t i = 0; i < n; ++i) srcRow[i] = s32[cols[i]];
      if (withMask)
        for (int32_t i = 0; i < n; ++i) maskRow[i] = m[cols[i]];
      fast32::ApplyRow(op, reinterpret_cast<uint32_t*>(d) + k.Left, srcRow.data(), withMask ? maskRow.data() : nullptr,
                       n);
      continue;
    }
    for (int32_t i = 0; i < n; ++i) {
      uint32_t v = LoadPixel(d, k.Left + i, bits);
      if (RefApply(op, c, v, LoadPixel(s, cols[i], bits), m ? m[cols[i]] : 0)) StorePixel(d, k.Left + i, bits, v);
    }
  }
  ReleasePixels();
}

namespace {

// 0 nothing, 1..254 blend, 255 copy (the mask rule with a mask), 256..511 add.
TBlendOp PatternOp(bool masked, int alpha) {
  alpha = std::min(alpha, 511);
  if (alpha > 255) return {masked ? TBlendKind::AddMask : TBlendKind::Add, std::min(alpha - 256, 255), -1};
  if (alpha == 255) return {masked ? TBlendKind::Mask : TBlendKind::Copy, 255, -1};
  return {masked ? TBlendKind::AlphaMask : TBlendKind::Alpha, alpha, -1};
}

}  // namespace

void TCustomDIBX::FillPattern(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY,
                              TBlit flags) {
  PatternBlit(destRect, pattern, offsetX, offsetY, flags, 256, 256, nullptr, {TBlendKind::Copy, 255, -1});
}

void TCustomDIBX::FillPatternZoom(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY,
                                  TBlit flags, int32_t zoomX, int32_t zoomY, int alpha) {
  if (alpha <= 0) return;
  PatternBlit(destRect, pattern, offsetX, offsetY, flags, zoomX, zoomY, nullptr, PatternOp(false, alpha));
}

void TCustomDIBX::FillPatternZoomMask(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX,
                                      int32_t offsetY, TBlit flags, int32_t zoomX, int32_t zoomY,
                                      const TCustomDIBX& mask, int alpha) {
  if (alpha <= 0) return;
  PatternBlit(destRect, pattern, offsetX, offsetY, flags, zoomX, zoomY, &mask, PatternOp(true, alpha));
}

void TCustomDIBX::FramePattern(const TRect& rect, int32_t width, const TCustomDIBX& pattern, TBlit flags) {
  if (width <= 0 || rect.IsEmpty()) return;
  const int32_t w = rect.Width(), h = rect.Height();
  FillPattern(MakeRect(rect.Left, rect.Top, w, width), pattern, 0, 0, flags);
  FillPattern(MakeRect(rect.Left, rect.Bottom - width, w, width), pattern, 0, 0, flags);
  FillPattern(MakeRect(rect.Left, rect.Top, width, h), pattern, 0, 0, flags);
  FillPattern(MakeRect(rect.Right - width, rect.Top, width, h), pattern, 0, 0, flags);
}

}  // namespace kest
