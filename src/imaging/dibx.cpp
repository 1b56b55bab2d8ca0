#include "imaging/dibx.h"

#include <algorithm>
#include <cstring>

#include "common/errors.h"
#include "imaging/pixel_access.h"

namespace kest {

TDIBX::TDIBX() { SetSize(1, 1, 15); }

TDIBX::TDIBX(int32_t width, int32_t height, int bitCount) { SetSize(width, height, bitCount); }

void TDIBX::SetSize(int32_t width, int32_t height, int bitCount) {
  if (width > kMaxSurfaceSide || height > kMaxSurfaceSide) throw EKestError("Surface size out of range");
  width = std::max(width, 0);
  height = std::max(height, 0);
  const TPixelFormat format = PixelFormatFor(bitCount);
  const bool paletteKinds = format.IsIndexed() != FFormat.IsIndexed() || format.BitCount != FFormat.BitCount;
  ptrdiff_t rowBytes = (ptrdiff_t(width) * format.StoredBitCount + 7) / 8;
  ptrdiff_t step = (rowBytes + 15) & ~ptrdiff_t(15);
  FPixels.assign(size_t(step) * size_t(height), 0);
  FStep = step;
  FFormat = format;
  FWidth = width;
  FHeight = height;
  if (paletteKinds) ResetPalette();
}

void TDIBX::Clear() {
  TCustomDIBX::Clear();
  FPixels.clear();
  FPixels.shrink_to_fit();
  FStep = 0;
}

uint8_t* TDIBX::PixelAddress(int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return nullptr;
  return FPixels.data() + ptrdiff_t(y) * FStep + (ptrdiff_t(x) * FFormat.StoredBitCount) / 8;
}

// Indexed surfaces start with a grey ramp, so a mask or a glyph bitmap shows
// its levels when it is converted to a colour format.
void TDIBX::ResetPalette() {
  FPalette.fill(0);
  const int bits = FFormat.IsIndexed() ? FFormat.BitCount : 8;
  const int levels = 1 << bits;
  for (int i = 0; i < levels; ++i) {
    uint32_t g = uint32_t(i * 255 / (levels - 1));
    FPalette[i] = g | (g << 8) | (g << 16);
  }
}

void TDIBX::GetPaletteEntries(uint32_t* entries, int start, int count) const {
  for (int i = 0; i < count; ++i) {
    int k = start + i;
    entries[i] = (k >= 0 && k < 256) ? FPalette[k] : 0;
  }
}

void TDIBX::SetPaletteEntries(const uint32_t* entries, int start, int count) {
  for (int i = 0; i < count; ++i) {
    int k = start + i;
    if (k >= 0 && k < 256) FPalette[k] = entries[i] & 0xFFFFFF;
  }
}

namespace {

// Nearest palette entry by squared distance; conversions into indexed formats
// are rare, so a small cache of recent colours is enough.
class TNearestIndex {
 public:
  TNearestIndex(const std::array<uint32_t, 256>& palette, int entries) : FPalette(palette), FEntries(entries) {}
  uint32_t Find(uint32_t colour) {
    size_t slot = (colour * 2654435761u) >> 24;
    if (FCacheValid[slot] && FCacheColour[slot] == colour) return FCacheIndex[slot];
    int best = 0;
    int64_t bestDistance = INT64_MAX;
    for (int i = 0; i < FEntries; ++i) {
      uint32_t c = QuadToColor(FPalette[i]);
      int64_t distance = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        int64_t delta = int64_t((c >> shift) & 0xFF) - int64_t((colour >> shift) & 0xFF);
        distance += delta * delta;
      }
      if (distance < bestDistance) {
        bestDistance = distance;
        best = i;
      }
    }
    FCacheValid[slot] = true;
    FCacheColour[slot] = colour;
    FCacheIndex[slot] = uint8_t(best);
    return uint32_t(best);
  }

 private:
  const std::array<uint32_t, 256>& FPalette;
  int FEntries;
  std::array<bool, 256> FCacheValid{};
  std::array<uint32_t, 256> FCacheColour{};
  std::array<uint8_t, 256> FCacheIndex{};
};

}  // namespace

