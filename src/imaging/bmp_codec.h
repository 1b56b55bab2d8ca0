#pragma once
// BMP pictures: every uncompressed kind (1, 4, 8, 16, 24, 32 bits; rows in
// either order; plain or with bit-field masks) is read; 24-bit pictures are
// written. Sizes are checked against the bytes present before anything is
// allocated.

#include <cstdint>
#include <span>

namespace kest {

class TCustomDIBX;
class TDIBX;
class TStream;

// Fills picture in the format closest to the file's (indexed with its palette,
// 15/16 bits, otherwise 32 bits). Raises EReadError for data it cannot read.
void DecodeBmp(std::span<const uint8_t> data, TDIBX& picture);
void EncodeBmp(const TCustomDIBX& surface, TStream& out);

}  // namespace kest
