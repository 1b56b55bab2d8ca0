#include "imaging/dibx_wave.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "common/errors.h"
#include "imaging/clip_keeper.h"
#include "imaging/dibx.h"

namespace kest {

namespace {

constexpr int64_t kLowest = std::numeric_limits<int32_t>::min();
constexpr int64_t kHighest = std::numeric_limits<int32_t>::max();

// Saturates, so that a huge offset moves a position off every surface rather
// than wrapping round onto it.
int32_t Shift(int32_t x, int32_t off) { return int32_t(std::clamp(int64_t(x) + off, kLowest, kHighest)); }

TRect Shift(const TRect& r, int32_t off) { return {Shift(r.Left, off), r.Top, Shift(r.Right, off), r.Bottom}; }

// A blit placed at row y reaches no further down than its source rectangle is tall.
int64_t RowsEnd(int32_t y, const TRect& srcRect) { return int64_t(y) + (int64_t(srcRect.Bottom) - srcRect.Top); }

// Every run reads the picture as it was before the call: a source that is the
// inner surface itself would otherwise show the runs already drawn, and one
// of another format would be converted again for each run. Masks keep their
// format, so that one the inner surface refuses is still refused.
class TSteadyPicture {
 public:
  TSteadyPicture(const TCustomDIBX* inner, const TCustomDIBX& picture, bool isMask) : FPicture(picture) {
    if (!inner) return;
    const bool foreign = !isMask && picture.Format() != inner->Format();
    if (&picture != inner && !foreign) return;
    FCopy =
        ConvertedCopy(picture, isMask ? picture.BitCount() : inner->BitCount(), isMask ? -1 : picture.TransparentPixel);
  }
  const TCustomDIBX& operator*() const { return FCopy ? *FCopy : FPicture; }

