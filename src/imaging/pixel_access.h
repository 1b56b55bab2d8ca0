#pragma once
// Reading and writing one pixel value of any stored format inside a row. The
// reference kernels and the slow formats go through these; the fast kernels
// work on whole 32-bit rows instead.

#include <cstdint>
#include <cstring>

namespace kest {

inline uint32_t LoadPixel(const uint8_t* row, int x, int storedBits) {
  switch (storedBits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 8: return row[x];
    case 16: {
      uint16_t v;
      std::memcpy(&v, row + 2 * x, 2);
      return v;
    }
    case 24: {
      const uint8_t* p = row + 3 * x;
      return p[0] | (p[1] << 8) | (uint32_t(p[2]) << 16);
    }
    default: {
      uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      return v;
    }
  }
}

inline void StorePixel(uint8_t* row, int x, int storedBits, uint32_t value) {
  switch (storedBits) {
    case 1: {
      uint8_t bit = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = (value & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      return;
    }
    case 4: {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | (value & 0x0F)) : uint8_t((b & 0x0F) | ((value & 0x0F) << 4));
      return;
    }
    case 8: row[x] = uint8_t(value); return;
    case 16: {
      uint16_t v = uint16_t(value);
      std::memcpy(row + 2 * x, &v, 2);
      return;
    }
    case 24: {
      uint8_t* p = row + 3 * x;
      p[0] = uint8_t(value);
      p[1] = uint8_t(value >> 8);
      p[2] = uint8_t(value >> 16);
      return;
    }
    default: {
      // The fourth byte is never set, so keys and equality tests see colours only.
      uint32_t v = value & 0xFFFFFF;
      std::memcpy(row + 4 * x, &v, 4);
      return;
    }
  }
}

}  // namespace kest
