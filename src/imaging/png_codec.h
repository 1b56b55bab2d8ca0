#pragma once
// PNG pictures through libpng: any kind is read as 8-bit blue, green, red and
// alpha; captures are written as 24-bit pictures.

#include <cstdint>
#include <span>

namespace kest {

class TCustomDIBX;
class TDIBX;
class TStream;

// Fills picture as a 32-bit surface; when the picture has an alpha channel or
// a transparency chunk and alpha is given, alpha receives it as an 8-bit
// surface. Answers whether the picture had transparency. Raises EReadError for
// data it cannot read, for sizes over kMaxSurfaceSide, and for sizes the
// compressed data cannot possibly hold.
bool DecodePng(std::span<const uint8_t> data, TDIBX& picture, TDIBX* alpha);
void EncodePng(const TCustomDIBX& surface, TStream& out);

}  // namespace kest