 private:
  const TCustomDIBX& FPicture;
  std::unique_ptr<TDIBX> FCopy;
};

}  // namespace

const int32_t* TDIBXWave::OffsetOf(int32_t y) const {
  const int64_t row = int64_t(y) - Top;
  if (!Inner || row < 0 || row >= int64_t(Offsets.size())) return nullptr;
  return &Offsets[size_t(row)];
}

// Runs are cut where the offset changes, within the rows asked for, the
// proxy's rows and the clip in force.
template <typename Forward>
void TDIBXWave::ForEachRun(int64_t y0, int64_t y1, Forward call) {
  if (!Inner) return;
  TCustomDIBX& inner = *Inner;
  const TClipKeeper keeper(inner);
  const TRect clip = inner.ClipRegion();
  const int64_t top = std::max({y0, int64_t(Top), int64_t(clip.Top)});
  const int64_t bottom = std::min({y1, int64_t(Top) + int64_t(Offsets.size()), int64_t(clip.Bottom)});
  for (int64_t y = top; y < bottom;) {
    const int32_t off = Offsets[size_t(y - Top)];
    int64_t end = y + 1;
    while (end < bottom && Offsets[size_t(end - Top)] == off) ++end;
    inner.ClipRect = {clip.Left, int32_t(y), clip.Right, int32_t(end)};
    inner.ClipActive = true;
    call(off);
    y = end;
  }
}

const TPixelFormat& TDIBXWave::Format() const {
  static const TPixelFormat kNoFormat{};
  return Inner ? Inner->Format() : kNoFormat;
}

void TDIBXWave::SetSize(int32_t width, int32_t height, int) {
  if (width > kMaxSurfaceSide || height > kMaxSurfaceSide) throw EKestError("Surface size out of range");
  FAreaWidth = std::max(width, 0);
  FAreaHeight = std::max(height, 0);
  Offsets.resize(size_t(FAreaHeight));
}

uint8_t* TDIBXWave::PixelAddress(int32_t x, int32_t y) {
  const int32_t* off = OffsetOf(y);
  return off ? Inner->PixelAddress(Shift(x, *off), y) : nullptr;
}

ptrdiff_t TDIBXWave::LineStep() const { return Inner ? Inner->LineStep() : 0; }

void TDIBXWave::GetPaletteEntries(uint32_t* entries, int start, int count) const {
  if (Inner) return Inner->GetPaletteEntries(entries, start, count);
  std::fill_n(entries, std::max(count, 0), 0u);
}

void TDIBXWave::SetPaletteEntries(const uint32_t* entries, int start, int count) {
  if (Inner) Inner->SetPaletteEntries(entries, start, count);
}

void TDIBXWave::Clear() {
  TCustomDIBX::ResetClip();
  FAreaWidth = 0;
  FAreaHeight = 0;
  Offsets.clear();
}

uint32_t TDIBXWave::GetPixel(int32_t x, int32_t y) const {
  const int32_t* off = OffsetOf(y);
  return off ? Inner->GetPixel(Shift(x, *off), y) : 0;
}

void TDIBXWave::SetPixel(int32_t x, int32_t y, uint32_t pixel) {
  if (const int32_t* off = OffsetOf(y)) Inner->SetPixel(Shift(x, *off), y, pixel);
}

int64_t TDIBXWave::ColorToPixel(int64_t colour) const {
  return Inner ? Inner->ColorToPixel(colour) : TCustomDIBX::ColorToPixel(colour);
}

void TDIBXWave::ResetClip() {
  TCustomDIBX::ResetClip();
  if (Inner) Inner->ResetClip();
}

void TDIBXWave::AddClipRect(const TRect& rect) {
  const TRect r = IntersectRect(rect, Area());
  if (r.IsEmpty()) return;
  ClipRect = ClipActive ? UnionRect(ClipRect, r) : r;
  ClipActive = true;
  if (Inner) Inner->AddClipRect(r);
}

void TDIBXWave::SetClipRect(const TRect& rect) {
  ClipRect = IntersectRect(rect, Area());
  ClipActive = true;
  if (Inner) Inner->SetClipRect(ClipRect);
}

void TDIBXWave::Fill(uint32_t pixel) {
  ForEachRun(Top, int64_t(Top) + FAreaHeight, [&](int32_t off) {
    Inner->ClipRect = IntersectRect(Inner->ClipRect, Shift(Area(), off));
    Inner->Fill(pixel);
  });
}

void TDIBXWave::FillRect(const TRect& rect, uint32_t pixel) {
  ForEachRun(rect.Top, rect.Bottom, [&](int32_t off) { Inner->FillRect(Shift(rect, off), pixel); });
}

void TDIBXWave::FillRectAlpha(const TRect& rect, uint32_t pixel, int alpha) {
  ForEachRun(rect.Top, rect.Bottom, [&](int32_t off) { Inner->FillRectAlpha(Shift(rect, off), pixel, alpha); });
}

void TDIBXWave::FillRectAdd(const TRect& rect, uint32_t pixel) {
  ForEachRun(rect.Top, rect.Bottom, [&](int32_t off) { Inner->FillRectAdd(Shift(rect, off), pixel); });
}

void TDIBXWave::FillRectSub(const TRect& rect, uint32_t pixel) {
  ForEachRun(rect.Top, rect.Bottom, [&](int32_t off) { Inner->FillRectSub(Shift(rect, off), pixel); });
}

void TDIBXWave::FrameRect(const TRect& rect, int32_t width, uint32_t pixel) {
  ForEachRun(rect.Top, rect.Bottom, [&](int32_t off) { Inner->FrameRect(Shift(rect, off), width, pixel); });
}

void TDIBXWave::FrameRectAlpha(const TRect& rect, int32_t width, uint32_t pixel, int alpha) {
  ForEachRun(rect.Top, rect.Bottom, [&](int32_t off) { Inner->FrameRectAlpha(Shift(rect, off), width, pixel, alpha); });
}

void TDIBXWave::FrameRectAdd(const TRect& rect, int32_t width, uint32_t pixel) {
  ForEachRun(rect.Top, rect.Bottom, [&](int32_t off) { Inner->FrameRectAdd(Shift(rect, off), width, pixel); });
}

void TDIBXWave::FillMask(int32_t x, int32_t y, const TCustomDIBX& mask, const TRect& srcRect, TBlit flags,
                         uint32_t pixel, int alpha) {
  const TSteadyPicture m(Inner, mask, true);
  ForEachRun(y, RowsEnd(y, srcRect),
             [&](int32_t off) { Inner->FillMask(Shift(x, off), y, *m, srcRect, flags, pixel, alpha); });
}

void TDIBXWave::AdjustBrightness(int32_t b) {
  if (b == 0 || !Format().HasChannels()) return;
  const int64_t level = std::min<int64_t>(b > 0 ? b : -int64_t(b), 255);
  const auto grey = uint32_t(ColorToPixel(level * 0x010101));
  if (b > 0) {
    FillRectAdd(Area(), grey);
  } else {
    FillRectSub(Area(), grey);
  }
}

void TDIBXWave::Assign(const TCustomDIBX& source) {
  if (&source != this) Draw(Left, Top, source, source.Bounds(), TBlit::None);
}

void TDIBXWave::Draw(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags) {
  const TSteadyPicture s(Inner, source, false);
  ForEachRun(y, RowsEnd(y, srcRect), [&](int32_t off) { Inner->Draw(Shift(x, off), y, *s, srcRect, flags); });
}

void TDIBXWave::DrawMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                         const TCustomDIBX& mask) {
  const TSteadyPicture s(Inner, source, false), m(Inner, mask, true);
  ForEachRun(y, RowsEnd(y, srcRect), [&](int32_t off) { Inner->DrawMask(Shift(x, off), y, *s, srcRect, flags, *m); });
}

