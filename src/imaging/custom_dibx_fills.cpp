// Fills, frames and the solid fill through a mask.
#include <algorithm>
#include <cstring>

#include "imaging/blit_geometry.h"
#include "imaging/custom_dibx.h"
#include "imaging/fast_kernels.h"
#include "imaging/pixel_access.h"
#include "imaging/reference_kernels.h"

namespace kest {

namespace {

enum TFillKind { kSolid, kAlpha, kAdd, kSub };

// The formulas applied to one pixel; false leaves it untouched.
bool FillPixel(int kind, const TChannelMasks& c, uint32_t& d, uint32_t p, uint32_t a) {
  switch (kind) {
    case kSolid: d = p; return true;
    case kAlpha:
      if (d == p) return false;
      d = RefBlend(c, d, p, 255 - a, a);
      return true;
    case kAdd: d = RefAddPlain(c, d, p); return true;
    default: d = RefSub(c, d, p); return true;
  }
}

void FastFillRow(int kind, uint32_t* d, int n, uint32_t p, int a) {
  switch (kind) {
    case kSolid: return fast32::FillRow(d, n, p);
    case kAlpha: return fast32::FillAlphaRow(d, n, p, a);
    case kAdd: return fast32::FillAddRow(d, n, p);
    default: return fast32::FillSubRow(d, n, p);
  }
}

}  // namespace

void TCustomDIBX::FillRectWith(const TRect& rect, int kind, uint32_t pixel, int alpha) {
  const TRect r = IntersectRect(rect, ClipRegion());
  if (r.IsEmpty()) return;
  const int bits = StoredBitCount();
  if (bits == 32) pixel &= 0xFFFFFF;
  if (bits < 32) pixel &= (1u << bits) - 1;
  const bool fast = Kernels == TKernelChoice::Fast && bits == 32;
  // Whole rows without padding between them are one run of pixels.
  if (fast && kind == kSolid && r.Left == 0 && r.Right == Width() &&
      LineStep() == static_cast<ptrdiff_t>(Width()) * 4) {
    fast32::FillRow(reinterpret_cast<uint32_t*>(ScanLine(r.Top)), r.Width() * r.Height(), pixel);
    return;
  }
  // Solid fills of masks and 15/16-bit surfaces store one value a row.
  if (Kernels == TKernelChoice::Fast && kind == kSolid && (bits == 8 || bits == 16)) {
    for (int32_t y = r.Top; y < r.Bottom; ++y) {
      uint8_t* row = ScanLine(y);
      if (bits == 8) {
        std::memset(row + r.Left, int(pixel), size_t(r.Width()));
      } else {
        for (int32_t x = r.Left; x < r.Right; ++x) StorePixel(row, x, 16, pixel);
      }
    }
    ReleasePixels();
    return;
  }
  if (fast && &Target() == this) {
    // One address lookup, then the rows by their step (a proxy surface that
    // shifts its rows answers row by row below).
    uint8_t* row = ScanLine(r.Top);
    const ptrdiff_t step = LineStep();
    for (int32_t y = r.Top; y < r.Bottom; ++y, row += step)
      FastFillRow(kind, reinterpret_cast<uint32_t*>(row) + r.Left, r.Width(), pixel, alpha);
    ReleasePixels();
    return;
  }
  const TChannelMasks c = ChannelMasksOf();
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    uint8_t* row = ScanLine(y);
    if (fast) {
      FastFillRow(kind, reinterpret_cast<uint32_t*>(row) + r.Left, r.Width(), pixel, alpha);
      continue;
    }
    for (int32_t x = r.Left; x < r.Right; ++x) {
      uint32_t d = LoadPixel(row, x, bits);
      if (FillPixel(kind, c, d, pixel, uint32_t(alpha))) StorePixel(row, x, bits, d);
    }
  }
  ReleasePixels();
}

void TCustomDIBX::Fill(uint32_t pixel) {
  if (BitCount() == 1 && pixel != 0) pixel = 1;
  FillRectWith(Bounds(), kSolid, pixel, 255);
}

