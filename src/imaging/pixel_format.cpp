#include "imaging/pixel_format.h"

namespace kest {

namespace {

TChannel MakeChannel(int bits, int shift) { return {((1u << bits) - 1) << shift, bits, shift}; }

uint32_t Widen(uint32_t field, int bits) {
  if (bits >= 8) return field;
  uint32_t value = field << (8 - bits);
  return value | (value >> bits);
}

}  // namespace

std::array<uint32_t, 3> TPixelFormat::ChannelMasks() const {
  if (HasChannels()) return {Red.Mask, Green.Mask, Blue.Mask};
  return {(1u << StoredBitCount) - 1, 0, 0};
}

bool IsValidBitCount(int bitCount) {
  switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 15:
    case 16:
    case 24:
    case 32: return true;
    default: return false;
  }
}

TPixelFormat PixelFormatFor(int bitCount) {
  TPixelFormat f;
  switch (bitCount) {
    case 1:
    case 4:
    case 8: f.BitCount = f.StoredBitCount = bitCount; return f;
    case 15:
      f.BitCount = 15;
      f.StoredBitCount = 16;
      f.Blue = MakeChannel(5, 0);
      f.Green = MakeChannel(5, 5);
      f.Red = MakeChannel(5, 10);
      return f;
    case 16:
      f.BitCount = f.StoredBitCount = 16;
      f.Blue = MakeChannel(5, 0);
      f.Green = MakeChannel(6, 5);
      f.Red = MakeChannel(5, 11);
      return f;
    case 24: f.BitCount = f.StoredBitCount = 24; break;
    default: f.BitCount = f.StoredBitCount = 32; break;
  }
  f.Blue = MakeChannel(8, 0);
  f.Green = MakeChannel(8, 8);
  f.Red = MakeChannel(8, 16);
  return f;
}

uint32_t ChannelColorToPixel(const TPixelFormat& f, uint32_t colour) {
  uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  return ((r >> (8 - f.Red.Bits)) << (f.Green.Bits + f.Blue.Bits)) | ((g >> (8 - f.Green.Bits)) << f.Blue.Bits) |
         (b >> (8 - f.Blue.Bits));
}

uint32_t ChannelPixelToColor(const TPixelFormat& f, uint32_t pixel) {
  uint32_t r = Widen((pixel & f.Red.Mask) >> f.Red.Shift, f.Red.Bits);
  uint32_t g = Widen((pixel & f.Green.Mask) >> f.Green.Shift, f.Green.Bits);
  uint32_t b = Widen((pixel & f.Blue.Mask) >> f.Blue.Shift, f.Blue.Bits);
  return r | (g << 8) | (b << 16);
}

}  // namespace kest
