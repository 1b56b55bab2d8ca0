#pragma once
// A surface without pixels of its own that draws into another one with every
// row moved sideways by an offset of its own; the wave effect draws its
// children through it. Coordinates are those of the inner surface: row y
// belongs to the proxy while 0 <= y - Top < Offsets.size(), and whatever is
// drawn there lands Offsets[y - Top] pixels further right, inside the inner
// surface's clip. A call reaches the inner surface once for each run of rows
// sharing an offset, with the inner clip narrowed to those rows, so that every
// blit keeps the inner surface's own geometry: with all offsets 0 the pixels
// are exactly those the inner surface would draw.
//
// As a picture the proxy is empty (its Width() and Height() are 0), so a blit
// reading it as a source or mask finds nothing instead of rows it does not
// own; what was drawn is read back from Target(). Clips are set through the
// calls: ClipRect and ClipActive only mirror what was forwarded, and writing
// them does not reach the inner surface.

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/custom_dibx.h"

namespace kest {

class TDIBXWave : public TCustomDIBX {
 public:
  // Not owned; while it is null nothing is drawn.
  TCustomDIBX* Inner = nullptr;
  int32_t Left = 0;
  int32_t Top = 0;
  // Shift of each row from Top down; rows past the end are not drawn.
  std::vector<int32_t> Offsets;

  // Where the proxy lies on the inner surface; clips set through it stay inside.
  TRect Area() const { return MakeRect(Left, Top, FAreaWidth, FAreaHeight); }
  TCustomDIBX& Target() override { return Inner ? *Inner : *this; }
  using TCustomDIBX::Target;

  // --- the inner surface's format, palette and pixels
  const TPixelFormat& Format() const override;
  // Sizes the area and gives it one offset per row, new rows unshifted; the
  // bit count belongs to the inner surface and is left to it.
  void SetSize(int32_t width, int32_t height, int bitCount) override;
  void SetBitCount(int) override {}
  // The inner pixel that (x, y) lands on; null outside the proxy's rows.
  uint8_t* PixelAddress(int32_t x, int32_t y) override;
  using TCustomDIBX::PixelAddress;
  ptrdiff_t LineStep() const override;
  void GetPaletteEntries(uint32_t* entries, int start, int count) const override;
  void SetPaletteEntries(const uint32_t* entries, int start, int count) override;
  // Forgets the area and the offsets; the inner surface keeps its pixels and clip.
  void Clear() override;
  uint32_t GetPixel(int32_t x, int32_t y) const override;
  void SetPixel(int32_t x, int32_t y, uint32_t pixel) override;
  int64_t ColorToPixel(int64_t colour) const override;

  // --- clipping, clamped to the area
  void ResetClip() override;
  void AddClipRect(const TRect& rect) override;
  void SetClipRect(const TRect& rect) override;

  // --- fills; Fill covers the area
  void Fill(uint32_t pixel) override;
  void FillRect(const TRect& rect, uint32_t pixel) override;
  void FillRectAlpha(const TRect& rect, uint32_t pixel, int alpha) override;
  void FillRectAdd(const TRect& rect, uint32_t pixel) override;
  void FillRectSub(const TRect& rect, uint32_t pixel) override;
  void FrameRect(const TRect& rect, int32_t width, uint32_t pixel) override;
  void FrameRectAlpha(const TRect& rect, int32_t width, uint32_t pixel, int alpha) override;
  void FrameRectAdd(const TRect& rect, int32_t width, uint32_t pixel) override;
  void FillMask(int32_t x, int32_t y, const TCustomDIBX& mask, const TRect& srcRect, TBlit flags, uint32_t pixel,
                int alpha) override;
  // Brightens the area inside the clip; the key stays with the inner surface,
  // whose picture as a whole has not changed.
  void AdjustBrightness(int32_t b) override;

