#pragma once
// What the storage tests share: a private temporary folder, files in it, and
// bytes made in the test.

#include <stdlib.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_files.h"

namespace kest::test {

inline TBytes Text(std::string_view s) { return TBytes(s.begin(), s.end()); }

// Bytes that zlib squeezes well (a short pattern) or not at all (a
// generator's noise), made in one cheap pass.
inline TBytes MakeBytes(size_t size, uint32_t seed, bool compressible) {
  TBytes bytes(size);
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    if (compressible) {
      bytes[i] = static_cast<uint8_t>("kest archive line "[(i + seed) % 18]);
    } else {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      bytes[i] = static_cast<uint8_t>(x);
    }
  }
  return bytes;
}

inline TBytes Deflate(const TBytes& plain) {
  uLongf size = compressBound(static_cast<uLong>(plain.size()));
  TBytes out(size);
  compress2(out.data(), &size, plain.data(), static_cast<uLong>(plain.size()), 1);
  out.resize(size);
  return out;
}

inline uint32_t Crc(const TBytes& bytes) {
  return static_cast<uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

// Little-endian record assembly, independent of the library's primitives.
class TByteBuilder {
 public:
  TByteBuilder& Raw(std::string_view s) {
    FBytes.insert(FBytes.end(), s.begin(), s.end());
    return *this;
  }
  TByteBuilder& Raw(const TBytes& b) {
    FBytes.insert(FBytes.end(), b.begin(), b.end());
    return *this;
  }
  TByteBuilder& U8(uint8_t v) {
    FBytes.push_back(v);
    return *this;
  }
  TByteBuilder& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) FBytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  TByteBuilder& U64(uint64_t v) {
    for (int i = 0; i < 8; ++i) FBytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  size_t Size() const { return FBytes.size(); }
  const TBytes& Bytes() const { return FBytes; }

 private:
  TBytes FBytes;
};

}  // namespace kest::test
