#pragma once
// The drawing target of the whole player. A concrete surface supplies its size,
// format, row addresses and palette; everything else (clipping, fills and
// every blit) is done here on raw rows, by the same integer formulas for every
// format. 32-bit surfaces and 8-bit masks also have fast kernels that give the
// same pixels; `Kernels` chooses which run, per destination surface.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/blend_op.h"
#include "imaging/blit_flags.h"
#include "imaging/pixel_format.h"
#include "imaging/rect.h"

namespace kest {

class TStream;
struct TChannelMasks;
struct TBlitRun;

enum class TKernelChoice : uint8_t { Reference, Fast };

// Pictures larger than this in either direction are refused before anything is
// allocated for them.
inline constexpr int32_t kMaxSurfaceSide = 16384;

class TCustomDIBX {
 public:
  TCustomDIBX() = default;
  TCustomDIBX(const TCustomDIBX&) = delete;
  TCustomDIBX& operator=(const TCustomDIBX&) = delete;
  virtual ~TCustomDIBX() = default;

  // Source pixel value skipped by blits with Transparent set; -1 for none.
  int64_t TransparentPixel = -1;
  // Where image components draw this picture; empty means everywhere.
  std::vector<TRect> DrawRects;
  std::vector<TRect> ExtraRects;
  TKernelChoice Kernels = TKernelChoice::Fast;

  // --- what a concrete surface supplies
  virtual const TPixelFormat& Format() const = 0;
  virtual void SetSize(int32_t width, int32_t height, int bitCount) = 0;
  virtual void SetBitCount(int bitCount) = 0;
  // The byte holding pixel (x, y); null when the surface is empty or (x, y)
  // lies outside it.
  virtual uint8_t* PixelAddress(int32_t x, int32_t y) = 0;
  virtual ptrdiff_t LineStep() const = 0;
  virtual void ReleasePixels() {}
  virtual void GetPaletteEntries(uint32_t* entries, int start, int count) const = 0;
  virtual void SetPaletteEntries(const uint32_t* entries, int start, int count) = 0;
  virtual void Clear();

  const uint8_t* PixelAddress(int32_t x, int32_t y) const { return const_cast<TCustomDIBX*>(this)->PixelAddress(x, y); }
  uint8_t* ScanLine(int32_t y) { return PixelAddress(0, y); }
  const uint8_t* ScanLine(int32_t y) const { return PixelAddress(0, y); }
  // The surface that holds what drawing on this one produces: itself, or the
  // one a proxy forwards to. Pictures are read back from here.
  virtual TCustomDIBX& Target() { return *this; }
  const TCustomDIBX& Target() const { return const_cast<TCustomDIBX*>(this)->Target(); }

  // --- size, format, pixels
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool IsEmpty() const { return FWidth <= 0 || FHeight <= 0; }
  TRect Bounds() const { return {0, 0, FWidth, FHeight}; }
  int BitCount() const { return Format().BitCount; }
  int StoredBitCount() const { return Format().StoredBitCount; }
  uint32_t RedMask() const { return Format().Red.Mask; }
  uint32_t GreenMask() const { return Format().Green.Mask; }
  uint32_t BlueMask() const { return Format().Blue.Mask; }
  int RedShift() const { return Format().Red.Shift; }
  int GreenShift() const { return Format().Green.Shift; }
  int BlueShift() const { return Format().Blue.Shift; }
  // 0 outside the surface; writes outside it are ignored.
  virtual uint32_t GetPixel(int32_t x, int32_t y) const;
  virtual void SetPixel(int32_t x, int32_t y, uint32_t pixel);

  // --- palettes (quads blue, green, red, 0)
  void GetPalette(uint32_t* entries) const { GetPaletteEntries(entries, 0, 256); }
  void SetPalette(const uint32_t* entries) { SetPaletteEntries(entries, 0, 256); }

  // --- colours
  virtual int64_t ColorToPixel(int64_t colour) const;
  // The colour a pixel value shows: palette entries for indexed formats.
  uint32_t PixelToColor(uint32_t pixel) const;