void TDIBXWave::DrawAlpha(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                          int alpha) {
  const TSteadyPicture s(Inner, source, false);
  ForEachRun(y, RowsEnd(y, srcRect),
             [&](int32_t off) { Inner->DrawAlpha(Shift(x, off), y, *s, srcRect, flags, alpha); });
}

void TDIBXWave::DrawAlphaMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                              const TCustomDIBX& mask, int alpha) {
  const TSteadyPicture s(Inner, source, false), m(Inner, mask, true);
  ForEachRun(y, RowsEnd(y, srcRect),
             [&](int32_t off) { Inner->DrawAlphaMask(Shift(x, off), y, *s, srcRect, flags, *m, alpha); });
}

void TDIBXWave::DrawAdd(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags, int alpha) {
  const TSteadyPicture s(Inner, source, false);
  ForEachRun(y, RowsEnd(y, srcRect), [&](int32_t off) { Inner->DrawAdd(Shift(x, off), y, *s, srcRect, flags, alpha); });
}

void TDIBXWave::DrawAddMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                            const TCustomDIBX& mask, int alpha) {
  const TSteadyPicture s(Inner, source, false), m(Inner, mask, true);
  ForEachRun(y, RowsEnd(y, srcRect),
             [&](int32_t off) { Inner->DrawAddMask(Shift(x, off), y, *s, srcRect, flags, *m, alpha); });
}

// A rotated picture may reach any row, so every run is offered it and the
// inner surface's own clipping finds the rows it really covers.
void TDIBXWave::DrawRotate(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int32_t centerX,
                           int32_t centerY, int32_t angle, int32_t zoomX, int32_t zoomY, TBlit flags, int alpha) {
  const TSteadyPicture s(Inner, source, false);
  ForEachRun(kLowest, kHighest, [&](int32_t off) {
    Inner->DrawRotate(Shift(x, off), y, *s, srcRect, centerX, centerY, angle, zoomX, zoomY, flags, alpha);
  });
}

void TDIBXWave::DrawRotateMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int32_t centerX,
                               int32_t centerY, int32_t angle, int32_t zoomX, int32_t zoomY, TBlit flags,
                               const TCustomDIBX& mask, int alpha) {
  const TSteadyPicture s(Inner, source, false), m(Inner, mask, true);
  ForEachRun(kLowest, kHighest, [&](int32_t off) {
    Inner->DrawRotateMask(Shift(x, off), y, *s, srcRect, centerX, centerY, angle, zoomX, zoomY, flags, *m, alpha);
  });
}

void TDIBXWave::StretchDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                            int alpha) {
  const TSteadyPicture s(Inner, source, false);
  ForEachRun(destRect.Top, destRect.Bottom,
             [&](int32_t off) { Inner->StretchDraw(Shift(destRect, off), *s, srcRect, flags, alpha); });
}

void TDIBXWave::StretchDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                                const TCustomDIBX& mask, int alpha) {
  const TSteadyPicture s(Inner, source, false), m(Inner, mask, true);
  ForEachRun(destRect.Top, destRect.Bottom,
             [&](int32_t off) { Inner->StretchDrawMask(Shift(destRect, off), *s, srcRect, flags, *m, alpha); });
}

