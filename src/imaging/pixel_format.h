#pragma once
// The seven pixel formats and the conversions between pixel values and
// colours (0x00BBGGRR). Cross-format copies go colour-wise through one pair of
// functions, so a keyed pixel stays keyed after conversion.

#include <array>
#include <cstdint>

namespace kest {

struct TChannel {
  uint32_t Mask = 0;
  int Bits = 0;
  int Shift = 0;
  friend bool operator==(const TChannel&, const TChannel&) = default;
};

struct TPixelFormat {
  int BitCount = 0;        // logical: 1, 4, 8, 15, 16, 24, 32
  int StoredBitCount = 0;  // bits a pixel takes in memory (16 for 15)
  TChannel Red, Green, Blue;

  bool HasChannels() const { return Red.Mask != 0; }
  bool IsIndexed() const { return BitCount <= 8; }
  // The channel fields all arithmetic runs on: three for colour formats,
  // one holding the whole value for indexed and grey formats.
  int ChannelCount() const { return HasChannels() ? 3 : 1; }
  std::array<uint32_t, 3> ChannelMasks() const;
  friend bool operator==(const TPixelFormat&, const TPixelFormat&) = default;
};

// Unknown bit counts fall back to 32 bits.
TPixelFormat PixelFormatFor(int bitCount);
bool IsValidBitCount(int bitCount);

// Only for formats with channels; the fourth byte of 32-bit pixels stays 0.
uint32_t ChannelColorToPixel(const TPixelFormat& format, uint32_t colour);
// 5- and 6-bit fields widen by repeating their top bits, so 31 becomes 255.
uint32_t ChannelPixelToColor(const TPixelFormat& format, uint32_t pixel);

// A palette entry is a quad blue, green, red, 0 (0x00RRGGBB as a number).
constexpr uint32_t QuadToColor(uint32_t quad) {
  return ((quad >> 16) & 0xFF) | (quad & 0xFF00) | ((quad & 0xFF) << 16);
}
constexpr uint32_t ColorToQuad(uint32_t colour) { return QuadToColor(colour); }

}  // namespace kest
