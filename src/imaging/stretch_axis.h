#pragma once
// One axis of a stretch blit: the source column (or row) of each destination
// pixel after clipping, by truncated 16.16 steps. A mirrored axis is the
// mirror image of the unmirrored one.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kest {

// Where the first visible destination pixel starts in the source after cut
// clipped pixels: the whole part and the truncated fraction of cut * q.
inline int64_t StretchStart(int64_t cut, double q) {
  double start = double(cut) * q;
  double whole = std::floor(start);
  return (int64_t(whole) << 16) + int64_t((start - whole) * 65536.0);
}

struct TStretchAxis {
  int64_t Start = 0, Step = 0;
  int32_t SrcLo = 0, SrcSize = 0;
  bool Mirror = false;

  int32_t At(int32_t i) const {
    int64_t offset = (Start + int64_t(i) * Step) >> 16;
    offset = std::min<int64_t>(offset, SrcSize - 1);
    return Mirror ? SrcLo + SrcSize - 1 - int32_t(offset) : SrcLo + int32_t(offset);
  }
};

inline TStretchAxis MakeAxis(int32_t srcLo, int32_t srcSize, int32_t destSize, int64_t cut, bool mirror) {
  const double q = double(srcSize) / double(destSize);
  return {StretchStart(cut, q), int64_t(q * 65536.0), srcLo, srcSize, mirror};
}

}  // namespace kest
