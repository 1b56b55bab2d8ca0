#include "platform/ui_canvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace kest {
namespace {

int CountEqual(const TUiBitmap& b, uint32_t value) {
  int n = 0;
  for (uint32_t p : b.Pixels()) n += p == value;
  return n;
}

TEST(UiCanvas, FillRectIsClippedToTheCanvas) {
  TUiBitmap b(8, 6);
  TUiCanvas c = b.Canvas();
  c.FillRect(-3, -2, 6, 4, 1);  // covers columns 0..2, rows 0..1
  EXPECT_EQ(CountEqual(b, 1), 6);
  EXPECT_EQ(b.At(2, 1), 1u);
  EXPECT_EQ(b.At(3, 1), 0u);
  EXPECT_EQ(b.At(2, 2), 0u);
  c.FillRect(6, 4, 100, 100, 2);  // bottom-right corner only
  EXPECT_EQ(CountEqual(b, 2), 4);
}

TEST(UiCanvas, RectanglesWhollyOutsideOrDegenerateDrawNothing) {
  TUiBitmap b(8, 6);
  TUiCanvas c = b.Canvas();
  c.FillRect(8, 0, 5, 5, 1);
  c.FillRect(0, 6, 5, 5, 1);
  c.FillRect(-5, 0, 5, 5, 1);
  c.FillRect(0, 0, 0, 5, 1);
  c.FillRect(0, 0, 5, -1, 1);
  c.FillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1);  // ends at (-1, -1)
  c.FrameRect(INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX, 1);
  c.HLine(0, -1, 8, 1);
  c.VLine(-1, 0, 6, 1);
  EXPECT_EQ(CountEqual(b, 0), 48);
  c.FillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1);
  c.FillRect(-INT_MAX, -INT_MAX, INT_MAX, INT_MAX, 1);
  EXPECT_EQ(CountEqual(b, 0), 48);
}

TEST(UiCanvas, FrameRectDrawsTheOutlineOnly) {
  TUiBitmap b(8, 8);
  TUiCanvas c = b.Canvas();
  c.FrameRect(1, 1, 5, 4, 7);
  EXPECT_EQ(CountEqual(b, 7), 14);
  EXPECT_EQ(b.At(3, 2), 0u);
  EXPECT_EQ(b.At(5, 4), 7u);
  c.FrameRect(0, 7, 3, 1, 9);  // a one-pixel-high frame is a line
  EXPECT_EQ(CountEqual(b, 9), 3);
}

TEST(UiCanvas, ClipRectangleLimitsEveryOperation) {
  TUiBitmap b(10, 10);
  TUiCanvas c = b.Canvas();
  c.SetClip({2, 2, 4, 4});
  c.IntersectClip({4, 0, 10, 5});  // leaves columns 4..5, rows 2..4
  c.FillRect(0, 0, 10, 10, 5);
  EXPECT_EQ(CountEqual(b, 5), 6);
  EXPECT_EQ(b.At(4, 2), 5u);
  EXPECT_EQ(b.At(6, 2), 0u);
  c.ClearClip();
  c.FillRect(9, 9, 1, 1, 6);
  EXPECT_EQ(b.At(9, 9), 6u);
}

TEST(UiCanvas, BlendCoverageMixesAndKeepsTheBitmapOffsetWhenClipped) {
  TUiBitmap b(4, 2, 0x00000000);
  TUiCanvas c = b.Canvas();
  const uint8_t coverage[] = {10, 20, 30, 0, 128, 255};  // 3 × 2 with pitch 3
  c.BlendCoverage(-1, 0, coverage, 3, 2, 3, 0x000000FF);
  EXPECT_EQ(b.At(0, 0), 20u);
  EXPECT_EQ(b.At(1, 0), 30u);
  EXPECT_EQ(b.At(0, 1), 128u);
  EXPECT_EQ(b.At(1, 1), 255u);
  EXPECT_EQ(b.At(2, 0), 0u);
  TUiBitmap white(1, 1, 0x00FFFFFF);
  TUiCanvas w = white.Canvas();
  const uint8_t half = 128;
  w.BlendCoverage(0, 0, &half, 1, 1, 1, 0x00000000);
  EXPECT_EQ(white.At(0, 0), 0x007F7F7Fu);
}

TEST(UiCanvas, UnusableViewsDrawNothing) {
  std::vector<uint32_t> pixels(16, 0);
  TUiCanvas narrow{pixels.data(), 4, 4, 3};  // pitch shorter than a row
  narrow.FillRect(0, 0, 4, 4, 1);
  TUiCanvas null_view{nullptr, 4, 4, 4};
  null_view.FillRect(0, 0, 4, 4, 1);
  EXPECT_EQ(null_view.At(0, 0), 0u);
  for (uint32_t p : pixels) EXPECT_EQ(p, 0u);
  TUiBitmap empty(-5, 3);
  EXPECT_EQ(empty.Width(), 0);
  TUiCanvas e = empty.Canvas();
  e.FillRect(0, 0, 1, 1, 1);
  EXPECT_TRUE(empty.Pixels().empty());
}

// Any arguments on a view inside a larger buffer leave the guard border alone.
TEST(UiCanvas, RandomOperationsNeverWriteOutsideTheView) {
  constexpr int kW = 20, kH = 16, kGuard = 3, kPitch = kW + 2 * kGuard;
  std::vector<uint32_t> buffer(static_cast<size_t>(kPitch) * (kH + 2 * kGuard), 0xDEADBEEF);
  TUiCanvas c{buffer.data() + kGuard * kPitch + kGuard, kW, kH, kPitch};
  uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    int v = static_cast<int>(seed >> 8) % 60 - 20;
    return (seed & 0x80) ? v : (seed & 0x40 ? INT_MAX - (v + 20) : INT_MIN + (v + 20));
  };
  std::vector<uint8_t> coverage(64 * 64, 200);
  for (int i = 0; i < 5000; ++i) {
    int x = next(), y = next(), w = next() % 64, h = next() % 64;
    c.FillRect(x, y, w, h, 1);
    c.FrameRect(x, y, next(), next(), 2);
    c.BlendRect(x, y, next(), next(), 3, 100);
    c.BlendCoverage(x, y, coverage.data(), std::abs(w), std::abs(h), 64, 4);
  }
  for (int y = 0; y < kH + 2 * kGuard; ++y) {
    for (int x = 0; x < kPitch; ++x) {
      bool inside = x >= kGuard && x < kGuard + kW && y >= kGuard && y < kGuard + kH;
      if (!inside) {
        ASSERT_EQ(buffer[static_cast<size_t>(y) * kPitch + x], 0xDEADBEEFu) << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace kest