  // --- clipping
  TRect ClipRect{};
  bool ClipActive = false;
  virtual void ResetClip() {
    ClipActive = false;
    ClipRect = {};
  }
  // Clamped to the surface; an empty rectangle adds nothing.
  virtual void AddClipRect(const TRect& rect);
  // Replaces the clip; an empty rectangle then draws nothing at all.
  virtual void SetClipRect(const TRect& rect);
  // Where drawing may land: the clip, always inside the surface.
  TRect ClipRegion() const;

  // --- fills (pixel values of this surface)
  virtual void Fill(uint32_t pixel);
  virtual void FillRect(const TRect& rect, uint32_t pixel);
  virtual void FillRectAlpha(const TRect& rect, uint32_t pixel, int alpha);
  virtual void FillRectAdd(const TRect& rect, uint32_t pixel);
  virtual void FillRectSub(const TRect& rect, uint32_t pixel);
  virtual void FrameRect(const TRect& rect, int32_t width, uint32_t pixel);
  virtual void FrameRectAlpha(const TRect& rect, int32_t width, uint32_t pixel, int alpha);
  virtual void FrameRectAdd(const TRect& rect, int32_t width, uint32_t pixel);
  virtual void FillMask(int32_t x, int32_t y, const TCustomDIBX& mask, const TRect& srcRect, TBlit flags,
                        uint32_t pixel, int alpha);
  // Every channel raised (b > 0) or lowered (b < 0) by |b| with saturation; the
  // colour key moves the same way so keyed pixels stay keyed.
  virtual void AdjustBrightness(int32_t b);

