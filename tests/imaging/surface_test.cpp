#include <gtest/gtest.h>

#include "common/errors.h"
#include "imaging/colour_tables.h"
#include "imaging/dibx.h"
#include "surface_helpers.h"

namespace kest {
namespace {

using test::Solid;

TEST(Surface, NewSurfaceIsOnePixelAt15Bits) {
  TDIBX s;
  EXPECT_EQ(s.Width(), 1);
  EXPECT_EQ(s.Height(), 1);
  EXPECT_EQ(s.BitCount(), 15);
  EXPECT_EQ(s.StoredBitCount(), 16);
  EXPECT_EQ(s.TransparentPixel, -1);
}

TEST(Surface, FormatsReportMasksAndShifts) {
  TDIBX s(2, 2, 16);
  EXPECT_EQ(s.RedMask(), 0xF800u);
  EXPECT_EQ(s.GreenMask(), 0x07E0u);
  EXPECT_EQ(s.BlueMask(), 0x001Fu);
  EXPECT_EQ(s.RedShift(), 11);
  s.SetSize(2, 2, 15);
  EXPECT_EQ(s.GreenMask(), 0x03E0u);
  EXPECT_EQ(s.RedShift(), 10);
  s.SetSize(2, 2, 8);
  EXPECT_EQ(s.RedMask(), 0u);
  EXPECT_GE(s.LineStep(), 2);
  EXPECT_EQ(s.LineStep() % 16, 0);
}

TEST(Surface, ColorToPixelPerFormat) {
  EXPECT_EQ(TDIBX(1, 1, 16).ColorToPixel(0x0000FF), 0xF800);
  EXPECT_EQ(TDIBX(1, 1, 15).ColorToPixel(0x0000FF), 0x7C00);
  EXPECT_EQ(TDIBX(1, 1, 32).ColorToPixel(0x123456), 0x563412);
  EXPECT_EQ(TDIBX(1, 1, 16).ColorToPixel(-1), -1);
  EXPECT_EQ(TDIBX(1, 1, 8).ColorToPixel(0x42), 0x42);
  TColorTables tables(16);
  EXPECT_EQ(tables.ColorToPixel(0x0000FF), 0xF800u);
  EXPECT_EQ(tables.Grey(255), 0xFFFFu);
}

TEST(Surface, FourthByteOfThirtyTwoBitPixelsStaysZero) {
  TDIBX s(3, 1, 32);
  s.SetPixel(0, 0, 0xFFFFFFFF);
  s.Fill(0xAB123456);
  EXPECT_EQ(s.GetPixel(1, 0), 0x123456u);
  EXPECT_EQ(s.ScanLine(0)[3], 0);
}

TEST(Surface, SetBitCountRoundTripsColours) {
  TDIBX s(4, 1, 16);
  const uint32_t colours[4] = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00};
  for (int i = 0; i < 4; ++i) s.SetPixel(i, 0, uint32_t(s.ColorToPixel(colours[i])));
  s.TransparentPixel = s.ColorToPixel(0x00FF00);
  const uint32_t before[4] = {s.GetPixel(0, 0), s.GetPixel(1, 0), s.GetPixel(2, 0), s.GetPixel(3, 0)};
  s.SetBitCount(32);
  EXPECT_EQ(s.GetPixel(1, 0), 0xFFFFFFu);
  EXPECT_EQ(s.GetPixel(2, 0), 0xFF0000u);
  EXPECT_EQ(s.TransparentPixel, 0x00FF00);
  s.SetBitCount(16);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(s.GetPixel(i, 0), before[i]);

  // 24 and 32 bits, by the colour of every pixel.
  TDIBX wide(7, 3, 24);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 7; ++x) wide.SetPixel(x, y, uint32_t(0x9E3779B9u * uint32_t(y * 7 + x + 1)) >> 8);
  TDIBX original(7, 3, 24);
  original.Draw(0, 0, wide, wide.Bounds(), TBlit::None);
  wide.SetBitCount(32);
  TDIBX deep(1, 1, 32);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 7; ++x)
      ASSERT_EQ(wide.GetPixel(x, y), uint32_t(deep.ColorToPixel(original.PixelToColor(original.GetPixel(x, y)))));
  EXPECT_EQ(wide.ScanLine(1)[4 * 6 + 3], 0);
  wide.SetBitCount(24);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 7; ++x) ASSERT_EQ(wide.GetPixel(x, y), original.GetPixel(x, y));
}

TEST(Surface, IndexedToColourUsesPalette) {
  TDIBX s(2, 1, 8);
  uint32_t quads[2] = {0x00102030, 0x00A0B0C0};
  s.SetPaletteEntries(quads, 5, 2);
  s.SetPixel(0, 0, 5);
  s.SetPixel(1, 0, 6);
  TDIBX out(2, 1, 32);
  out.Draw(0, 0, s, s.Bounds(), TBlit::None);
  EXPECT_EQ(out.GetPixel(0, 0), 0x102030u);
  EXPECT_EQ(out.GetPixel(1, 0), 0xA0B0C0u);
}

