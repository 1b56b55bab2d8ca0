#pragma once
// The brightening ramp several wipes share, for whole rows of 32-bit pixels.
// A pixel's level runs 0..511: up to 255 the old pixel brightened (or
// darkened) by the level, above it the new pixel by 511 - level, so the
// picture flares and the new one settles out of the flare.

#include <cstddef>
#include <cstdint>

#include "imaging/wipes/wipe_pixels.h"

namespace kest::wipe32 {

// One pixel of the ramp; the row kernels give exactly this.
inline uint32_t RampPixel(uint32_t from, uint32_t to, int32_t level, bool whiten) {
  level = std::clamp(level, 0, 511);
  const uint32_t p = level <= 255 ? from : to;
  const auto amount = uint32_t(level <= 255 ? level : 511 - level);
  return whiten ? AddGrey32(p, amount) : SubGrey32(p, amount);
}

// level = base + grey[x] (mask pictures).
void RampRowByGrey(uint32_t* out, const uint32_t* from, const uint32_t* to, const uint8_t* grey, int n, int32_t base,
                   bool whiten);
// level = base - distance[x] (rings spreading from a centre).
void RampRowByDistance(uint32_t* out, const uint32_t* from, const uint32_t* to, const int32_t* distance, int n,
                       int32_t base, bool whiten);

// Columns [x0, x0 + n) of a picture seen edge-on while they turn: target
// rows [start[j], start[j] + length[j]) show source rows
// (y - start[j]) * h / length[j], truncated; every other row is cleared.
// Source row r starts at source + r * step.
void SqueezeColumns(uint32_t* const* out, const uint32_t* source, ptrdiff_t step, int32_t h, int32_t x0, int32_t n,
                    const int32_t* start, const int32_t* length);

}  // namespace kest::wipe32