  // --- blits from a source of the same format (others are converted first)
  virtual void Assign(const TCustomDIBX& source);
  virtual void Draw(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags);
  virtual void DrawMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                        const TCustomDIBX& mask);
  virtual void DrawAlpha(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags, int alpha);
  virtual void DrawAlphaMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                             const TCustomDIBX& mask, int alpha);
  virtual void DrawAdd(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags, int alpha);
  virtual void DrawAddMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                           const TCustomDIBX& mask, int alpha);

  // --- rotated and stretched (alpha 256..511: additive at alpha - 256)
  virtual void DrawRotate(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int32_t centerX,
                          int32_t centerY, int32_t angle, int32_t zoomX, int32_t zoomY, TBlit flags, int alpha);
  virtual void DrawRotateMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int32_t centerX,
                              int32_t centerY, int32_t angle, int32_t zoomX, int32_t zoomY, TBlit flags,
                              const TCustomDIBX& mask, int alpha);
  virtual void StretchDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                           int alpha);
  virtual void StretchDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                               const TCustomDIBX& mask, int alpha);
  virtual void StretchDrawAdd(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                              int alpha);
  virtual void StretchDrawAddMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                                  const TCustomDIBX& mask, int alpha);

  // --- tiles and patterns
  virtual void TileDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                        int32_t scrollX, int32_t scrollY, int32_t spaceX, int32_t spaceY);
  virtual void TileDrawAlpha(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                             int32_t scrollX, int32_t scrollY, int32_t spaceX, int32_t spaceY, int alpha);
  virtual void TileDrawAdd(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, int32_t scrollX,
                           int32_t scrollY, int32_t spaceX, int32_t spaceY, int alpha);
  virtual void TileDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                            const TCustomDIBX& mask, int32_t scrollX, int32_t scrollY, int32_t spaceX, int32_t spaceY);
  virtual void TileDrawAlphaMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                                 const TCustomDIBX& mask, int32_t scrollX, int32_t scrollY, int32_t spaceX,
                                 int32_t spaceY, int alpha);
  virtual void TileDrawAddMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                               const TCustomDIBX& mask, int32_t scrollX, int32_t scrollY, int32_t spaceX,
                               int32_t spaceY, int alpha);
  virtual void TileZoomDraw(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                            int alpha, int32_t scrollX, int32_t scrollY, int32_t zoomX, int32_t zoomY,
                            int32_t cellWidth, int32_t cellHeight);
  virtual void TileZoomDrawMask(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                                const TCustomDIBX& mask, int alpha, int32_t scrollX, int32_t scrollY, int32_t zoomX,
                                int32_t zoomY, int32_t cellWidth, int32_t cellHeight);
  virtual void FillPattern(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY,
                           TBlit flags);
  virtual void FillPatternZoom(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY,
                               TBlit flags, int32_t zoomX, int32_t zoomY, int alpha);
  virtual void FillPatternZoomMask(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY,
                                   TBlit flags, int32_t zoomX, int32_t zoomY, const TCustomDIBX& mask, int alpha);
  virtual void FramePattern(const TRect& rect, int32_t width, const TCustomDIBX& pattern, TBlit flags);

  // --- glyph ink and indexed sources
  virtual void DrawMono(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, uint32_t pixel,
                        TBlit flags, int alpha, int scale);
  virtual void DrawMono4(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect,
                         const std::array<uint32_t, 3>& colours, TBlit flags, int alpha, int scale);
  virtual void DrawIndexed4(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                            int alpha, const std::array<uint32_t, 16>& colourTable);
  virtual void DrawIndexed8(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int firstIndex,
                            TBlit flags, int alpha, const std::array<uint32_t, 256>& colourTable);
  virtual void StretchDrawIndexed8(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                                   int firstIndex, TBlit flags, int alpha,
                                   const std::array<uint32_t, 256>& colourTable);

  // --- pictures: BMP and PNG are told apart by their first bytes; any other
  // content leaves the surface unchanged and answers false. The picture keeps
  // this surface's bit count. Bad data raises EReadError.
  bool LoadFromStream(TStream& stream);
  // As LoadFromStream; a PNG's alpha channel (or its transparency chunk) goes
  // into alphaMask as an 8-bit surface of the same size, which is emptied for
  // pictures without one. Answers whether a mask was made.
  bool LoadFromStreamWithAlpha(TStream& stream, TCustomDIBX& alphaMask);
  // Only names ending in ".bmp" or ".png" (any case) are read or written.
  bool LoadFromFile(const std::string& fileName);
  bool SaveToFile(const std::string& fileName) const;
  void SaveToBmpStream(TStream& stream) const;
  void SaveToPngStream(TStream& stream) const;

 protected:
  // Concrete surfaces may move (a loaded picture handed to its owner), never copy.
  TCustomDIBX(TCustomDIBX&&) = default;
  TCustomDIBX& operator=(TCustomDIBX&&) = default;

  int32_t FWidth = 0;
  int32_t FHeight = 0;

 private:
  TChannelMasks ChannelMasksOf() const;
  bool CanRunFast(const TCustomDIBX& source) const;
  // TransparentPixel when flags ask for the key, else -1.
  int64_t KeyFor(TBlit flags) const { return Has(flags, TBlit::Transparent) ? TransparentPixel : -1; }
  void FillRectWith(const TRect& rect, int kind, uint32_t pixel, int alpha);
  void FrameWith(const TRect& rect, int32_t width, int kind, uint32_t pixel, int alpha);
  // The blit helpers find the key in op and read only the mirror bits of mirror.
  void BlitAt(int32_t x, int32_t y, const TCustomDIBX& source, TRect srcRect, TBlit mirror, const TCustomDIBX* mask,
              TBlendOp op);
  void RunBlit(const TBlitRun& run, const TCustomDIBX& source, const TCustomDIBX* mask, const TBlendOp& op);
  void StretchBlit(const TRect& destRect, const TCustomDIBX& source, TRect srcRect, TBlit mirror,
                   const TCustomDIBX* mask, const TBlendOp& op);
  void RotateBlit(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int32_t centerX,
                  int32_t centerY, int32_t angle, int32_t zoomX, int32_t zoomY, TBlit mirror, const TCustomDIBX* mask,
                  const TBlendOp& op);
  template <typename DrawTile>
  void Tile(const TRect& destRect, const TRect& srcRect, int32_t scrollX, int32_t scrollY, int32_t spaceX,
            int32_t spaceY, DrawTile drawTile);
  template <typename DrawTile>
  void TileZoom(const TRect& destRect, const TRect& srcRect, int32_t scrollX, int32_t scrollY, int32_t zoomX,
                int32_t zoomY, int32_t cellWidth, int32_t cellHeight, DrawTile drawTile);
  void PatternBlit(const TRect& destRect, const TCustomDIBX& pattern, int32_t offsetX, int32_t offsetY, TBlit mirror,
                   int32_t zoomX, int32_t zoomY, const TCustomDIBX* mask, const TBlendOp& op);
  bool LoadPicture(TStream& stream, TCustomDIBX* alphaMask);
};

}  // namespace kest
