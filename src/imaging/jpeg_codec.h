#pragma once
// JPEG pictures through libjpeg: the colour data of Pexa layers stored as
// JPEG. Pictures are read and written as 24-bit surfaces.

#include <cstdint>
#include <span>
#include <vector>

namespace kest {

class TCustomDIBX;
class TDIBX;

// Raises EReadError for data libjpeg cannot read and for pictures of more
// than maxPixels pixels.
void DecodeJpeg(std::span<const uint8_t> data, TDIBX& picture, int64_t maxPixels);
std::vector<uint8_t> EncodeJpeg(const TCustomDIBX& picture, int quality);

}  // namespace kest
