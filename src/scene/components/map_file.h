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

// A run of one row's pixels: [Left, Right) on row Y.
struct TMapSpan {
  int32_t Y = 0;
  int32_t Left = 0;
  int32_t Right = 0;
};

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
  // The pixels of a width x height picture that Contains accepts, as runs
  // row by row from the top: the region scan-converted in one pass.
  std::vector<TMapSpan> Spans(int32_t width, int32_t height) const;
};

// Raises EReadError (naming the map) for a damaged map.
std::vector<TMapRegion> ReadMapFile(std::span<const uint8_t> data);
std::vector<uint8_t> WriteMapFile(const std::vector<TMapRegion>& regions);

}  // namespace kest
