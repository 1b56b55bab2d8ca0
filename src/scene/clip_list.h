#pragma once
// The rectangles a base screen redraws in its next draw phase. Rectangles
// that lie near each other are merged, so a moving control costs one
// rectangle, not a trail of them.

#include <vector>

#include "imaging/rect.h"

namespace kest {

class TClipList {
 public:
  // Rectangles closer than this on every side are merged into their union.
  static constexpr int32_t kMergeDistance = 20;

  void Add(const TRect& rect);
  void Clear() { FRects.clear(); }
  bool IsEmpty() const { return FRects.empty(); }
  const std::vector<TRect>& Rects() const { return FRects; }

 private:
  std::vector<TRect> FRects;
};

}  // namespace kest
