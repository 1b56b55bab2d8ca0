// Supersampled glyph ink and the blits from indexed sources through a table of
// destination pixel values.
#include <algorithm>
#include <bit>
#include <vector>

#include "imaging/blit_geometry.h"
#include "imaging/custom_dibx.h"
#include "imaging/ink_kernels.h"
#include "imaging/pixel_access.h"
#include "imaging/reference_kernels.h"
#include "imaging/stretch_axis.h"

namespace kest {

namespace {

bool IsInkTarget(int bitCount) { return bitCount == 15 || bitCount == 16 || bitCount == 32; }

bool RunsFast(const TCustomDIBX& dest) {
  return dest.Kernels == TKernelChoice::Fast && dest.StoredBitCount() == 32;
}

uint32_t* Row32(TCustomDIBX& dest, int32_t y, int32_t x) { return reinterpret_cast<uint32_t*>(dest.ScanLine(y)) + x; }

void DrawMonoFast(TCustomDIBX& dest, const TBlitRun& run, const TCustomDIBX& source, const TRect& sr, uint32_t pixel,
                  int alpha) {
  std::vector<uint32_t> ink(size_t(run.Width));
  const int64_t firstBit = int64_t(sr.Left) + int64_t(run.SrcX) * 4;
  for (int32_t j = 0; j < run.Height; ++j) {
    const int32_t by = sr.Top + (run.SrcY + j * run.StepY) * 4;
    const std::array<const uint8_t*, 4> rows{source.ScanLine(by), source.ScanLine(by + 1), source.ScanLine(by + 2),
                                              source.ScanLine(by + 3)};
    fast32::CountMonoInk4(rows, firstBit, run.StepX * 4, run.Width, ink.data());
    fast32::MonoInkRow(Row32(dest, run.DstY + j, run.DstX), ink.data(), run.Width, pixel, alpha);
  }
}

void DrawMono4Fast(TCustomDIBX& dest, const TBlitRun& run, const TCustomDIBX& source, const TRect& sr, int scale,
                   const std::array<uint32_t, 3>& colours, int alpha) {
  const size_t n = size_t(run.Width);
  std::vector<uint32_t> counts(3 * n);
  const fast32::TLevelCounts c{counts.data(), counts.data() + n, counts.data() + 2 * n};
  const int64_t firstX = int64_t(sr.Left) + int64_t(run.SrcX) * scale;
  for (int32_t j = 0; j < run.Height; ++j) {
    const int32_t by = sr.Top + (run.SrcY + j * run.StepY) * scale;
    std::fill(counts.begin(), counts.end(), 0);
    for (int32_t yy = 0; yy < scale; ++yy)
      fast32::CountLevels(source.ScanLine(by + yy), firstX, run.StepX, scale, run.Width, c);
    fast32::Mono4Row(Row32(dest, run.DstY + j, run.DstX), c, run.Width, uint32_t(scale * scale), colours, alpha);
  }
}

// Table values gathered a row at a time for the row kernels; skip marks the
// pixels the source leaves alone.
struct TGatheredRow {
  std::vector<uint32_t> Values;
  std::vector<uint8_t> Skip;
  explicit TGatheredRow(int32_t n) : Values(size_t(n)), Skip(size_t(n)) {}
};

}  // namespace

// Scale 4 divides by the 16 samples of a block with a shift; other scales
// divide by their own sample count, so a full block is always full ink.
void TCustomDIBX::DrawMono(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, uint32_t pixel,
                           bool mirrorH, bool mirrorV, int alpha, int scale) {
  if (alpha <= 0 || scale <= 0 || scale > 64 || source.BitCount() != 1 || !IsInkTarget(BitCount())) return;
  const TRect sr = IntersectRect(srcRect, source.Bounds());
  const TRect blocks{0, 0, sr.Width() / scale, sr.Height() / scale};
  const auto run = ClipBlit(ClipRegion(), x, y, blocks, blocks, mirrorH, mirrorV);
  if (!run) return;
  if (scale == 4 && RunsFast(*this)) {
    DrawMonoFast(*this, *run, source, sr, pixel, alpha);
    ReleasePixels();
    return;
  }
  const TChannelMasks c = ChannelMasksOf();
  const int bits = StoredBitCount();
  const uint64_t samples = uint64_t(scale) * uint64_t(scale);
  for (int32_t j = 0; j < run->Height; ++j) {
    const int32_t by = sr.Top + (run->SrcY + j * run->StepY) * scale;
    uint8_t* d = ScanLine(run->DstY + j);
    for (int32_t i = 0; i < run->Width; ++i) {
      const int32_t bx = sr.Left + (run->SrcX + i * run->StepX) * scale;
      uint64_t ink = 0;
      for (int32_t yy = 0; yy < scale; ++yy) {
        const uint8_t* s = source.ScanLine(by + yy);
        for (int32_t xx = 0; xx < scale; ++xx) ink += LoadPixel(s, bx + xx, 1) == 0;
      }
      if (alpha <= 254) ink = (uint64_t(alpha) * ink) >> 8;
      const uint32_t dv = LoadPixel(d, run->DstX + i, bits);
      uint32_t r = 0;
      for (int ch = 0; ch < c.Count; ++ch) {
        const uint64_t m = c.M[ch];
        uint64_t sum = (pixel & m) * ink + (dv & m) * (samples - ink);
        r |= uint32_t((scale == 4 ? sum >> 4 : sum / samples) & m);
      }
      StorePixel(d, run->DstX + i, bits, r);
    }
  }
  ReleasePixels();
}

void TCustomDIBX::DrawMono4(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect,
                            const std::array<uint32_t, 3>& colours, bool mirrorH, bool mirrorV, int alpha,
                            int scale) {
  if (alpha <= 0 || scale <= 0 || scale > 64 || source.BitCount() != 4 || !IsInkTarget(BitCount())) return;
  const uint64_t samples = uint64_t(scale) * uint64_t(scale);
  if (!std::has_single_bit(samples)) return;
  alpha = std::min(alpha, 511);
  const TRect sr = IntersectRect(srcRect, source.Bounds());
  const TRect blocks{0, 0, sr.Width() / scale, sr.Height() / scale};
  const auto run = ClipBlit(ClipRegion(), x, y, blocks, blocks, mirrorH, mirrorV);
  if (!run) return;
  if (RunsFast(*this)) {
    DrawMono4Fast(*this, *run, source, sr, scale, colours, alpha);
    ReleasePixels();
    return;
  }
  const TChannelMasks c = ChannelMasksOf();
  const int bits = StoredBitCount();
  const uint64_t total = samples * 256;
  const int shift = std::countr_zero(total);
  const uint64_t weight = alpha == 255 ? 256 : uint64_t(alpha & 255);
  for (int32_t j = 0; j < run->Height; ++j) {
    const int32_t by = sr.Top + (run->SrcY + j * run->StepY) * scale;
    uint8_t* d = ScanLine(run->DstY + j);
    for (int32_t i = 0; i < run->Width; ++i) {
      const int32_t bx = sr.Left + (run->SrcX + i * run->StepX) * scale;
      uint64_t count[4] = {0, 0, 0, 0};
      for (int32_t yy = 0; yy < scale; ++yy) {
        const uint8_t* s = source.ScanLine(by + yy);
        for (int32_t xx = 0; xx < scale; ++xx) ++count[LoadPixel(s, bx + xx, 4) & 3];
      }
      if (count[0] == samples) continue;
      if (alpha == 255 && (count[1] == samples || count[2] == samples)) {
        StorePixel(d, run->DstX + i, bits, count[1] == samples ? colours[0] : colours[1]);
        continue;
      }
      const uint32_t dv = LoadPixel(d, run->DstX + i, bits);
      uint32_t r = 0;
      for (int ch = 0; ch < c.Count; ++ch) {
        const uint64_t m = c.M[ch];
        uint64_t ink = 0, used = 0;
        for (int level = 1; level <= 3; ++level) {
          ink += (colours[level - 1] & m) * count[level] * weight;
          used += count[level] * weight;
        }
        // The additive form adds the masked ink to the channel, so no low bits
        // of one channel spill into the next.
        uint64_t value = alpha > 255 ? std::min(((ink >> shift) & m) + (dv & m), m)
                                     : ((ink + (dv & m) * (total - used)) >> shift) & m;
        r |= uint32_t(value);
      }
      StorePixel(d, run->DstX + i, bits, r);
    }
  }
  ReleasePixels();
}

void TCustomDIBX::DrawIndexed4(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, bool mirrorH,
                               bool mirrorV, int alpha, const std::array<uint32_t, 16>& colourTable) {
  if (alpha <= 0 || source.BitCount() != 4 || IsEmpty()) return;
  alpha = std::min(alpha, 511);
  const auto run = ClipBlit(ClipRegion(), x, y, srcRect, source.Bounds(), mirrorH, mirrorV);
  if (!run) return;
  const TChannelMasks c = ChannelMasksOf();
  const int bits = StoredBitCount();
  const uint32_t a = uint32_t(alpha);
  if (RunsFast(*this)) {
    TGatheredRow g(run->Width);
    for (int32_t j = 0; j < run->Height; ++j) {
      const uint8_t* s = source.ScanLine(run->SrcY + j * run->StepY);
      for (int32_t i = 0; i < run->Width; ++i) {
        const uint32_t v = LoadPixel(s, run->SrcX + i * run->StepX, 4);
        g.Skip[size_t(i)] = int64_t(v) == source.TransparentPixel;
        g.Values[size_t(i)] = colourTable[v];
      }
      fast32::IndexedRow(Row32(*this, run->DstY + j, run->DstX), g.Values.data(), g.Skip.data(), run->Width, alpha);
    }
    ReleasePixels();
    return;
  }
  for (int32_t j = 0; j < run->Height; ++j) {
    const uint8_t* s = source.ScanLine(run->SrcY + j * run->StepY);
    uint8_t* d = ScanLine(run->DstY + j);
    for (int32_t i = 0; i < run->Width; ++i) {
      const uint32_t v = LoadPixel(s, run->SrcX + i * run->StepX, 4);
      if (int64_t(v) == source.TransparentPixel) continue;
      const uint32_t w = colourTable[v];
      const uint32_t dv = LoadPixel(d, run->DstX + i, bits);
      uint32_t r;
      if (a == 255) {
        r = w;
      } else if (a > 255) {
        if (w == 0) continue;
        r = RefAdd(c, dv, w, a - 256);
      } else {
        if (w == dv) continue;
        r = RefBlend(c, dv, w, 255 - a, a);
      }
      StorePixel(d, run->DstX + i, bits, r);
    }
  }
  ReleasePixels();
}

void TCustomDIBX::DrawIndexed8(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, int firstIndex,
                               bool mirrorH, bool mirrorV, int alpha, const std::array<uint32_t, 256>& colourTable) {
  if (alpha <= 0 || source.BitCount() != 8 || IsEmpty()) return;
  const uint32_t a = uint32_t(std::min(alpha, 255));
  const auto run = ClipBlit(ClipRegion(), x, y, srcRect, source.Bounds(), mirrorH, mirrorV);
  if (!run) return;
  if (RunsFast(*this)) {
    TGatheredRow g(run->Width);
    for (int32_t j = 0; j < run->Height; ++j) {
      const uint8_t* s = source.ScanLine(run->SrcY + j * run->StepY);
      for (int32_t i = 0; i < run->Width; ++i) {
        const int index = s[run->SrcX + i * run->StepX];
        g.Skip[size_t(i)] = index < firstIndex;
        g.Values[size_t(i)] = colourTable[size_t(index)];
      }
      fast32::AddTableRow(Row32(*this, run->DstY + j, run->DstX), g.Values.data(), g.Skip.data(), run->Width, a);
    }
    ReleasePixels();
    return;
  }
  const TChannelMasks c = ChannelMasksOf();
  const int bits = StoredBitCount();
  for (int32_t j = 0; j < run->Height; ++j) {
    const uint8_t* s = source.ScanLine(run->SrcY + j * run->StepY);
    uint8_t* d = ScanLine(run->DstY + j);
    for (int32_t i = 0; i < run->Width; ++i) {
      const int index = s[run->SrcX + i * run->StepX];
      if (index < firstIndex) continue;
      StorePixel(d, run->DstX + i, bits, RefAdd(c, LoadPixel(d, run->DstX + i, bits), colourTable[index], a));
    }
  }
  ReleasePixels();
}

void TCustomDIBX::StretchDrawIndexed8(const TRect& destRect, const TCustomDIBX& source, const TRect& srcRect,
                                      int firstIndex, bool mirrorH, bool mirrorV, int alpha,
                                      const std::array<uint32_t, 256>& colourTable) {
  if (alpha <= 0 || source.BitCount() != 8 || IsEmpty() || destRect.IsEmpty()) return;
  const uint32_t a = uint32_t(std::min(alpha, 255));
  const TRect sr = IntersectRect(srcRect, source.Bounds());
  const TRect k = IntersectRect(destRect, ClipRegion());
  if (sr.IsEmpty() || k.IsEmpty()) return;
  const TStretchAxis ax = MakeAxis(sr.Left, sr.Width(), destRect.Width(), k.Left - destRect.Left, mirrorH);
  const TStretchAxis ay = MakeAxis(sr.Top, sr.Height(), destRect.Height(), k.Top - destRect.Top, mirrorV);
  if (RunsFast(*this)) {
    TGatheredRow g(k.Width());
    for (int32_t j = 0; j < k.Height(); ++j) {
      const uint8_t* s = source.ScanLine(ay.At(j));
      for (int32_t i = 0; i < k.Width(); ++i) {
        const int index = s[ax.At(i)];
        g.Skip[size_t(i)] = index < firstIndex;
        g.Values[size_t(i)] = colourTable[size_t(index)];
      }
      fast32::AddTableRow(Row32(*this, k.Top + j, k.Left), g.Values.data(), g.Skip.data(), k.Width(), a);
    }
    ReleasePixels();
    return;
  }
  const TChannelMasks c = ChannelMasksOf();
  const int bits = StoredBitCount();
  for (int32_t j = 0; j < k.Height(); ++j) {
    const uint8_t* s = source.ScanLine(ay.At(j));
    uint8_t* d = ScanLine(k.Top + j);
    for (int32_t i = 0; i < k.Width(); ++i) {
      const int index = s[ax.At(i)];
      if (index < firstIndex) continue;
      StorePixel(d, k.Left + i, bits, RefAdd(c, LoadPixel(d, k.Left + i, bits), colourTable[index], a));
    }
  }
  ReleasePixels();
}

}  // namespace kest
