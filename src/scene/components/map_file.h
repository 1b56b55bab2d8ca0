#pragma once
// The region maps of selection pictures: named rectangles, ellipses and
// polygons in the picture's pixels, stored little-endian as a count and then
// each region's name, shape and corners or points.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/rect.h"

namespace kest {

struct TMapRegion {
  enum TShape : uint8_t { Rectangle = 0, Ellipse = 1, Polygon = 2 };
  std::string Name;
  TShape Shape = Rectangle;
  // Rectangles and ellipses: inclusive corners; polygons: their points.
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  std::vector<std::pair<int32_t, int32_t>> Points;

  // Whether the pixel (x, y) lies in the region (polygons by the winding rule).
  bool Contains(int32_t x, int32_t y) const;
  // The pixels the region may cover.
  TRect Bounds() const;
};

// Raises EReadError (naming the map) for a damaged map.
std::vector<TMapRegion> ReadMapFile(std::span<const uint8_t> data);
std::vector<uint8_t> WriteMapFile(const std::vector<TMapRegion>& regions);

}  // namespace kest