void TDIBXWave::StretchDrawAdd(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                               int alpha) {
  const TSteadyPicture s(Inner, source, false);
  ForEachRun(destRect.Top, destRect.Bottom,
             [&](int32_t off) { Inner->StretchDrawAdd(Shift(destRect, off), *s, srcRect, flags, alpha); });
}

void TDIBXWave::StretchDrawAddMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                                   const TCustomDIBX& mask, int alpha) {
  const TSteadyPicture s(Inner, source, false), m(Inner, mask, true);
  ForEachRun(destRect.Top, destRect.Bottom,
             [&](int32_t off) { Inner->StretchDrawAddMask(Shift(destRect, off), *s, srcRect, flags, *m, alpha); });
}

void TDIBXWave::TileDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                         int32_t scrollX, int32_t scrollY, int32_t spaceX, int32_t spaceY) {
  const TSteadyPicture s(Inner, source, false);
  ForEachRun(destRect.Top, destRect.Bottom, [&](int32_t off) {
    Inner->TileDraw(Shift(destRect, off), *s, srcRect, flags, scrollX, scrollY, spaceX, spaceY);
  });
}

void TDIBXWave::TileDrawAlpha(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                              int32_t scrollX, int32_t scrollY, int32_t spaceX, int32_t spaceY, int alpha) {
  const TSteadyPicture s(Inner, source, false);
  ForEachRun(destRect.Top, destRect.Bottom, [&](int32_t off) {
    Inner->TileDrawAlpha(Shift(destRect, off), *s, srcRect, flags, scrollX, scrollY, spaceX, spaceY, alpha);
  });
}

void TDIBXWave::TileDrawAdd(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, int32_t scrollX,
                            int32_t scrollY, int32_t spaceX, int32_t spaceY, int alpha) {
  const TSteadyPicture s(Inner, source, false);
  ForEachRun(destRect.Top, destRect.Bottom, [&](int32_t off) {
    Inner->TileDrawAdd(Shift(destRect, off), *s, srcRect, scrollX, scrollY, spaceX, spaceY, alpha);
  });
}

void TDIBXWave::TileDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                             const TCustomDIBX& mask, int32_t scrollX, int32_t scrollY, int32_t spaceX,
                             int32_t spaceY) {
  const TSteadyPicture s(Inner, source, false), m(Inner, mask, true);
  ForEachRun(destRect.Top, destRect.Bottom, [&](int32_t off) {
    Inner->TileDrawMask(Shift(destRect, off), *s, srcRect, *m, scrollX, scrollY, spaceX, spaceY);
  });
}

void TDIBXWave::TileDrawAlphaMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                                  const TCustomDIBX& mask, int32_t scrollX, int32_t scrollY, int32_t spaceX,
                                  int32_t spaceY, int alpha) {
  const TSteadyPicture s(Inner, source, false), m(Inner, mask, true);
  ForEachRun(destRect.Top, destRect.Bottom, [&](int32_t off) {
    Inner->TileDrawAlphaMask(Shift(destRect, off), *s, srcRect, *m, scrollX, scrollY, spaceX, spaceY, alpha);
  });
}

void TDIBXWave::TileDrawAddMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                                const TCustomDIBX& mask, int32_t scrollX, int32_t scrollY, int32_t spaceX,
                                int32_t spaceY, int alpha) {
  const TSteadyPicture s(Inner, source, false), m(Inner, mask, true);
  ForEachRun(destRect.Top, destRect.Bottom, [&](int32_t off) {
    Inner->TileDrawAddMask(Shift(destRect, off), *s, srcRect, *m, scrollX, scrollY, spaceX, spaceY, alpha);
  });
}

void TDIBXWave::TileZoomDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                             int alpha, int32_t scrollX, int32_t scrollY, int32_t zoomX, int32_t zoomY,
                             int32_t cellWidth, int32_t cellHeight) {
  const TSteadyPicture s(Inner, source, false);
  ForEachRun(destRect.Top, destRect.Bottom, [&](int32_t off) {
    Inner->TileZoomDraw(Shift(destRect, off), *s, srcRect, flags, alpha, scrollX, scrollY, zoomX, zoomY, cellWidth,
                        cellHeight);
  });
}

