#pragma once
// The pixel data of one Pexa picture (a layer's colour or alpha): raw,
// deflated or JPEG, in rows or tiles, in stored or protected order.

#include <cstdint>
#include <functional>
#include <span>

#include "imaging/dibx.h"

namespace kest {

struct TPexaPictureFormat {
  int32_t Version = 0;
  uint8_t Compression = 0;  // TPexaCompression
  bool Protected = false;
  uint32_t Code = 0;
  int32_t TileWidth = 0;
  int32_t TileHeight = 0;
  bool IsAlpha = false;      // alpha data is never JPEG
  int32_t JpegQuality = 70;  // for writing
};

// The picture a tile reference (frame, layer) names, or null when the file
// holds none such yet; alpha references ask for that layer's alpha.
using TPexaTileSource = std::function<const TDIBX*(int32_t frame, int32_t layer)>;

// Decodes into picture, which already has its size, bit count and palette.
// Raises EReadError when the data does not hold exactly the picture.
void DecodePexaPixels(std::span<const uint8_t> data, const TPexaPictureFormat& format, TDIBX& picture,
                      const TPexaTileSource& tiles);

// The stored form of a picture (the inverse, for writers). Tiles equal to an
// earlier tile of the picture become references when share is set; tile
// sources are tried for references to earlier pictures.
std::vector<uint8_t> EncodePexaPixels(
    const TDIBX& picture, const TPexaPictureFormat& format, bool share,
    const std::function<bool(const TRect& tile, int32_t& frame, int32_t& layer)>& findEarlier);

// The DIB row length of a picture: whole 4-byte groups.
int64_t PexaRowBytes(int32_t width, int bitCount);

}  // namespace kest
