#include "imaging/colour_tables.h"

namespace kest {

void TColorTables::Build(int bitCount) {
  FFormat = PixelFormatFor(bitCount);
  for (uint32_t v = 0; v < 256; ++v) {
    if (!FFormat.HasChannels()) {
      FRed[v] = v;
      FGreen[v] = FBlue[v] = 0;
    } else {
      FRed[v] = ChannelColorToPixel(FFormat, v);
      FGreen[v] = ChannelColorToPixel(FFormat, v << 8);
      FBlue[v] = ChannelColorToPixel(FFormat, v << 16);
    }
  }
  for (uint32_t g = 0; g < 256; ++g) FGrey[g] = FFormat.HasChannels() ? (FRed[g] | FGreen[g] | FBlue[g]) : g;
}

std::array<uint32_t, 256> TColorTables::PaletteToPixels(const uint32_t* quads, int count) const {
  std::array<uint32_t, 256> pixels{};
  for (int i = 0; i < count && i < 256; ++i) pixels[i] = ColorToPixel(QuadToColor(quads[i]));
  return pixels;
}

}  // namespace kest
