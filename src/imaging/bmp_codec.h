#pragma once
// BMP pictures: every uncompressed kind (1, 4, 8, 16, 24, 32 bits; rows in
// either order; plain or with bit-field masks, alpha included) and the
// run-length kinds of 4 and 8 bits are read; 24-bit pictures are written.
// Sizes are checked against the bytes present before anything is allocated.

#include <cstdint>
#include <span>

namespace kest {

class TCustomDIBX;
class TDIBX;
class TStream;

// Fills picture in the format closest to the file's (indexed with its palette,
// 15/16 bits, otherwise 32 bits with the fourth byte 0). Given alpha, fills it
// (8 bits) and answers true when the file carries an alpha channel that is not
// 0 throughout. Raises EReadError for data it cannot read.
bool DecodeBmp(std::span<const uint8_t> data, TDIBX& picture, TDIBX* alpha = nullptr);
void EncodeBmp(const TCustomDIBX& surface, TStream& out);

}  // namespace kest
