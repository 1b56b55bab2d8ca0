// Position-based blits: copy, key, alpha, mask, additive.
#include <algorithm>
#include <cstring>
#include <memory>

#include "imaging/blit_geometry.h"
#include "imaging/custom_dibx.h"
#include "imaging/dibx.h"
#include "imaging/fast_kernels.h"
#include "imaging/pixel_access.h"
#include "imaging/reference_kernels.h"

namespace kest {

void TCustomDIBX::BlitAt(int32_t x, int32_t y, const TCustomDIBX& source, TRect srcRect, TBlit mirror,
                         const TCustomDIBX* mask, TBlendOp op) {
  if (op.UsesMask() && (!mask || mask->BitCount() != 8)) return;
  if (IsEmpty() || source.IsEmpty()) return;
  TSourceCopies copies;
  const TCustomDIBX* src = &PrepareSource(*this, source, mask, op, copies);
  TRect readable = src->Bounds();
  if (op.UsesMask()) readable = IntersectRect(readable, mask->Bounds());
  const auto run = ClipBlit(ClipRegion(), x, y, srcRect, readable, mirror);
  if (!run) return;
  RunBlit(*run, *src, mask, op);
  ReleasePixels();
}

void TCustomDIBX::RunBlit(const TBlitRun& run, const TCustomDIBX& source, const TCustomDIBX* mask, const TBlendOp& op) {
  const bool withMask = op.UsesMask();
  if (CanRunFast(source)) {
    std::vector<uint32_t> srcRow(run.StepX < 0 ? size_t(run.Width) : 0);
    std::vector<uint8_t> maskRow(run.StepX < 0 && withMask ? size_t(run.Width) : 0);
    for (int32_t j = 0; j < run.Height; ++j) {
      const int32_t sy = run.SrcY + j * run.StepY;
      auto* d = reinterpret_cast<uint32_t*>(ScanLine(run.DstY + j)) + run.DstX;
      const auto* s = reinterpret_cast<const uint32_t*>(source.ScanLine(sy)) + run.SrcX;
      const uint8_t* m = withMask ? mask->ScanLine(sy) + run.SrcX : nullptr;
      if (run.StepX < 0) {
        for (int32_t i = 0; i < run.Width; ++i) srcRow[i] = s[-i];
        s = srcRow.data();
        if (withMask) {
          for (int32_t i = 0; i < run.Width; ++i) maskRow[i] = m[-i];
          m = maskRow.data();
        }
      }
      fast32::ApplyRow(op, d, s, m, run.Width);
    }
    return;
  }
  const TChannelMasks c = ChannelMasksOf();
  const int bits = StoredBitCount();
  // Unmirrored copies without a key move whole rows in every byte-sized
  // format; the stored values are the pixels, so the bytes are the result.
  if (Kernels == TKernelChoice::Fast && op.Kind == TBlendKind::Copy && op.Key < 0 && run.StepX > 0 && bits >= 8) {
    const size_t bytes = size_t(bits / 8);
    for (int32_t j = 0; j < run.Height; ++j)
      std::memmove(ScanLine(run.DstY + j) + size_t(run.DstX) * bytes,
                   source.ScanLine(run.SrcY + j * run.StepY) + size_t(run.SrcX) * bytes, size_t(run.Width) * bytes);
    return;
  }
  for (int32_t j = 0; j < run.Height; ++j) {
    const int32_t sy = run.SrcY + j * run.StepY;
    uint8_t* d = ScanLine(run.DstY + j);
    const uint8_t* s = source.ScanLine(sy);
    const uint8_t* m = withMask ? mask->ScanLine(sy) : nullptr;
    for (int32_t i = 0; i < run.Width; ++i) {
      const int32_t sx = run.SrcX + i * run.StepX;
      uint32_t v = LoadPixel(d, run.DstX + i, bits);
      if (RefApply(op, c, v, LoadPixel(s, sx, bits), m ? m[sx] : 0)) StorePixel(d, run.DstX + i, bits, v);
    }
  }
}

void TCustomDIBX::Draw(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags) {
  BlitAt(x, y, source, srcRect, flags, nullptr, {TBlendKind::Copy, 255, source.KeyFor(flags)});
}

void TCustomDIBX::DrawMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                           const TCustomDIBX& mask) {
  BlitAt(x, y, source, srcRect, flags, &mask, {TBlendKind::Mask, 255, -1});
}

void TCustomDIBX::DrawAlpha(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                            int alpha) {
  if (alpha <= 0) return;
  BlitAt(x, y, source, srcRect, flags, nullptr, {TBlendKind::Alpha, std::min(alpha, 255), source.KeyFor(flags)});
}

void TCustomDIBX::DrawAlphaMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                                const TCustomDIBX& mask, int alpha) {
  if (alpha <= 0) return;
  BlitAt(x, y, source, srcRect, flags, &mask, {TBlendKind::AlphaMask, std::min(alpha, 255), -1});
}

// The source's key is always skipped here; 8-bit surfaces (masks) add plain
// values, whatever the strength.
void TCustomDIBX::DrawAdd(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                          int alpha) {
  if (alpha <= 0) return;
  const TBlendKind kind = BitCount() == 8 ? TBlendKind::AddPlain : TBlendKind::Add;
  BlitAt(x, y, source, srcRect, flags, nullptr, {kind, std::min(alpha, 255), source.TransparentPixel});
}

void TCustomDIBX::DrawAddMask(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                              const TCustomDIBX& mask, int alpha) {
  if (alpha <= 0) return;
  BlitAt(x, y, source, srcRect, flags, &mask, {TBlendKind::AddMask, std::min(alpha, 255), -1});
}

}  // namespace kest
