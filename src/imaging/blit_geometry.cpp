#include "imaging/blit_geometry.h"

#include <algorithm>

namespace kest {

namespace {

// One axis: [lo, hi) of the source, destination start d.
struct TAxis {
  int64_t Lo, Hi, D;
};

void CutToSource(TAxis& a, int64_t sourceSize, bool mirror) {
  if (a.Lo < 0) {
    if (!mirror) a.D += -a.Lo;
    a.Lo = 0;
  }
  if (a.Hi > sourceSize) {
    if (mirror) a.D += a.Hi - sourceSize;
    a.Hi = sourceSize;
  }
}

void CutToClip(TAxis& a, int64_t clipLo, int64_t clipHi, bool mirror) {
  if (a.D < clipLo) {
    int64_t k = clipLo - a.D;
    if (mirror) {
      a.Hi -= k;
    } else {
      a.Lo += k;
    }
    a.D = clipLo;
  }
  int64_t width = a.Hi - a.Lo;
  if (clipHi < a.D + width) {
    int64_t keep = clipHi - a.D;
    if (mirror) {
      a.Lo = a.Hi - keep;
    } else {
      a.Hi = a.Lo + keep;
    }
  }
}

}  // namespace

std::optional<TBlitRun> ClipBlit(const TRect& clip, int32_t x, int32_t y, TRect srcRect, const TRect& sourceBounds,
                                 TBlit mirror) {
  const bool mirrorH = Has(mirror, TBlit::MirrorH), mirrorV = Has(mirror, TBlit::MirrorV);
  TAxis h{srcRect.Left, srcRect.Right, x}, v{srcRect.Top, srcRect.Bottom, y};
  CutToSource(h, sourceBounds.Right, mirrorH);
  CutToSource(v, sourceBounds.Bottom, mirrorV);
  if (h.Hi <= h.Lo || v.Hi <= v.Lo) return std::nullopt;
  CutToClip(h, clip.Left, clip.Right, mirrorH);
  CutToClip(v, clip.Top, clip.Bottom, mirrorV);
  if (h.Hi <= h.Lo || v.Hi <= v.Lo) return std::nullopt;
  TBlitRun run;
  run.DstX = int32_t(h.D);
  run.DstY = int32_t(v.D);
  run.Width = int32_t(h.Hi - h.Lo);
  run.Height = int32_t(v.Hi - v.Lo);
  run.SrcX = int32_t(mirrorH ? h.Hi - 1 : h.Lo);
  run.SrcY = int32_t(mirrorV ? v.Hi - 1 : v.Lo);
  run.StepX = mirrorH ? -1 : 1;
  run.StepY = mirrorV ? -1 : 1;
  return run;
}

}  // namespace kest
