#pragma once
// The two layers a text is rendered into once per layout: colours (in the
// target's format) and coverage (8 bits). Each stamp lays a coverage bitmap
// of one colour over what is there: coverage c becomes c + k(255 − c)/255,
// and the colour moves toward the stamp's by k × 255 ÷ (new c), so a body
// drawn over its outline over its shadow keeps soft edges against the
// picture the layers are later drawn onto.

#include <cstdint>
#include <vector>

#include "imaging/custom_dibx.h"

namespace kest {

class TGlyphLayers {
 public:
  TGlyphLayers(TCustomDIBX& colour, TCustomDIBX& coverage) : FColour(colour), FCoverage(coverage) {}

  // A w × h coverage bitmap with its top-left corner at (x, y); colour is
  // 0x00BBGGRR. Parts outside the layers are cut off.
  void Stamp(const uint8_t* coverage, int32_t w, int32_t h, int32_t x, int32_t y, int32_t colour);
  // A rectangle of full coverage.
  void Bar(const TRect& rect, int32_t colour);

  TCustomDIBX& Colour() { return FColour; }
  TCustomDIBX& Coverage() { return FCoverage; }

 private:
  void StampRow32(uint32_t* colours, uint8_t* cover, const uint8_t* k, int32_t n, uint32_t pixel);
  void StampRowAny(int32_t x, int32_t y, const uint8_t* k, int32_t n, int32_t colour);

  TCustomDIBX& FColour;
  TCustomDIBX& FCoverage;
};

// The outline of a w × h coverage bitmap: every offset of the (2b + 1) ×
// (2b + 1) square stamped in turn into a (w + 2b) × (h + 2b) bitmap; wide
// outlines are worked out along rows and columns to the same coverage,
// within rounding.
std::vector<uint8_t> OutlineCoverage(const uint8_t* coverage, int32_t w, int32_t h, int32_t b);

}  // namespace kest
