#pragma once
// Rectangles of pixels: Right and Bottom are exclusive, so a rectangle whose
// Right is not above its Left holds no pixel.

#include <algorithm>
#include <climits>
#include <cstdint>

namespace kest {

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  constexpr int32_t Width() const { return Right - Left; }
  constexpr int32_t Height() const { return Bottom - Top; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(const TRect& r) const {
    return r.Left >= Left && r.Top >= Top && r.Right <= Right && r.Bottom <= Bottom;
  }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

// Coordinates that would pass the int32 range stop at its end.
constexpr int32_t SaturatedAdd(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + b;
  return sum > INT32_MAX ? INT32_MAX : sum < INT32_MIN ? INT32_MIN : static_cast<int32_t>(sum);
}

constexpr int32_t SaturatedSub(int32_t a, int32_t b) {
  const int64_t difference = int64_t{a} - b;
  return difference > INT32_MAX ? INT32_MAX : difference < INT32_MIN ? INT32_MIN : static_cast<int32_t>(difference);
}

constexpr TRect MakeRect(int32_t left, int32_t top, int32_t width, int32_t height) {
  return {left, top, SaturatedAdd(left, width), SaturatedAdd(top, height)};
}

// An empty intersection comes back with Right = Left and Bottom = Top.
constexpr TRect IntersectRect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

constexpr TRect UnionRect(const TRect& a, const TRect& b) {
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

}  // namespace kest
