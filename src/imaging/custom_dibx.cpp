#include "imaging/custom_dibx.h"

#include <cstring>

#include "imaging/pixel_access.h"
#include "imaging/reference_kernels.h"

namespace kest {

void TCustomDIBX::Clear() {
  FWidth = 0;
  FHeight = 0;
  ResetClip();
}

uint32_t TCustomDIBX::GetPixel(int32_t x, int32_t y) const {
  const uint8_t* row = ScanLine(y);
  if (!row || x < 0 || x >= FWidth) return 0;
  return LoadPixel(row, x, StoredBitCount());
}

void TCustomDIBX::SetPixel(int32_t x, int32_t y, uint32_t pixel) {
  uint8_t* row = ScanLine(y);
  if (!row || x < 0 || x >= FWidth) return;
  StorePixel(row, x, StoredBitCount(), pixel);
}

int64_t TCustomDIBX::ColorToPixel(int64_t colour) const {
  if (colour < 0) return -1;
  const TPixelFormat& f = Format();
  if (!f.HasChannels()) return colour;
  return ChannelColorToPixel(f, uint32_t(colour));
}

uint32_t TCustomDIBX::PixelToColor(uint32_t pixel) const {
  const TPixelFormat& f = Format();
  if (f.HasChannels()) return ChannelPixelToColor(f, pixel);
  uint32_t quad = 0;
  GetPaletteEntries(&quad, int(pixel & 0xFF), 1);
  return QuadToColor(quad);
}

TChannelMasks TCustomDIBX::ChannelMasksOf() const {
  const TPixelFormat& f = Format();
  return {f.ChannelMasks(), f.ChannelCount()};
}

bool TCustomDIBX::CanRunFast(const TCustomDIBX& source) const {
  return Kernels == TKernelChoice::Fast && StoredBitCount() == 32 && source.StoredBitCount() == 32;
}

void TCustomDIBX::AddClipRect(const TRect& rect) {
  TRect r = IntersectRect(rect, Bounds());
  if (r.IsEmpty()) return;
  ClipRect = ClipActive ? UnionRect(ClipRect, r) : r;
  ClipActive = true;
}

void TCustomDIBX::SetClipRect(const TRect& rect) {
  ClipRect = IntersectRect(rect, Bounds());
  ClipActive = true;
}

TRect TCustomDIBX::ClipRegion() const { return ClipActive ? IntersectRect(ClipRect, Bounds()) : Bounds(); }

void TCustomDIBX::Assign(const TCustomDIBX& source) {
  if (&source == this) return;
  if (source.Width() == FWidth && source.Height() == FHeight && source.Format() == Format() && !ClipActive) {
    const size_t rowBytes = (size_t(FWidth) * StoredBitCount() + 7) / 8;
    for (int32_t y = 0; y < FHeight; ++y) std::memcpy(ScanLine(y), source.ScanLine(y), rowBytes);
    return;
  }
  Draw(0, 0, source, source.Bounds(), TBlit::None);
}

void TCustomDIBX::AdjustBrightness(int32_t b) {
  if (b == 0 || !Format().HasChannels()) return;
  const uint32_t level = uint32_t(b > 0 ? (b > 255 ? 255 : b) : (-b > 255 ? 255 : -b));
  const uint32_t grey = uint32_t(ColorToPixel(level | (level << 8) | (level << 16)));
  const bool clipped = ClipActive;
  const TRect savedClip = ClipRect;
  ResetClip();
  if (b > 0) {
    FillRectAdd(Bounds(), grey);
  } else {
    FillRectSub(Bounds(), grey);
  }
  ClipActive = clipped;
  ClipRect = savedClip;
  if (TransparentPixel >= 0) {
    const TChannelMasks c = ChannelMasksOf();
    const uint32_t key = uint32_t(TransparentPixel);
    TransparentPixel = b > 0 ? RefAddPlain(c, key, grey) : RefSub(c, key, grey);
  }
}

}  // namespace kest