void TCustomDIBX::FillRect(const TRect& rect, uint32_t pixel) { FillRectWith(rect, kSolid, pixel, 255); }

void TCustomDIBX::FillRectAlpha(const TRect& rect, uint32_t pixel, int alpha) {
  if (alpha <= 0) return;
  FillRectWith(rect, kAlpha, pixel, std::min(alpha, 255));
}

void TCustomDIBX::FillRectAdd(const TRect& rect, uint32_t pixel) { FillRectWith(rect, kAdd, pixel, 255); }

void TCustomDIBX::FillRectSub(const TRect& rect, uint32_t pixel) { FillRectWith(rect, kSub, pixel, 255); }

void TCustomDIBX::FrameWith(const TRect& rect, int32_t width, int kind, uint32_t pixel, int alpha) {
  if (width <= 0 || rect.IsEmpty()) return;
  const int32_t w = rect.Width(), h = rect.Height();
  FillRectWith(MakeRect(rect.Left, rect.Top, w, width), kind, pixel, alpha);
  FillRectWith(MakeRect(rect.Left, rect.Bottom - width, w, width), kind, pixel, alpha);
  if (int64_t(h) - 2 * int64_t(width) <= 0) return;
  FillRectWith(MakeRect(rect.Left, rect.Top + width, width, h - 2 * width), kind, pixel, alpha);
  FillRectWith(MakeRect(rect.Right - width, rect.Top + width, width, h - 2 * width), kind, pixel, alpha);
}

void TCustomDIBX::FrameRect(const TRect& rect, int32_t width, uint32_t pixel) {
  FrameWith(rect, width, kSolid, pixel, 255);
}

void TCustomDIBX::FrameRectAlpha(const TRect& rect, int32_t width, uint32_t pixel, int alpha) {
  if (alpha <= 0) return;
  FrameWith(rect, width, kAlpha, pixel, std::min(alpha, 255));
}

void TCustomDIBX::FrameRectAdd(const TRect& rect, int32_t width, uint32_t pixel) {
  FrameWith(rect, width, kAdd, pixel, 255);
}

void TCustomDIBX::FillMask(int32_t x, int32_t y, const TCustomDIBX& mask, const TRect& srcRect, TBlit flags,
                           uint32_t pixel, int alpha) {
  if (alpha <= 0 || mask.BitCount() != 8 || srcRect.IsEmpty() || !mask.Bounds().Contains(srcRect)) return;
  alpha = std::min(alpha, 255);
  const auto run = ClipBlit(ClipRegion(), x, y, srcRect, mask.Bounds(), flags);
  if (!run) return;
  const int bits = StoredBitCount();
  if (bits == 32) pixel &= 0xFFFFFF;
  const bool fast = Kernels == TKernelChoice::Fast && bits == 32;
  const TChannelMasks c = ChannelMasksOf();
  std::vector<uint8_t> reversed(fast && run->StepX < 0 ? size_t(run->Width) : 0);
  for (int32_t j = 0; j < run->Height; ++j) {
    uint8_t* row = ScanLine(run->DstY + j);
    const uint8_t* m = mask.ScanLine(run->SrcY + j * run->StepY);
    if (fast) {
      const uint8_t* mrow = m + run->SrcX;
      if (run->StepX < 0) {
        for (int32_t i = 0; i < run->Width; ++i) reversed[i] = m[run->SrcX - i];
        mrow = reversed.data();
      }
      fast32::FillMaskRow(reinterpret_cast<uint32_t*>(row) + run->DstX, mrow, run->Width, pixel, alpha);
      continue;
    }
    for (int32_t i = 0; i < run->Width; ++i) {
      uint32_t mv = m[run->SrcX + i * run->StepX];
      if (mv == 0) continue;
      uint32_t r = (uint32_t(alpha) * mv) >> 8;
      uint32_t d = LoadPixel(row, run->DstX + i, bits);
      StorePixel(row, run->DstX + i, bits, RefBlend(c, d, pixel, r ^ 255, r));
    }
  }
  ReleasePixels();
}

}  // namespace kest
