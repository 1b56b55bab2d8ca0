#pragma once
// One axis of a stretch blit: the source column (or row) of each destination
// pixel after clipping, by truncated 16.16 steps.
//
// Mirrored, the walk starts on the last source column itself (its position
// (size - 1) << 16, not the far edge of that column) and goes back by the
// step; where it would pass the first column it stays there. So the first
// destination column shows the last source column and the last one the first
// source column, exactly, for every enlargement and for reductions up to
// half size; the other reading (the mirror image of the unmirrored walk)
// drops the first source column as soon as the picture is reduced at all.

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
    const int64_t walked = Start + int64_t(i) * Step;
    if (Mirror) return SrcLo + int32_t(std::max<int64_t>((int64_t(SrcSize - 1) << 16) - walked, 0) >> 16);
    return SrcLo + int32_t(std::min<int64_t>(walked >> 16, SrcSize - 1));
  }
};

inline TStretchAxis MakeAxis(int32_t srcLo, int32_t srcSize, int32_t destSize, int64_t cut, bool mirror) {
  const double q = double(srcSize) / double(destSize);
  return {StretchStart(cut, q), int64_t(q * 65536.0), srcLo, srcSize, mirror};
}

}  // namespace kest
