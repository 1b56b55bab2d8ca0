#pragma once
// Colour conversion tables for the output format the screen chose: built once
// at start-up (and again when the format changes) so per-glyph and per-frame
// colour work is a table look-up. Owned by whoever draws with them.

#include <array>
#include <cstdint>

#include "imaging/pixel_format.h"

namespace kest {

class TColorTables {
 public:
  explicit TColorTables(int bitCount = 32) { Build(bitCount); }
  void Build(int bitCount);

  int BitCount() const { return FFormat.BitCount; }
  // Same result as the surface's ColorToPixel for colour formats.
  uint32_t ColorToPixel(uint32_t colour) const {
    return FRed[colour & 0xFF] | FGreen[(colour >> 8) & 0xFF] | FBlue[(colour >> 16) & 0xFF];
  }
  // The pixel value of grey level g (0..255), for ink and brightness.
  uint32_t Grey(uint8_t g) const { return FGrey[g]; }
  // The 256 pixel values of a palette of quads, for the indexed blits.
  std::array<uint32_t, 256> PaletteToPixels(const uint32_t* quads, int count) const;

 private:
  TPixelFormat FFormat;
  std::array<uint32_t, 256> FRed{}, FGreen{}, FBlue{}, FGrey{};
};

}  // namespace kest