void TDIBX::SetBitCount(int bitCount) {
  if (!IsValidBitCount(bitCount) || bitCount == FFormat.BitCount) return;
  const TPixelFormat oldFormat = FFormat;
  const std::vector<uint8_t> oldPixels = std::move(FPixels);
  const ptrdiff_t oldStep = FStep;
  const std::array<uint32_t, 256> oldPalette = FPalette;
  auto colourOf = [&](uint32_t p) {
    return oldFormat.IsIndexed() ? QuadToColor(oldPalette[p & 0xFF]) : ChannelPixelToColor(oldFormat, p);
  };
  const int64_t oldKey = TransparentPixel;
  SetSize(FWidth, FHeight, bitCount);
  if (FFormat.IsIndexed() && oldFormat.IsIndexed()) FPalette = oldPalette;
  TNearestIndex nearest(FPalette, FFormat.IsIndexed() ? 1 << FFormat.StoredBitCount : 0);
  auto pixelOf = [&](uint32_t colour) {
    return FFormat.IsIndexed() ? nearest.Find(colour) : ChannelColorToPixel(FFormat, colour);
  };
  const int fromBits = oldFormat.BitCount;
  const int toBits = FFormat.BitCount;
  for (int32_t y = 0; y < FHeight; ++y) {
    const uint8_t* from = oldPixels.data() + ptrdiff_t(y) * oldStep;
    uint8_t* to = FPixels.data() + ptrdiff_t(y) * FStep;
    // Every picture loaded for a 32-bit screen goes through here: the two
    // direct depths keep their channels in the same byte order, the fourth
    // byte 0, so their bytes move in a plain loop.
    if (fromBits == 24 && toBits == 32) {
      for (int32_t x = 0; x < FWidth; ++x) {
        to[4 * x] = from[3 * x];
        to[4 * x + 1] = from[3 * x + 1];
        to[4 * x + 2] = from[3 * x + 2];
        to[4 * x + 3] = 0;
      }
    } else if (fromBits == 32 && toBits == 24) {
      for (int32_t x = 0; x < FWidth; ++x) {
        to[3 * x] = from[4 * x];
        to[3 * x + 1] = from[4 * x + 1];
        to[3 * x + 2] = from[4 * x + 2];
      }
    } else {
      for (int32_t x = 0; x < FWidth; ++x)
        StorePixel(to, x, FFormat.StoredBitCount, pixelOf(colourOf(LoadPixel(from, x, oldFormat.StoredBitCount))));
    }
  }
  if (oldKey >= 0 && oldKey <= 0xFFFFFF) TransparentPixel = pixelOf(colourOf(uint32_t(oldKey)));
}

std::unique_ptr<TDIBX> ConvertedCopy(const TCustomDIBX& source, int bitCount, int64_t key) {
  auto copy = std::make_unique<TDIBX>(source.Width(), source.Height(), source.BitCount());
  std::array<uint32_t, 256> palette{};
  source.GetPalette(palette.data());
  copy->SetPalette(palette.data());
  const size_t rowBytes = (size_t(source.Width()) * source.StoredBitCount() + 7) / 8;
  for (int32_t y = 0; y < source.Height(); ++y) std::memcpy(copy->ScanLine(y), source.ScanLine(y), rowBytes);
  copy->TransparentPixel = key;
  copy->SetBitCount(bitCount);
  return copy;
}

const TCustomDIBX& PrepareSource(const TCustomDIBX& dest, const TCustomDIBX& source, const TCustomDIBX*& mask,
                                 TBlendOp& op, TSourceCopies& copies) {
  const TCustomDIBX* src = &source;
  if (src == &dest || source.Format() != dest.Format()) {
    copies.Source = ConvertedCopy(source, dest.BitCount(), op.Key);
    op.Key = copies.Source->TransparentPixel;
    src = copies.Source.get();
  }
  if (mask == &dest) {
    copies.Mask = ConvertedCopy(*mask, 8, -1);
    mask = copies.Mask.get();
  }
  return *src;
}

}  // namespace kest
