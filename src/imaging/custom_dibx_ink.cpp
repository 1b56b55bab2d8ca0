// Supersampled glyph ink and the blits from indexed sources through a table of
// destination pixel values.
#include <algorithm>
#include <bit>

#include "imaging/blit_geometry.h"
#include "imaging/custom_dibx.h"
#include "imaging/ink_kernels.h"
#include "imaging/pixel_access.h"
#include "imaging/reference_kernels.h"
#include "imaging/stretch_axis.h"

namespace kest {

namespace {

bool IsInkTarget(int bitCount) { return bitCount == 15 || bitCount == 16 || bitCount == 32; }

bool RunsFast(const TCustomDIBX& dest) { return dest.Kernels == TKernelChoice::Fast && dest.StoredBitCount() == 32; }

uint32_t* Row32(TCustomDIBX& dest, int32_t y, int32_t x) { return reinterpret_cast<uint32_t*>(dest.ScanLine(y)) + x; }

// Rows reach the kernels in pieces of at most this many pixels, gathered on
// the stack: glyphs are drawn one at a time every frame and should cost no
// allocation.
constexpr int32_t kPiece = 256;

// Runs kernel(first, length) over the pieces of a row of n pixels.
template <typename Kernel>
void InPieces(int32_t n, Kernel kernel) {
  for (int32_t first = 0; first < n; first += kPiece) kernel(first, std::min(kPiece, n - first));
}

void DrawMonoFast(TCustomDIBX& dest, const TBlitRun& run, const TCustomDIBX& source, const TRect& sr, uint32_t pixel,
                  int alpha) {
  uint32_t ink[kPiece];
  const int64_t firstBit = int64_t(sr.Left) + int64_t(run.SrcX) * 4;
  const int stepBits = run.StepX * 4;
  for (int32_t j = 0; j < run.Height; ++j) {
    const int32_t by = sr.Top + (run.SrcY + j * run.StepY) * 4;
    const std::array<const uint8_t*, 4> rows{source.ScanLine(by), source.ScanLine(by + 1), source.ScanLine(by + 2),
                                             source.ScanLine(by + 3)};
    uint32_t* d = Row32(dest, run.DstY + j, run.DstX);
    InPieces(run.Width, [&](int32_t first, int32_t n) {
      const int64_t bit = firstBit + int64_t(first) * stepBits;
      const int done = fast32::MonoInk4Row(d + first, rows, bit, stepBits, n, pixel, alpha);
      fast32::CountMonoInk4(rows, bit + int64_t(done) * stepBits, stepBits, n - done, ink);
      fast32::MonoInkRow(d + first + done, ink, n - done, pixel, alpha);
    });
  }
}

void DrawMono4Fast(TCustomDIBX& dest, const TBlitRun& run, const TCustomDIBX& source, const TRect& sr, int scale,
                   const std::array<uint32_t, 3>& colours, int alpha) {
  uint32_t counts[3][kPiece];
  const fast32::TLevelCounts c{counts[0], counts[1], counts[2]};
  const int64_t firstX = int64_t(sr.Left) + int64_t(run.SrcX) * scale;
  for (int32_t j = 0; j < run.Height; ++j) {
    const int32_t by = sr.Top + (run.SrcY + j * run.StepY) * scale;
    uint32_t* d = Row32(dest, run.DstY + j, run.DstX);
    InPieces(run.Width, [&](int32_t first, int32_t n) {
      std::fill(&counts[0][0], &counts[0][0] + 3 * kPiece, 0u);
      for (int32_t yy = 0; yy < scale; ++yy)
        fast32::CountLevels(source.ScanLine(by + yy), firstX + int64_t(first) * run.StepX * scale, run.StepX, scale, n,
                            c);
      fast32::Mono4Row(d + first, c, n, uint32_t(scale * scale), colours, alpha);
    });
  }
}

// The table values of one destination row, gathered a piece at a time by
// gather(i, value, skip) (skip marks the pixels the source leaves alone) and
// handed to kernel(d, values, skip, length).
template <typename Gather, typename Kernel>
void TableRow(uint32_t* d, int32_t width, Gather gather, Kernel kernel) {
  uint32_t values[kPiece];
  uint8_t skip[kPiece];
  InPieces(width, [&](int32_t first, int32_t n) {
    for (int32_t i = 0; i < n; ++i) gather(first + i, values[i], skip[i]);
    kernel(d + first, values, skip, n);
  });
}

}  // namespace

// Scale 4 divides by the 16 samples of a block with a shift; other scales
// divide by their own sample count, so a full block is always full ink.
void TCustomDIBX::DrawMono(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, uint32_t pixel,
                           TBlit flags, int alpha, int scale) {
  if (alpha <= 0 || scale <= 0 || scale > 64 || source.BitCount() != 1 || !IsInkTarget(BitCount())) return;
  const TRect sr = IntersectRect(srcRect, source.Bounds());
  const TRect blocks{0, 0, sr.Width() / scale, sr.Height() / scale};
  const auto run = ClipBlit(ClipRegion(), x, y, blocks, blocks, flags);
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
                            const std::array<uint32_t, 3>& colours, TBlit flags, int alpha, int scale) {
  if (alpha <= 0 || scale <= 0 || scale > 64 || source.BitCount() != 4 || !IsInkTarget(BitCount())) return;
  const uint64_t samples = uint64_t(scale) * uint64_t(scale);
  if (!std::has_single_bit(samples)) return;
  alpha = std::min(alpha, 511);
  const TRect sr = IntersectRect(srcRect, source.Bounds());
  const TRect blocks{0, 0, sr.Width() / scale, sr.Height() / scale};
  const auto run = ClipBlit(ClipRegion(), x, y, blocks, blocks, flags);
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

void TCustomDIBX::DrawIndexed4(int32_t x, int32_t y, const TCustomDIBX& source, const TRect& srcRect, TBlit flags,
                               int alpha, const std::array<uint32_t, 16>& colourTable) {
  if (alpha <= 0 || source.BitCount() != 4 || IsEmpty()) return;
  alpha = std::min(alpha, 511);
  const auto run = ClipBlit(ClipRegion(), x, y, srcRect, source.Bounds(), flags);
  if (!run) return;
  const TChannelMasks c = ChannelMasksOf();
  const int bits = StoredBitCount();
  const uint32_t a = uint32_t(alpha);
  if (RunsFast(*this)) {
    for (int32_t j = 0; j < run->Height; ++j) {
      const uint8_t* s = source.ScanLine(run->SrcY + j * run->StepY);
      TableRow(
          Row32(*this, run->DstY + j, run->DstX), run->Width,
          [&](int32_t i, uint32_t& w, uint8_t& skip) {
            const uint32_t v = LoadPixel(s, run->SrcX + i * run->StepX, 4);
            skip = int64_t(v) == source.TransparentPixel;
            w = colourTable[v];
          },
          [&](uint32_t* d, const uint32_t* w, const uint8_t* skip, int32_t n) {
            fast32::IndexedRow(d, w, skip, n, alpha);
          });
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
                               TBlit flags, int alpha, const std::array<uint32_t, 256>& colourTable) {
  if (alpha <= 0 || source.BitCount() != 8 || IsEmpty()) return;
  const uint32_t a = uint32_t(std::min(alpha, 255));
  const auto run = ClipBlit(ClipRegion(), x, y, srcRect, source.Bounds(), flags);
  if (!run) return;
  if (RunsFast(*this)) {
    for (int32_t j = 0; j < run->Height; ++j) {
      const uint8_t* s = source.ScanLine(run->SrcY + j * run->StepY);
      TableRow(
          Row32(*this, run->DstY + j, run->DstX), run->Width,
          [&](int32_t i, uint32_t& w, uint8_t& skip) {
            const int index = s[run->SrcX + i * run->StepX];
            skip = index < firstIndex;
            w = colourTable[size_t(index)];
          },
          [&](uint32_t* d, const uint32_t* w, const uint8_t* skip, int32_t n) {
            fast32::AddTableRow(d, w, skip, n, a);
          });
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
                                      int firstIndex, TBlit flags, int alpha,
                                      const std::array<uint32_t, 256>& colourTable) {
  if (alpha <= 0 || source.BitCount() != 8 || IsEmpty() || destRect.IsEmpty()) return;
  const uint32_t a = uint32_t(std::min(alpha, 255));
  const TRect sr = IntersectRect(srcRect, source.Bounds());
  const TRect k = IntersectRect(destRect, ClipRegion());
  if (sr.IsEmpty() || k.IsEmpty()) return;
  const TStretchAxis ax =
      MakeAxis(sr.Left, sr.Width(), destRect.Width(), k.Left - destRect.Left, Has(flags, TBlit::MirrorH));
  const TStretchAxis ay =
      MakeAxis(sr.Top, sr.Height(), destRect.Height(), k.Top - destRect.Top, Has(flags, TBlit::MirrorV));
  if (RunsFast(*this)) {
    for (int32_t j = 0; j < k.Height(); ++j) {
      const uint8_t* s = source.ScanLine(ay.At(j));
      TableRow(
          Row32(*this, k.Top + j, k.Left), k.Width(),
          [&](int32_t i, uint32_t& w, uint8_t& skip) {
            const int index = s[ax.At(i)];
            skip = index < firstIndex;
            w = colourTable[size_t(index)];
          },
          [&](uint32_t* d, const uint32_t* w, const uint8_t* skip, int32_t n) {
            fast32::AddTableRow(d, w, skip, n, a);
          });
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
