// Exact pixels the blend formulas give, checked on both kernel sets.
#include <gtest/gtest.h>

#include "imaging/dibx.h"
#include "surface_helpers.h"

namespace kest {
namespace {

using test::Solid;

class BlendPins : public ::testing::TestWithParam<TKernelChoice> {
 protected:
  TDIBX Dest(int32_t w, int32_t h, int bits, uint32_t pixel) {
    TDIBX d = Solid(w, h, bits, pixel);
    d.Kernels = GetParam();
    return d;
  }
};

TEST_P(BlendPins, HalfAlphaWhiteOnBlack) {
  TDIBX d32 = Dest(9, 1, 32, 0);
  d32.DrawAlpha(0, 0, Solid(9, 1, 32, 0xFFFFFF), {0, 0, 9, 1}, TBlit::None, 128);
  for (int x = 0; x < 9; ++x) EXPECT_EQ(d32.GetPixel(x, 0), 0x7F7F7Fu);
  TDIBX d16 = Dest(3, 1, 16, 0);
  d16.DrawAlpha(0, 0, Solid(3, 1, 16, 0xFFFF), {0, 0, 3, 1}, TBlit::None, 128);
  EXPECT_EQ(d16.GetPixel(2, 0), 0x7BEFu);
}

TEST_P(BlendPins, AlphaSkipsEqualPixelsAndKeepsFullAlphaQuirk) {
  TDIBX d = Dest(5, 1, 32, 0x808080);
  d.DrawAlpha(0, 0, Solid(5, 1, 32, 0x808080), {0, 0, 5, 1}, TBlit::None, 128);
  EXPECT_EQ(d.GetPixel(4, 0), 0x808080u);
  d.DrawAlpha(0, 0, Solid(5, 1, 32, 0xFFFFFF), {0, 0, 5, 1}, TBlit::None, 255);
  EXPECT_EQ(d.GetPixel(4, 0), 0xFEFEFEu);
}

TEST_P(BlendPins, ColourKeySkipsOnlyTheKey) {
  TDIBX src(6, 1, 32);
  for (int x = 0; x < 6; ++x) src.SetPixel(x, 0, x % 2 ? 0xFFFFFF : 0x00FF00);
  src.TransparentPixel = 0x00FF00;
  TDIBX d = Dest(6, 1, 32, 0x112233);
  d.Draw(0, 0, src, src.Bounds(), TBlit::Transparent);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(d.GetPixel(x, 0), x % 2 ? 0xFFFFFFu : 0x112233u);
  // White is never mistaken for "no key": the fourth byte is always 0.
  src.TransparentPixel = -1;
  TDIBX e = Dest(6, 1, 32, 0x112233);
  e.Draw(0, 0, src, src.Bounds(), TBlit::Transparent);
  EXPECT_EQ(e.GetPixel(1, 0), 0xFFFFFFu);
  EXPECT_EQ(e.ScanLine(0)[7], 0);
}

TEST_P(BlendPins, MaskRules) {
  TDIBX mask(6, 1, 8);
  const uint8_t m[6] = {0, 255, 128, 1, 0, 255};
  for (int x = 0; x < 6; ++x) mask.SetPixel(x, 0, m[x]);
  TDIBX d = Dest(6, 1, 32, 0xC8C8C8);
  d.DrawMask(0, 0, Solid(6, 1, 32, 0x000000), {0, 0, 6, 1}, TBlit::None, mask);
  EXPECT_EQ(d.GetPixel(0, 0), 0xC8C8C8u);
  EXPECT_EQ(d.GetPixel(1, 0), 0u);
  EXPECT_EQ(d.GetPixel(2, 0), 0x636363u);  // (127 * 200) >> 8
  TDIBX e = Dest(6, 1, 32, 0xC8C8C8);
  e.DrawAlphaMask(0, 0, Solid(6, 1, 32, 0x000000), {0, 0, 6, 1}, TBlit::None, mask, 1);
  EXPECT_EQ(e.GetPixel(3, 0), 0xC7C7C7u) << "B = 0 still darkens 200 to 199";
  EXPECT_EQ(e.GetPixel(0, 0), 0xC8C8C8u);
  TDIBX wrongMask(6, 1, 32);
  TDIBX f = Dest(6, 1, 32, 0xC8C8C8);
  f.DrawMask(0, 0, Solid(6, 1, 32, 0), {0, 0, 6, 1}, TBlit::None, wrongMask);
  EXPECT_EQ(f.GetPixel(1, 0), 0xC8C8C8u);
}

TEST_P(BlendPins, AdditiveSaturatesPerChannel) {
  TDIBX d = Dest(5, 1, 32, 0x80F010);
  d.DrawAdd(0, 0, Solid(5, 1, 32, 0x8020F0), {0, 0, 5, 1}, TBlit::None, 255);
  EXPECT_EQ(d.GetPixel(0, 0), 0xFFFFFFu);
  TDIBX e = Dest(5, 1, 32, 0x102030);
  e.DrawAdd(0, 0, Solid(5, 1, 32, 0xFFFFFF), {0, 0, 5, 1}, TBlit::None, 64);
  EXPECT_EQ(e.GetPixel(4, 0), 0x102030u + 0x3F3F3F);
  TDIBX w = Dest(2, 1, 16, 0xF800);
  w.DrawAdd(0, 0, Solid(2, 1, 16, 0xFFFF), {0, 0, 2, 1}, TBlit::None, 128);
  EXPECT_EQ(w.GetPixel(0, 0), 0xF800u | 0x03E0 | 0x000F);
  TDIBX m8 = Dest(3, 1, 8, 200);
  m8.DrawAdd(0, 0, Solid(3, 1, 8, 100), {0, 0, 3, 1}, TBlit::None, 1);
  EXPECT_EQ(m8.GetPixel(0, 0), 255u) << "8-bit surfaces add without the strength";
  TDIBX f = Dest(4, 1, 32, 0x808080);
  f.FillRectAdd(f.Bounds(), 0xFFFFFF);
  EXPECT_EQ(f.GetPixel(3, 0), 0xFFFFFFu);
}

TEST_P(BlendPins, StretchThreeToNinePicksTruncatedColumns) {
  TDIBX src(3, 1, 32);
  for (int x = 0; x < 3; ++x) src.SetPixel(x, 0, uint32_t(x));
  TDIBX d = Dest(9, 1, 32, 0xFFFFFF);
  d.StretchDraw({0, 0, 9, 1}, src, src.Bounds(), TBlit::None, 255);
  const uint32_t expected[9] = {0, 0, 0, 0, 1, 1, 1, 2, 2};
  for (int x = 0; x < 9; ++x) EXPECT_EQ(d.GetPixel(x, 0), expected[x]) << x;
  // Mirrored, the walk starts on the last column and stops at the first:
  // both end columns are exact, enlarged or reduced.
  TDIBX m = Dest(9, 1, 32, 0xFFFFFF);
  m.StretchDraw({0, 0, 9, 1}, src, src.Bounds(), TBlit::MirrorH, 255);
  const uint32_t mirrored[9] = {2, 1, 1, 1, 0, 0, 0, 0, 0};
  for (int x = 0; x < 9; ++x) EXPECT_EQ(m.GetPixel(x, 0), mirrored[x]) << x;
  TDIBX r = Dest(2, 1, 32, 0xFFFFFF);
  r.StretchDraw({0, 0, 2, 1}, src, src.Bounds(), TBlit::MirrorH, 255);
  EXPECT_EQ(r.GetPixel(0, 0), 2u);
  EXPECT_EQ(r.GetPixel(1, 0), 0u);
}

TEST_P(BlendPins, RotateMaskAndEightBitStretchAddFollowTheirPlainBlits) {
  TDIBX mask = Solid(4, 1, 8, 128);
  mask.SetPixel(3, 0, 255);
  TDIBX d = Dest(4, 1, 32, 0);
  d.DrawRotateMask(0, 0, Solid(4, 1, 32, 0xFFFFFF), {0, 0, 4, 1}, 0, 0, 0, 256, 256, TBlit::None, mask, 255);
  EXPECT_EQ(d.GetPixel(0, 0), 0x7E7E7Eu) << "B = (255 * 128) >> 8 = 127";
  EXPECT_EQ(d.GetPixel(3, 0), 0xFDFDFDu) << "B = 254 even where the mask is full";
  TDIBX m8 = Dest(3, 1, 8, 200);
  m8.StretchDrawAdd({0, 0, 3, 1}, Solid(3, 1, 8, 100), {0, 0, 3, 1}, TBlit::None, 1);
  EXPECT_EQ(m8.GetPixel(1, 0), 255u) << "8-bit surfaces add without the strength";
}

TEST_P(BlendPins, QuarterTurnSwapsTheBox) {
  TDIBX src(4, 2, 32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) src.SetPixel(x, y, uint32_t(1 + x + 4 * y));
  TDIBX d = Dest(10, 10, 32, 0);
  d.DrawRotate(5, 2, src, src.Bounds(), 0, 0, 64, 256, 256, TBlit::None, 255);
  int drawn = 0, minX = 99, maxX = -1, minY = 99, maxY = -1;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      if (d.GetPixel(x, y) != 0) {
        ++drawn;
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
      }
  EXPECT_EQ(drawn, 8);
  EXPECT_EQ(maxX - minX + 1, 2);
  EXPECT_EQ(maxY - minY + 1, 4);
  EXPECT_EQ(d.GetPixel(5, 2), 1u) << "the pivot lands on (X, Y)";
}

TEST_P(BlendPins, RotateAlphaAboveFullAdds) {
  TDIBX d = Dest(4, 4, 32, 0x101010);
  d.DrawRotate(0, 0, Solid(4, 4, 32, 0xFFFFFF), {0, 0, 4, 4}, 0, 0, 0, 256, 256, TBlit::None, 300);
  EXPECT_EQ(d.GetPixel(1, 1), 0x101010u + 0x2B2B2B) << "(44 * 255) >> 8 = 43";
}

TEST_P(BlendPins, MirroredHalfOutsideShowsTheMirroredPart) {
  TDIBX src(4, 1, 32);
  for (int x = 0; x < 4; ++x) src.SetPixel(x, 0, uint32_t(10 + x));
  TDIBX d = Dest(4, 1, 32, 0);
  d.SetClipRect({0, 0, 2, 1});
  d.Draw(0, 0, src, src.Bounds(), TBlit::MirrorH);
  EXPECT_EQ(d.GetPixel(0, 0), 13u);
  EXPECT_EQ(d.GetPixel(1, 0), 12u);
  EXPECT_EQ(d.GetPixel(2, 0), 0u);
  TDIBX e = Dest(4, 1, 32, 0);
  e.Draw(-2, 0, src, src.Bounds(), TBlit::MirrorH);
  EXPECT_EQ(e.GetPixel(0, 0), 11u);
  EXPECT_EQ(e.GetPixel(1, 0), 10u);
}

TEST_P(BlendPins, FillMaskWeightsByMask) {
  TDIBX mask(2, 1, 8);
  mask.SetPixel(0, 0, 255);
  mask.SetPixel(1, 0, 0);
  TDIBX d = Dest(2, 1, 32, 0);
  d.FillMask(0, 0, mask, mask.Bounds(), TBlit::None, 0xFFFFFF, 255);
  EXPECT_EQ(d.GetPixel(0, 0), 0xFDFDFDu);  // r = 254, (254 * 255) >> 8
  EXPECT_EQ(d.GetPixel(1, 0), 0u);
  d.FillMask(0, 0, mask, {0, 0, 3, 1}, TBlit::None, 0xFFFFFF, 255);
  EXPECT_EQ(d.GetPixel(0, 0), 0xFDFDFDu) << "a rectangle outside the mask draws nothing";
}

// A bit a call has no use for is ignored, not refused: a masked blit keeps
// the key to its mask, an additive one always skips it, plain tiles stay upright.
TEST_P(BlendPins, BitsACallHasNoUseForChangeNothing) {
  TDIBX src(3, 2, 32);
  for (int32_t i = 0; i < 6; ++i) src.SetPixel(i % 3, i / 3, uint32_t(0x102030 * (i + 1)));
  src.TransparentPixel = src.GetPixel(1, 0);
  const TDIBX mask = Solid(3, 2, 8, 200);
  const auto same = [&](const auto& draw, TBlit used, TBlit unused) {
    TDIBX with = Dest(7, 4, 32, 0x404040), without = Dest(7, 4, 32, 0x404040);
    draw(with, used | unused);
    draw(without, used);
    return test::SamePixels(with, without);
  };
  EXPECT_TRUE(same([&](TDIBX& d, TBlit f) { d.DrawMask(1, 1, src, src.Bounds(), f, mask); }, TBlit::MirrorH,
                   TBlit::Transparent));
  EXPECT_TRUE(
      same([&](TDIBX& d, TBlit f) { d.DrawAdd(1, 1, src, src.Bounds(), f, 200); }, TBlit::MirrorV, TBlit::Transparent));
  EXPECT_TRUE(same([&](TDIBX& d, TBlit f) { d.TileDraw(d.Bounds(), src, src.Bounds(), f, 1, 0, 0, 0); },
                   TBlit::Transparent, TBlit::MirrorH | TBlit::MirrorV));
}

INSTANTIATE_TEST_SUITE_P(Kernels, BlendPins, ::testing::Values(TKernelChoice::Reference, TKernelChoice::Fast),
                         [](const auto& info) { return info.param == TKernelChoice::Fast ? "Fast" : "Reference"; });

}  // namespace
}  // namespace kest
