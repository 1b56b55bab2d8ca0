// Clipping at every edge: nothing lands outside the clip, and nothing is read
// or written outside either surface (the sanitizer build checks the memory).
#include <gtest/gtest.h>

#include <vector>

#include "imaging/dibx.h"
#include "surface_helpers.h"

namespace kest {
namespace {

using test::Solid;

struct TEdgeCase {
  int32_t X, Y;
};

// Draws a 4x3 source at many positions around and across a 6x5 surface
// clipped to its inner 4x3, then checks that only pixels inside both the clip
// and the drawn rectangle changed.
void CheckEveryPosition(TKernelChoice kernels, TBlit mirror) {
  TDIBX src = Solid(4, 3, 32, 0xABCDEF);
  TDIBX mask = Solid(4, 3, 8, 255);
  const TRect clip{1, 1, 5, 4};
  for (int32_t y = -5; y <= 7; ++y)
    for (int32_t x = -6; x <= 8; ++x) {
      for (int op = 0; op < 4; ++op) {
        TDIBX d = Solid(6, 5, 32, 0x010101);
        d.Kernels = kernels;
        d.SetClipRect(clip);
        switch (op) {
          case 0: d.Draw(x, y, src, src.Bounds(), mirror); break;
          case 1: d.DrawAlpha(x, y, src, src.Bounds(), mirror, 128); break;
          case 2: d.DrawMask(x, y, src, src.Bounds(), mirror, mask); break;
          default: d.FillMask(x, y, mask, mask.Bounds(), mirror, 0xABCDEF, 255); break;
        }
        const TRect drawn = IntersectRect(MakeRect(x, y, 4, 3), clip);
        for (int32_t py = 0; py < 5; ++py)
          for (int32_t px = 0; px < 6; ++px) {
            const bool inside = px >= drawn.Left && px < drawn.Right && py >= drawn.Top && py < drawn.Bottom;
            ASSERT_EQ(d.GetPixel(px, py) != 0x010101u, inside) << "op " << op << " at " << x << "," << y;
          }
      }
    }
}

TEST(Clipping, EveryEdgeAndNegativePositions) {
  for (TKernelChoice k : {TKernelChoice::Reference, TKernelChoice::Fast})
    for (TBlit mirror : {TBlit::None, TBlit::MirrorH, TBlit::MirrorV, TBlit::MirrorH | TBlit::MirrorV})
      CheckEveryPosition(k, mirror);
}

TEST(Clipping, EmptyRectanglesDrawNothing) {
  TDIBX src = Solid(4, 4, 32, 0xFFFFFF);
  TDIBX d = Solid(8, 8, 32, 0);
  d.Draw(2, 2, src, {2, 2, 2, 4}, TBlit::None);
  d.Draw(2, 2, src, {3, 0, 1, 4}, TBlit::None);
  d.FillRect({5, 5, 5, 9}, 0xFFFFFF);
  d.FillRect({6, 6, 2, 2}, 0xFFFFFF);
  d.StretchDraw({0, 0, 0, 8}, src, src.Bounds(), TBlit::None, 255);
  d.StretchDraw({0, 0, 8, 8}, src, {1, 1, 1, 1}, TBlit::None, 255);
  d.SetClipRect({3, 3, 3, 3});
  d.Fill(0xFFFFFF);
  d.Draw(0, 0, src, src.Bounds(), TBlit::None);
  d.DrawRotate(4, 4, src, src.Bounds(), 2, 2, 20, 256, 256, TBlit::None, 255);
  d.ResetClip();
  EXPECT_TRUE(test::SamePixels(d, Solid(8, 8, 32, 0)));
}

TEST(Clipping, SourceRectanglesOutsideTheSourceAreCut) {
  TDIBX src = Solid(4, 4, 32, 0xFFFFFF);
  TDIBX d = Solid(8, 8, 32, 0);
  d.Draw(2, 2, src, {-2, -2, 6, 6}, TBlit::None);
  EXPECT_EQ(d.GetPixel(3, 3), 0u);
  EXPECT_EQ(d.GetPixel(4, 4), 0xFFFFFFu);
  EXPECT_EQ(d.GetPixel(7, 7), 0xFFFFFFu);
  TDIBX e = Solid(8, 8, 32, 0);
  e.StretchDraw({0, 0, 8, 8}, src, {-100, -100, 100, 100}, TBlit::None, 255);
  e.DrawRotate(4, 4, src, {-5, -5, 50, 50}, 0, 0, 37, 300, 300, TBlit::MirrorH | TBlit::MirrorV, 200);
  e.TileDraw({0, 0, 8, 8}, src, {2, 2, 9, 9}, TBlit::None, -3, 5, -20, -20);
  SUCCEED();
}

TEST(Clipping, AddClipRectUnitesAndClamps) {
  TDIBX d(10, 10, 32);
  d.AddClipRect({-5, -5, 2, 2});
  EXPECT_EQ(d.ClipRegion(), (TRect{0, 0, 2, 2}));
  d.AddClipRect({6, 6, 20, 20});
  EXPECT_EQ(d.ClipRegion(), (TRect{0, 0, 10, 10}));
  d.ResetClip();
  d.AddClipRect({20, 20, 30, 30});
  EXPECT_FALSE(d.ClipActive);
  d.AddClipRect({3, 3, 4, 5});
  d.Fill(0xFF);
  EXPECT_EQ(d.GetPixel(3, 4), 0xFFu);
  EXPECT_EQ(d.GetPixel(4, 4), 0u);
}

TEST(Clipping, DrawingOntoItselfReadsTheOldPixels) {
  for (TKernelChoice k : {TKernelChoice::Reference, TKernelChoice::Fast}) {
    TDIBX d(8, 1, 32);
    d.Kernels = k;
    for (int x = 0; x < 8; ++x) d.SetPixel(x, 0, uint32_t(x + 1));
    d.Draw(1, 0, d, {0, 0, 7, 1}, TBlit::None);
    for (int x = 1; x < 8; ++x) EXPECT_EQ(d.GetPixel(x, 0), uint32_t(x));
  }
}

}  // namespace
}  // namespace kest
