#include "scene/clip_list.h"

namespace kest {

namespace {

bool Near(const TRect& a, const TRect& b) {
  constexpr int32_t d = TClipList::kMergeDistance;
  return a.Left <= b.Right + d && a.Right >= b.Left - d && a.Top <= b.Bottom + d && a.Bottom >= b.Top - d;
}

}  // namespace

void TClipList::Add(const TRect& rect) {
  if (rect.IsEmpty()) return;
  TRect adding = rect;
  // Each merge removes a rectangle, so the walk ends.
  for (;;) {
    auto near = FRects.begin();
    while (near != FRects.end() && !Near(*near, adding)) ++near;
    if (near == FRects.end()) break;
    if (near->Contains(adding)) return;
    adding = UnionRect(*near, adding);
    FRects.erase(near);
  }
  FRects.push_back(adding);
}

}  // namespace kest