void TDIBXWave::TileZoomDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                                 const TCustomDIBX& mask, int alpha, int32_t scrollX, int32_t scrollY, int32_t zoomX,
                                 int32_t zoomY, int32_t cellWidth, int32_t cellHeight) {
  const TSteadyPicture s(Inner, source, false), m(Inner, mask, true);
  ForEachRun(destRect.Top, destRect.Bottom, [&](int32_t off) {
    Inner->TileZoomDrawMask(Shift(destRect, off), *s, srcRect, flags, *m, alpha, scrollX, scrollY, zoomX, zoomY,
                            cellWidth, cellHeight);
  });
}

void TDIBXWave::FillPattern(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY,
                            TBlit flags) {
  const TSteadyPicture p(Inner, pattern, false);
  ForEachRun(destRect.Top, destRect.Bottom,
             [&](int32_t off) { Inner->FillPattern(Shift(destRect, off), *p, offsetX, offsetY, flags); });
}

void TDIBXWave::FillPatternZoom(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY,
                                TBlit flags, int32_t zoomX, int32_t zoomY, int alpha) {
  const TSteadyPicture p(Inner, pattern, false);
  ForEachRun(destRect.Top, destRect.Bottom, [&](int32_t off) {
    Inner->FillPatternZoom(Shift(destRect, off), *p, offsetX, offsetY, flags, zoomX, zoomY, alpha);
  });
}

void TDIBXWave::FillPatternZoomMask(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY,
                                    TBlit flags, int32_t zoomX, int32_t zoomY, const TCustomDIBX& mask, int alpha) {
  const TSteadyPicture p(Inner, pattern, false), m(Inner, mask, true);
  ForEachRun(destRect.Top, destRect.Bottom, [&](int32_t off) {
    Inner->FillPatternZoomMask(Shift(destRect, off), *p, offsetX, offsetY, flags, zoomX, zoomY, *m, alpha);
  });
}

void TDIBXWave::FramePattern(const TRect& rect, int32_t width, const TCustomDIBX& pattern, TBlit flags) {
  const TSteadyPicture p(Inner, pattern, false);
  ForEachRun(rect.Top, rect.Bottom, [&](int32_t off) { Inner->FramePattern(Shift(rect, off), width, *p, flags); });
}

// Glyph and indexed sources have formats of their own that these blits check,
// so they go to the inner surface as they are.
void TDIBXWave::DrawMono(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, uint32_t pixel,
                         TBlit flags, int alpha, int scale) {
  ForEachRun(y, RowsEnd(y, srcRect),
             [&](int32_t off) { Inner->DrawMono(Shift(x, off), y, source, srcRect, pixel, flags, alpha, scale); });
}

void TDIBXWave::DrawMono4(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect,
                          const std::array<uint32_t, 3>& colours, TBlit flags, int alpha, int scale) {
  ForEachRun(y, RowsEnd(y, srcRect),
             [&](int32_t off) { Inner->DrawMono4(Shift(x, off), y, source, srcRect, colours, flags, alpha, scale); });
}

void TDIBXWave::DrawIndexed4(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                             int alpha, const std::array<uint32_t, 16>& colourTable) {
  ForEachRun(y, RowsEnd(y, srcRect),
             [&](int32_t off) { Inner->DrawIndexed4(Shift(x, off), y, source, srcRect, flags, alpha, colourTable); });
}

void TDIBXWave::DrawIndexed8(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int firstIndex,
                             TBlit flags, int alpha, const std::array<uint32_t, 256>& colourTable) {
  ForEachRun(y, RowsEnd(y, srcRect), [&](int32_t off) {
    Inner->DrawIndexed8(Shift(x, off), y, source, srcRect, firstIndex, flags, alpha, colourTable);
  });
}

void TDIBXWave::StretchDrawIndexed8(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                                    int firstIndex, TBlit flags, int alpha,
                                    const std::array<uint32_t, 256>& colourTable) {
  ForEachRun(destRect.Top, destRect.Bottom, [&](int32_t off) {
    Inner->StretchDrawIndexed8(Shift(destRect, off), source, srcRect, firstIndex, flags, alpha, colourTable);
  });
}

}  // namespace kest
