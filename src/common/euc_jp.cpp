#include "common/euc_jp.h"

#include <cstdint>

namespace kest {

namespace {

constexpr bool IsEucByte(uint8_t b) { return b >= 0xA1 && b <= 0xFE; }
constexpr bool IsHalfKana(uint8_t b) { return b >= 0xA1 && b <= 0xDF; }

}  // namespace

std::string EucJpToSjis(std::string_view euc) {
  std::string out;
  out.reserve(euc.size());
  const size_t n = euc.size();
  size_t i = 0;
  while (i < n) {
    const auto b = static_cast<uint8_t>(euc[i]);
    const uint8_t next = i + 1 < n ? static_cast<uint8_t>(euc[i + 1]) : 0;
    if (b < 0x80) {
      out += b == 0 ? ' ' : static_cast<char>(b);
      ++i;
    } else if (b == 0x8E && IsHalfKana(next)) {
      out += static_cast<char>(next);
      i += 2;
    } else if (b == 0x8F && IsEucByte(next) && i + 2 < n && IsEucByte(static_cast<uint8_t>(euc[i + 2]))) {
      out += '?';
      i += 3;
    } else if (IsEucByte(b) && IsEucByte(next)) {
      // JIS row pairs share one Shift-JIS lead byte; odd rows take the lower
      // half of its trail range and even rows the upper half.
      const int row = b & 0x7F;
      const int cell = next & 0x7F;
      const int lead = ((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0);
      const int trail = (row & 1) ? cell + (cell >= 0x60 ? 0x20 : 0x1F) : cell + 0x7E;
      out += static_cast<char>(lead);
      out += static_cast<char>(trail);
      i += 2;
    } else {
      out += '?';
      ++i;
    }
  }
  return out;
}

}  // namespace kest
