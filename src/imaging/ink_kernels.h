#pragma once
// Row kernels for text ink and indexed pictures on 32-bit surfaces. The
// callers gather what the source holds under each destination pixel (ink
// sample counts, table values) into plain arrays, which keeps the geometry in
// one place and leaves these loops free of it, so the compiler vectorises them.
// Results are those of the reference formulas, bit for bit.

#include <array>
#include <cstdint>

namespace kest::fast32 {

// ink[i] := the ink samples (0 bits) of the 4 x 4 block whose columns start
// at bit firstBit + i * stepBits of four 1-bit rows, for i < n.
void CountMonoInk4(const std::array<const uint8_t*, 4>& rows, int64_t firstBit, int stepBits, int n, uint32_t* ink);

// DrawMono at scale 4: d := (pixel * N + d * (16 - N)) >> 4 per channel, with
// N = ink[i], scaled by alpha first when alpha <= 254.
void MonoInkRow(uint32_t* d, const uint32_t* ink, int n, uint32_t pixel, int alpha);

// Both at once, counting and blending sixteen pixels a step, where the
// blocks start on a byte and follow each other (stepBits 4): the number of
// pixels done, the first ones of the row; the caller does the rest with the
// two kernels above. 0 where the processor has no such step.
int MonoInk4Row(uint32_t* d, const std::array<const uint8_t*, 4>& rows, int64_t firstBit, int stepBits, int n,
                uint32_t pixel, int alpha);

// Adds the number of samples of each level (low two bits of a 4-bit pixel) in
// the scale-wide block at nibble firstX + i * stepX * scale of a 4-bit row.
struct TLevelCounts {
  uint32_t* Level1;
  uint32_t* Level2;
  uint32_t* Level3;
};
void CountLevels(const uint8_t* row, int64_t firstX, int stepX, int scale, int n, const TLevelCounts& counts);

// DrawMono4 for blocks of `samples` samples (a power of two up to 4096).
void Mono4Row(uint32_t* d, const TLevelCounts& counts, int n, uint32_t samples, const std::array<uint32_t, 3>& colours,
              int alpha);

// d := min(d + ((a * w) >> 8), 255) per channel where skip[i] is 0.
void AddTableRow(uint32_t* d, const uint32_t* w, const uint8_t* skip, int n, uint32_t a);

// DrawIndexed4's rule for table values w: copy at 255, additive with strength
// alpha - 256 above it (w = 0 skipped), blend below it (w = d skipped); pixels
// with skip[i] set stay as they are.
void IndexedRow(uint32_t* d, const uint32_t* w, const uint8_t* skip, int n, int alpha);

}  // namespace kest::fast32
