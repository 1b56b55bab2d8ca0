#include <gtest/gtest.h>

#include "imaging/dibx.h"
#include "surface_helpers.h"

namespace kest {
namespace {

using test::Solid;

TDIBX Numbered(int32_t w, int32_t h) {
  TDIBX s(w, h, 32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.SetPixel(x, y, uint32_t(1 + x + 10 * y));
  return s;
}

TEST(Tiles, ScrollWrapsIntoThePatternBothWays) {
  TDIBX pattern = Numbered(3, 1);
  for (int32_t scroll : {1, -2, 4}) {
    TDIBX d = Solid(7, 1, 32, 0);
    d.TileDraw({0, 0, 7, 1}, pattern, pattern.Bounds(), TBlit::None, scroll, 0, 0, 0);
    for (int x = 0; x < 7; ++x) EXPECT_EQ(d.GetPixel(x, 0), uint32_t(1 + (x + 1) % 3)) << scroll;
  }
}

TEST(Tiles, SpacingLeavesGapsAndRestoresTheClip) {
  TDIBX pattern = Numbered(2, 1);
  TDIBX d = Solid(8, 1, 32, 0);
  d.SetClipRect({0, 0, 7, 1});
  d.TileDraw({1, 0, 8, 1}, pattern, pattern.Bounds(), TBlit::None, 0, 0, 1, 0);
  const uint32_t expected[8] = {0, 1, 2, 0, 1, 2, 0, 0};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(d.GetPixel(x, 0), expected[x]) << x;
  EXPECT_EQ(d.ClipRegion(), (TRect{0, 0, 7, 1}));
}

TEST(Tiles, EmptyPatternDrawsNothing) {
  TDIBX pattern = Numbered(2, 2);
  TDIBX d = Solid(4, 4, 32, 0);
  d.TileDraw(d.Bounds(), pattern, {1, 1, 1, 2}, TBlit::None, 3, 3, 0, 0);
  d.TileZoomDraw(d.Bounds(), pattern, {0, 0, 0, 0}, TBlit::None, 255, 0, 0, 256, 256, 2, 2);
  EXPECT_TRUE(test::SamePixels(d, Solid(4, 4, 32, 0)));
}

TEST(Tiles, ZoomedTilesStretchEachCell) {
  TDIBX pattern = Numbered(2, 1);
  TDIBX d = Solid(8, 2, 32, 0);
  d.TileZoomDraw(d.Bounds(), pattern, pattern.Bounds(), TBlit::None, 255, 0, 0, 512, 512, 2, 1);
  const uint32_t expected[8] = {1, 1, 2, 2, 1, 1, 2, 2};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(d.GetPixel(x, 1), expected[x]) << x;
}

TEST(Patterns, FillPatternWrapsOffsetsAndMirrors) {
  TDIBX pattern = Numbered(3, 2);
  TDIBX d = Solid(4, 3, 32, 0);
  d.FillPattern({0, 0, 4, 3}, pattern, -1, 1, TBlit::None);
  EXPECT_EQ(d.GetPixel(0, 0), pattern.GetPixel(2, 1));
  EXPECT_EQ(d.GetPixel(1, 1), pattern.GetPixel(0, 0));
  TDIBX m = Solid(3, 1, 32, 0);
  m.FillPattern({0, 0, 3, 1}, pattern, 0, 0, TBlit::MirrorH);
  EXPECT_EQ(m.GetPixel(0, 0), 3u);
}

TEST(Patterns, FramePatternPaintsAllFourBands) {
  TDIBX pattern = Solid(2, 2, 32, 0xFF);
  TDIBX d = Solid(5, 5, 32, 0);
  d.FramePattern(d.Bounds(), 1, pattern, TBlit::None);
  EXPECT_EQ(d.GetPixel(0, 2), 0xFFu);
  EXPECT_EQ(d.GetPixel(4, 2), 0xFFu);
  EXPECT_EQ(d.GetPixel(2, 4), 0xFFu);
  EXPECT_EQ(d.GetPixel(2, 2), 0u);
}

TEST(Ink, MonoHalfCoveredBlockIsHalfInk) {
  TDIBX glyph(4, 4, 1);
  glyph.Fill(1);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) glyph.SetPixel(x, y, 0);
  TDIBX d = Solid(1, 1, 32, 0);
  d.DrawMono(0, 0, glyph, glyph.Bounds(), 0xFFFFFF, TBlit::None, 255, 4);
  EXPECT_EQ(d.GetPixel(0, 0), 0x7F7F7Fu);
  TDIBX w = Solid(1, 1, 16, 0);
  w.DrawMono(0, 0, glyph, glyph.Bounds(), 0xFFFF, TBlit::None, 255, 4);
  EXPECT_EQ(w.GetPixel(0, 0), 0x7BEFu);
  TDIBX none = Solid(1, 1, 8, 0);
  none.DrawMono(0, 0, glyph, glyph.Bounds(), 0xFF, TBlit::None, 255, 4);
  EXPECT_EQ(none.GetPixel(0, 0), 0u) << "only 15, 16 and 32-bit surfaces take ink";
}

TEST(Ink, MonoClipsByWholeBlocks) {
  TDIBX glyph(8, 4, 1);
  glyph.Fill(1);
  for (int y = 0; y < 4; ++y)
    for (int x = 4; x < 8; ++x) glyph.SetPixel(x, y, 0);
  TDIBX d = Solid(2, 1, 32, 0);
  d.DrawMono(-1, 0, glyph, glyph.Bounds(), 0xFFFFFF, TBlit::None, 255, 4);
  EXPECT_EQ(d.GetPixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(d.GetPixel(1, 0), 0u);
}

TEST(Ink, Mono4LevelsAndBlend) {
  TDIBX glyph(2, 2, 4);
  glyph.Fill(1);
  const std::array<uint32_t, 3> colours{0xFF0000, 0x00FF00, 0x0000FF};
  TDIBX d = Solid(1, 1, 32, 0x123456);
  d.DrawMono4(0, 0, glyph, glyph.Bounds(), colours, TBlit::None, 255, 2);
  EXPECT_EQ(d.GetPixel(0, 0), 0xFF0000u);
  glyph.SetPixel(0, 0, 3);
  glyph.SetPixel(1, 0, 0);
  TDIBX e = Solid(1, 1, 32, 0);
  e.DrawMono4(0, 0, glyph, glyph.Bounds(), colours, TBlit::None, 255, 2);
  // Two samples of level 1, one of level 3, one background, out of four.
  EXPECT_EQ(e.GetPixel(0, 0), 0x7F003Fu);
  TDIBX a = Solid(1, 1, 32, 0x101010);
  a.DrawMono4(0, 0, glyph, glyph.Bounds(), colours, TBlit::None, 256 + 128, 2);
  EXPECT_EQ(a.GetPixel(0, 0), 0x101010u + 0x3F0000 + 0x1F);
}

TEST(Indexed, Indexed4AndIndexed8) {
  TDIBX src(3, 1, 4);
  src.SetPixel(0, 0, 0);
  src.SetPixel(1, 0, 1);
  src.SetPixel(2, 0, 2);
  src.TransparentPixel = 0;
  std::array<uint32_t, 16> table{};
  table[1] = 0xFFFFFF;
  table[2] = 0x808080;
  TDIBX d = Solid(3, 1, 32, 0x202020);
  d.DrawIndexed4(0, 0, src, src.Bounds(), TBlit::None, 255, table);
  EXPECT_EQ(d.GetPixel(0, 0), 0x202020u);
  EXPECT_EQ(d.GetPixel(1, 0), 0xFFFFFFu);
  TDIBX a = Solid(3, 1, 32, 0x202020);
  a.DrawIndexed4(0, 0, src, src.Bounds(), TBlit::None, 256 + 255, table);
  EXPECT_EQ(a.GetPixel(2, 0), 0x202020u + 0x7F7F7F);
  TDIBX s8(3, 1, 8);
  for (int x = 0; x < 3; ++x) s8.SetPixel(x, 0, uint32_t(x));
  std::array<uint32_t, 256> t8{};
  t8[1] = 0x404040;
  t8[2] = 0xFFFFFF;
  TDIBX e = Solid(3, 1, 32, 0xF0F0F0);
  e.DrawIndexed8(0, 0, s8, s8.Bounds(), 1, TBlit::None, 128, t8);
  EXPECT_EQ(e.GetPixel(0, 0), 0xF0F0F0u);
  EXPECT_EQ(e.GetPixel(1, 0), 0xF0F0F0u + 0x0F0F0F);
  EXPECT_EQ(e.GetPixel(2, 0), 0xFFFFFFu);
  TDIBX st = Solid(6, 1, 32, 0);
  st.StretchDrawIndexed8({0, 0, 6, 1}, s8, s8.Bounds(), 1, TBlit::None, 255, t8);
  EXPECT_EQ(st.GetPixel(1, 0), 0u);
  EXPECT_EQ(st.GetPixel(2, 0), 0x3F3F3Fu);
}

}  // namespace
}  // namespace kest