TEST(Surface, LowBitFormatsPackPixels) {
  TDIBX one(10, 1, 1);
  one.Fill(7);
  EXPECT_EQ(one.ScanLine(0)[0], 0xFF);
  one.SetPixel(1, 0, 0);
  EXPECT_EQ(one.ScanLine(0)[0], 0xBF);
  TDIBX four(3, 1, 4);
  four.Fill(0xA);
  EXPECT_EQ(four.ScanLine(0)[0], 0xAA);
  four.SetPixel(1, 0, 3);
  EXPECT_EQ(four.ScanLine(0)[0], 0xA3);
}

TEST(Surface, SizeLimitsAreEnforced) {
  TDIBX s;
  EXPECT_THROW(s.SetSize(kMaxSurfaceSide + 1, 1, 32), EKestError);
  s.SetSize(-5, 3, 32);
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(s.PixelAddress(0, 0), nullptr);
}

TEST(Fills, AlphaAddSubFormulas) {
  TDIBX s = Solid(2, 1, 32, 0x204060);
  s.FillRectAlpha(s.Bounds(), 0x204060, 128);
  EXPECT_EQ(s.GetPixel(0, 0), 0x204060u) << "pixels equal to P are left alone";
  s.FillRectAlpha(s.Bounds(), 0xFFFFFF, 0);
  EXPECT_EQ(s.GetPixel(0, 0), 0x204060u);
  s.FillRectAlpha(s.Bounds(), 0xFFFFFF, 128);
  EXPECT_EQ(s.GetPixel(0, 0), ((128u * 255 + 127 * 0x20) >> 8 << 16 | (128u * 255 + 127 * 0x40) >> 8 << 8 |
                               (128u * 255 + 127 * 0x60) >> 8));
  TDIBX w = Solid(2, 1, 16, 0x1234);
  w.FillRectAdd(w.Bounds(), 0xFFFF);
  EXPECT_EQ(w.GetPixel(1, 0), 0xFFFFu);
  w.FillRectSub(w.Bounds(), 0x0841);
  EXPECT_EQ(w.GetPixel(1, 0), 0xF7BEu);
}

// Large surfaces filled whole take the string-store path; the fourth byte
// stays 0 and nothing past the last pixel is touched (ASan).
TEST(Fills, WholeLargeSurfacesAtEveryKernelLevel) {
  test::AtEveryKernelLevel([](fast32::TKernelLevel) {
    for (int32_t w : {256, 257, 1000}) {
      TDIBX s(w, 300, 32);
      s.FillRect(s.Bounds(), 0xFF123456);
      for (int32_t y : {0, 150, 299})
        for (int32_t x : {0, w / 2, w - 1}) ASSERT_EQ(s.GetPixel(x, y), 0x123456u) << w << " " << x << "," << y;
      s.Fill(0x000001);
      EXPECT_EQ(s.GetPixel(w - 1, 299), 1u);
    }
  });
}

TEST(Fills, FrameWithWideBandDrawsTopAndBottomOnly) {
  TDIBX s = Solid(6, 6, 32, 0);
  s.FrameRect({0, 0, 6, 6}, 3, 0xFF);
  for (int y = 0; y < 6; ++y) EXPECT_EQ(s.GetPixel(2, y), 0xFFu);
  TDIBX t = Solid(6, 6, 32, 0);
  t.FrameRect({0, 0, 6, 6}, 1, 0xFF);
  EXPECT_EQ(t.GetPixel(0, 3), 0xFFu);
  EXPECT_EQ(t.GetPixel(5, 3), 0xFFu);
  EXPECT_EQ(t.GetPixel(2, 3), 0u);
}

TEST(Fills, BrightnessMovesKeyWithPixels) {
  TDIBX s = Solid(2, 1, 32, 0x101010);
  s.SetPixel(1, 0, 0xF0F0F0);
  s.TransparentPixel = 0x101010;
  s.AdjustBrightness(32);
  EXPECT_EQ(s.GetPixel(0, 0), 0x303030u);
  EXPECT_EQ(s.GetPixel(1, 0), 0xFFFFFFu);
  EXPECT_EQ(s.TransparentPixel, 0x303030);
  s.AdjustBrightness(-64);
  EXPECT_EQ(s.GetPixel(0, 0), 0u);
  EXPECT_EQ(s.TransparentPixel, 0);
}

TEST(Surface, AssignCopiesAcrossFormats) {
  TDIBX a = Solid(3, 2, 32, 0xFF0000);
  TDIBX b(3, 2, 16);
  b.Assign(a);
  EXPECT_EQ(b.GetPixel(2, 1), 0xF800u);
  TDIBX c(3, 2, 32);
  c.Assign(a);
  EXPECT_TRUE(test::SamePixels(a, c));
}

}  // namespace
}  // namespace kest