  // --- blits
  // The source is drawn at the area's top-left corner.
  void Assign(const TCustomDIBX& source) override;
  void Draw(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags) override;
  void DrawMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                const TCustomDIBX& mask) override;
  void DrawAlpha(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                 int alpha) override;
  void DrawAlphaMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                     const TCustomDIBX& mask, int alpha) override;
  void DrawAdd(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags, int alpha) override;
  void DrawAddMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                   const TCustomDIBX& mask, int alpha) override;
  void DrawRotate(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int32_t centerX,
                  int32_t centerY, int32_t angle, int32_t zoomX, int32_t zoomY, TBlit flags, int alpha) override;
  void DrawRotateMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int32_t centerX,
                      int32_t centerY, int32_t angle, int32_t zoomX, int32_t zoomY, TBlit flags,
                      const TCustomDIBX& mask, int alpha) override;
  void StretchDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                   int alpha) override;
  void StretchDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                       const TCustomDIBX& mask, int alpha) override;
  void StretchDrawAdd(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                      int alpha) override;
  void StretchDrawAddMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                          const TCustomDIBX& mask, int alpha) override;

  // --- tiles and patterns
  void TileDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags, int32_t scrollX,
                int32_t scrollY, int32_t spaceX, int32_t spaceY) override;
  void TileDrawAlpha(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                     int32_t scrollX, int32_t scrollY, int32_t spaceX, int32_t spaceY, int alpha) override;
  void TileDrawAdd(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, int32_t scrollX,
                   int32_t scrollY, int32_t spaceX, int32_t spaceY, int alpha) override;
  void TileDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, const TCustomDIBX& mask,
                    int32_t scrollX, int32_t scrollY, int32_t spaceX, int32_t spaceY) override;
  void TileDrawAlphaMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                         const TCustomDIBX& mask, int32_t scrollX, int32_t scrollY, int32_t spaceX, int32_t spaceY,
                         int alpha) override;
  void TileDrawAddMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, const TCustomDIBX& mask,
                       int32_t scrollX, int32_t scrollY, int32_t spaceX, int32_t spaceY, int alpha) override;
  void TileZoomDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags, int alpha,
                    int32_t scrollX, int32_t scrollY, int32_t zoomX, int32_t zoomY, int32_t cellWidth,
                    int32_t cellHeight) override;
  void TileZoomDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                        const TCustomDIBX& mask, int alpha, int32_t scrollX, int32_t scrollY, int32_t zoomX,
                        int32_t zoomY, int32_t cellWidth, int32_t cellHeight) override;
  void FillPattern(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY,
                   TBlit flags) override;
  void FillPatternZoom(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY, TBlit flags,
                       int32_t zoomX, int32_t zoomY, int alpha) override;
  void FillPatternZoomMask(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY,
                           TBlit flags, int32_t zoomX, int32_t zoomY, const TCustomDIBX& mask, int alpha) override;
  void FramePattern(const TRect& rect, int32_t width, const TCustomDIBX& pattern, TBlit flags) override;

  // --- glyph ink and indexed sources
  void DrawMono(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, uint32_t pixel, TBlit flags,
                int alpha, int scale) override;
  void DrawMono4(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect,
                 const std::array<uint32_t, 3>& colours, TBlit flags, int alpha, int scale) override;
  void DrawIndexed4(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags, int alpha,
                    const std::array<uint32_t, 16>& colourTable) override;
  void DrawIndexed8(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int firstIndex, TBlit flags,
                    int alpha, const std::array<uint32_t, 256>& colourTable) override;
  void StretchDrawIndexed8(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, int firstIndex,
                           TBlit flags, int alpha, const std::array<uint32_t, 256>& colourTable) override;

 private:
  int32_t FAreaWidth = 0;
  int32_t FAreaHeight = 0;

  // The offset of row y, or null when the row is not the proxy's to draw.
  const int32_t* OffsetOf(int32_t y) const;
  template <typename Forward>
  void ForEachRun(int64_t y0, int64_t y1, Forward call);
};

}  // namespace kest
