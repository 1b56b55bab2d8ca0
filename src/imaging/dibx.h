#pragma once
// A surface in ordinary memory. Rows are stored top-down with a positive step
// rounded up to 16 bytes, so the fast kernels may read whole groups of pixels
// from any row start. A new surface is 1 x 1 at 15 bits.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/custom_dibx.h"

namespace kest {

class TDIBX : public TCustomDIBX {
 public:
  TDIBX();
  TDIBX(int32_t width, int32_t height, int bitCount);

  const TPixelFormat& Format() const override { return FFormat; }
  // Contents are undefined afterwards (zero in practice). Negative sizes give
  // an empty surface; a side above kMaxSurfaceSide raises EKestError.
  void SetSize(int32_t width, int32_t height, int bitCount) override;
  // Converts every pixel colour-wise into the new format.
  void SetBitCount(int bitCount) override;
  uint8_t* PixelAddress(int32_t x, int32_t y) override;
  ptrdiff_t LineStep() const override { return FStep; }
  void GetPaletteEntries(uint32_t* entries, int start, int count) const override;
  void SetPaletteEntries(const uint32_t* entries, int start, int count) override;
  void Clear() override;

 private:
  TPixelFormat FFormat;
  ptrdiff_t FStep = 0;
  std::vector<uint8_t> FPixels;
  std::array<uint32_t, 256> FPalette{};

  void ResetPalette();
};

// A copy of source in another format, pixel colours and key converted; used
// where a blit meets a source of a different format or draws onto itself.
std::unique_ptr<TDIBX> ConvertedCopy(const TCustomDIBX& source, int bitCount, int64_t key);

// The source (and mask) a blit really reads: the given ones, or private copies
// when the source has another format or either of them is the destination.
struct TSourceCopies {
  std::unique_ptr<TDIBX> Source, Mask;
};
const TCustomDIBX& PrepareSource(const TCustomDIBX& dest, const TCustomDIBX& source, const TCustomDIBX*& mask,
                                 TBlendOp& op, TSourceCopies& copies);

}  // namespace kest
