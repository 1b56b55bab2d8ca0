#pragma once
// Where a position-based blit lands once the destination is clipped: the
// destination rectangle and, for its first pixel, the source pixel and the
// directions in which the source is walked.

#include <cstdint>
#include <optional>

#include "imaging/blit_flags.h"
#include "imaging/rect.h"

namespace kest {

struct TBlitRun {
  int32_t DstX = 0, DstY = 0, Width = 0, Height = 0;
  int32_t SrcX = 0, SrcY = 0;    // source pixel of (DstX, DstY)
  int32_t StepX = 1, StepY = 1;  // -1 when mirrored
};

// Cuts srcRect to the source surface first (moving the destination with it),
// so that no blit reads outside its source whatever the caller passes; then
// clips the destination against clip, cutting the mirrored side of the
// source. Only the mirror bits of mirror are read. Empty results give nothing.
std::optional<TBlitRun> ClipBlit(const TRect& clip, int32_t x, int32_t y, TRect srcRect, const TRect& sourceBounds,
                                 TBlit mirror);

}  // namespace kest
