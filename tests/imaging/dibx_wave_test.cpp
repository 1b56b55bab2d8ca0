// The wave proxy: unshifted it draws exactly as its inner surface; shifted,
// every row lands moved by its own offset and nothing outside the inner
// surface is touched (the sanitizer build checks the memory); the inner clip
// is always handed back as it was.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <random>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "imaging/dibx.h"
#include "imaging/dibx_wave.h"
#include "surface_helpers.h"

namespace kest {
namespace {

using test::Randomise;
using test::Solid;

bool SameBytes(const TCustomDIBX& a, const TCustomDIBX& b) {
  const size_t rowBytes = (size_t(a.Width()) * a.StoredBitCount() + 7) / 8;
  for (int32_t y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.ScanLine(y), b.ScanLine(y), rowBytes) != 0) return false;
  return true;
}

void AttachAt(TDIBXWave& wave, TCustomDIBX& inner, const TRect& area) {
  wave.Inner = &inner;
  wave.Left = area.Left;
  wave.Top = area.Top;
  wave.SetSize(area.Width(), area.Height(), inner.BitCount());
}

struct TNamedOp {
  const char* Name;
  std::function<void(TCustomDIBX&, int32_t, int32_t)> Run;
};

TEST(DIBXWave, UnshiftedDrawsExactlyAsItsInnerSurface) {
  std::mt19937 rng(7);
  const TRect area = MakeRect(4, 3, 26, 20);
  for (int bits : {32, 16}) {
    TDIBX picture(36, 28, bits), src(12, 9, bits), foreign(12, 9, 24), mask(12, 9, 8), mono(24, 16, 1);
    for (TCustomDIBX* s : {&picture, &src, &foreign, &mono}) Randomise(*s, rng, true);
    test::RandomiseMask(mask, rng);
    src.TransparentPixel = src.GetPixel(0, 0);
    foreign.TransparentPixel = foreign.GetPixel(1, 0);
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) table[i] = (i * 0x0141) & 0xFFFF;
    const std::vector<TNamedOp> ops = {
        {"Draw keyed", [&](auto& d, int x, int y) { d.Draw(x, y, src, src.Bounds(), TBlit::Transparent); }},
        {"Draw foreign",
         [&](auto& d, int x, int y) {
           d.Draw(x, y, foreign, {1, 1, 11, 8}, TBlit::Transparent | TBlit::MirrorH);
         }},
        {"Draw itself",
         [&](auto& d, int x, int y) {
           d.Draw(x, y, d.Target(), {2, 1, 20, 15}, TBlit::MirrorV);
         }},
        {"DrawAlpha",
         [&](auto& d, int x, int y) {
           d.DrawAlpha(x, y, src, {1, 2, 11, 9}, TBlit::Transparent | TBlit::MirrorH, 90);
         }},
        {"DrawMask", [&](auto& d, int x, int y) { d.DrawMask(x, y, src, src.Bounds(), TBlit::MirrorV, mask); }},
        {"DrawAdd",
         [&](auto& d, int x, int y) { d.DrawAdd(x, y, src, src.Bounds(), TBlit::MirrorH | TBlit::MirrorV, 200); }},
        {"FillRect", [&](auto& d, int x, int y) { d.FillRect(MakeRect(x, y, 9, 7), 0x123456); }},
        {"FillRectAlpha", [&](auto& d, int x, int y) { d.FillRectAlpha(MakeRect(x, y, 9, 7), 0x1F, 77); }},
        {"FrameRectAdd", [&](auto& d, int x, int y) { d.FrameRectAdd(MakeRect(x, y, 13, 9), 2, 0x421); }},
        {"FillMask", [&](auto& d, int x, int y) { d.FillMask(x, y, mask, mask.Bounds(), TBlit::MirrorH, 0x7E0, 180); }},
        {"StretchDraw mirrored",
         [&](auto& d, int x, int y) {
           d.StretchDraw(MakeRect(x, y, 17, 13), src, src.Bounds(),
                         TBlit::Transparent | TBlit::MirrorH | TBlit::MirrorV, 255);
         }},
        {"DrawRotate",
         [&](auto& d, int x, int y) {
           d.DrawRotate(x, y, src, src.Bounds(), 3, 2, 37, 300, 200, TBlit::Transparent | TBlit::MirrorV, 180);
         }},
        {"TileDraw",
         [&](auto& d, int x, int y) {
           d.TileDraw(MakeRect(x, y, 20, 15), src, {1, 1, 6, 5}, TBlit::Transparent, 2, 3, 1, 2);
         }},
        {"TileZoomDraw",
         [&](auto& d, int x, int y) {
           d.TileZoomDraw(MakeRect(x, y, 20, 15), src, {1, 1, 6, 5}, TBlit::MirrorH, 300, 2, 3, 300, 200, 5, 4);
         }},
        {"FillPatternZoom",
         [&](auto& d, int x, int y) {
           d.FillPatternZoom(MakeRect(x, y, 20, 15), src, 3, 1, TBlit::MirrorH, 300, 200, 150);
         }},
        {"DrawMono",
         [&](auto& d, int x, int y) { d.DrawMono(x, y, mono, mono.Bounds(), 0x3F, TBlit::MirrorV, 200, 4); }},
        {"DrawIndexed8",
         [&](auto& d, int x, int y) { d.DrawIndexed8(x, y, mask, mask.Bounds(), 9, TBlit::MirrorH, 99, table); }},
    };
    for (const TNamedOp& op : ops)
      for (auto [x, y] : {std::pair{-5, -4}, {3, 2}, {9, 7}, {22, 15}, {27, 20}}) {
        TDIBX direct(36, 28, bits), inner(36, 28, bits);
        direct.Assign(picture);
        inner.Assign(picture);
        direct.SetClipRect(area);
        TDIBXWave wave;
        AttachAt(wave, inner, area);
        wave.SetClipRect(area);
        op.Run(direct, x, y);
        op.Run(wave, x, y);
        ASSERT_TRUE(SameBytes(direct, inner)) << op.Name << " at " << x << "," << y << ", " << bits << " bits";
        ASSERT_TRUE(inner.ClipActive && inner.ClipRect == area) << op.Name;
      }
  }
}

// Each row of the source lands at x + its offset on the inner surface; rows
// outside Offsets and pixels past either side are not drawn. The inner
// surface has no padding, so a write past its last row is caught.
TEST(DIBXWave, RowsLandShiftedByTheirOwnOffsets) {
  std::mt19937 rng(11);
  const std::vector<int32_t> offsets{0, 0, 3, 3, -2, 5};
  for (int bits : {32, 16})
    for (int32_t top : {2, 4})
      for (int32_t x : {-3, 1, 8, 14}) {
        TDIBX src(12, 9, bits);
        Randomise(src, rng, false);
        TDIBX inner = Solid(16, 10, bits, 1);
        TDIBXWave wave;
        AttachAt(wave, inner, MakeRect(0, top, 16, 8));
        wave.Offsets = offsets;
        wave.Draw(x, top - 1, src, src.Bounds(), TBlit::None);
        for (int32_t y = 0; y < inner.Height(); ++y) {
          const int32_t row = y - top;
          for (int32_t px = 0; px < inner.Width(); ++px) {
            const int32_t sx = row >= 0 && row < 6 ? px - x - offsets[size_t(row)] : -1;
            const uint32_t want = sx >= 0 && sx < src.Width() ? src.GetPixel(sx, y - top + 1) : 1;
            ASSERT_EQ(inner.GetPixel(px, y), want) << px << "," << y << " top " << top << " x " << x;
          }
        }
      }
}

// Runs read the picture as it was, though earlier runs have already drawn
// over the rows later ones read.
TEST(DIBXWave, DrawingTheInnerSurfaceOntoItselfReadsItAsItWas) {
  std::mt19937 rng(3);
  TDIBX inner(16, 8, 32), before(16, 8, 32);
  Randomise(inner, rng, false);
  before.Assign(inner);
  TDIBXWave wave;
  AttachAt(wave, inner, inner.Bounds());
  wave.Offsets = {0, 0, 1, 1, 2, 2, 3, 3};
  wave.Draw(0, 2, inner, inner.Bounds(), TBlit::None);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t px = 0; px < 16; ++px) {
      const int32_t sx = y >= 2 ? px - wave.Offsets[size_t(y)] : -1;
      ASSERT_EQ(inner.GetPixel(px, y), sx >= 0 ? before.GetPixel(sx, y - 2) : before.GetPixel(px, y)) << px << "," << y;
    }
}

// Records what each forwarded Draw sees, and can fail the way a surface out of
// memory would.
class TRecordingDIBX : public TDIBX {
 public:
  using TDIBX::TDIBX;
  std::vector<std::pair<TRect, int32_t>> Calls;
  bool Fails = false;
  void Draw(int32_t x, int32_t, const TCustomDIBX&, const TRect&, TBlit) override {
    Calls.emplace_back(ClipRect, x);
    if (Fails) throw EKestError("out of memory");
  }
};

TEST(DIBXWave, OneInnerCallPerRunOfEqualOffsetsAndTheClipComesBack) {
  TRecordingDIBX inner(16, 12, 32);
  inner.SetClipRect({1, 3, 15, 7});
  TDIBXWave wave;
  AttachAt(wave, inner, MakeRect(0, 2, 16, 6));
  wave.Offsets = {0, 0, 3, 3, -2, 5};
  const TDIBX src = Solid(4, 20, 32, 7);
  wave.Draw(5, 0, src, src.Bounds(), TBlit::None);
  const std::vector<std::pair<TRect, int32_t>> runs = {{{1, 3, 15, 4}, 5}, {{1, 4, 15, 6}, 8}, {{1, 6, 15, 7}, 3}};
  EXPECT_EQ(inner.Calls, runs);
  EXPECT_EQ(inner.ClipRect, (TRect{1, 3, 15, 7}));
  inner.Fails = true;
  EXPECT_THROW(wave.Draw(5, 0, src, src.Bounds(), TBlit::None), EKestError);
  EXPECT_TRUE(inner.ClipActive);
  EXPECT_EQ(inner.ClipRect, (TRect{1, 3, 15, 7}));
}

TEST(DIBXWave, ClipsAreClampedToTheAreaAndReachTheInnerSurface) {
  TDIBX inner(20, 20, 32);
  TDIBXWave wave;
  AttachAt(wave, inner, MakeRect(4, 5, 10, 8));
  wave.AddClipRect({0, 0, 6, 7});
  EXPECT_EQ(inner.ClipRect, (TRect{4, 5, 6, 7}));
  wave.AddClipRect({12, 10, 40, 40});
  wave.AddClipRect({30, 30, 40, 40});
  EXPECT_EQ(inner.ClipRect, (TRect{4, 5, 14, 13}));
  EXPECT_EQ(wave.ClipRect, inner.ClipRect);
  wave.SetClipRect({-5, 6, 8, 100});
  EXPECT_EQ(inner.ClipRect, (TRect{4, 6, 8, 13}));
  wave.ResetClip();
  EXPECT_FALSE(inner.ClipActive);
  EXPECT_FALSE(wave.ClipActive);
}

TEST(DIBXWave, PixelsFormatAndPaletteAreTheInnerSurfaces) {
  TDIBX inner = Solid(10, 6, 16, 0);
  TDIBXWave wave;
  AttachAt(wave, inner, MakeRect(2, 1, 4, 3));
  wave.Offsets[1] = -2;
  wave.SetPixel(5, 2, 0x1234);
  EXPECT_EQ(inner.GetPixel(3, 2), 0x1234u);
  EXPECT_EQ(wave.GetPixel(5, 2), 0x1234u);
  EXPECT_EQ(wave.PixelAddress(5, 2), inner.PixelAddress(3, 2));
  EXPECT_EQ(wave.PixelAddress(5, 0), nullptr);
  EXPECT_EQ(wave.PixelAddress(5, 4), nullptr);
  EXPECT_EQ(wave.BitCount(), 16);
  EXPECT_EQ(wave.ColorToPixel(0x0000FF), 0xF800);
  EXPECT_EQ(&wave.Target(), &inner);
  wave.SetSize(4, 5, 32);
  EXPECT_EQ(wave.Offsets, (std::vector<int32_t>{0, -2, 0, 0, 0}));
  EXPECT_EQ(inner.BitCount(), 16);
  EXPECT_EQ(inner.GetPixel(3, 2), 0x1234u);
  TDIBX indexed(4, 4, 8);
  wave.Inner = &indexed;
  const uint32_t quad = 0x102030;
  wave.SetPaletteEntries(&quad, 7, 1);
  EXPECT_EQ(wave.PixelToColor(7), QuadToColor(quad));
}

TEST(DIBXWave, BrightnessChangesTheAreaAsSeenThroughTheOffsets) {
  TDIBX inner = Solid(8, 4, 32, 0x101010);
  inner.TransparentPixel = 0x101010;
  TDIBXWave wave;
  AttachAt(wave, inner, MakeRect(2, 1, 3, 2));
  wave.Offsets = {0, 2};
  wave.AdjustBrightness(0x20);
  const char* want[] = {"........", "..###...", "....###.", "........"};
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 8; ++x)
      EXPECT_EQ(inner.GetPixel(x, y), want[y][x] == '#' ? 0x303030u : 0x101010u) << x << "," << y;
  EXPECT_EQ(inner.TransparentPixel, 0x101010);
}

// Nothing to draw into, and nothing to read: a proxy read as a source or mask
// is an empty picture.
TEST(DIBXWave, WithoutInnerItDrawsNothingAndAsSourceItIsEmpty) {
  TDIBXWave lone;
  lone.SetSize(8, 8, 32);
  const TDIBX src = Solid(4, 4, 32, 5);
  lone.Fill(1);
  lone.Draw(0, 0, src, src.Bounds(), TBlit::None);
  lone.StretchDraw({0, 0, 8, 8}, src, src.Bounds(), TBlit::None, 255);
  lone.AddClipRect({0, 0, 4, 4});
  lone.SetPixel(1, 1, 3);
  EXPECT_EQ(lone.GetPixel(1, 1), 0u);
  EXPECT_EQ(lone.PixelAddress(1, 1), nullptr);
  EXPECT_EQ(&lone.Target(), &lone);

  TDIBX inner = Solid(8, 8, 8, 200);
  TDIBXWave wave;
  AttachAt(wave, inner, inner.Bounds());
  TDIBX dest = Solid(8, 8, 8, 9);
  dest.Draw(0, 0, wave, {0, 0, 8, 8}, TBlit::None);
  dest.StretchDraw({0, 0, 8, 8}, wave, {0, 0, 8, 8}, TBlit::None, 255);
  dest.DrawMask(0, 0, inner, inner.Bounds(), TBlit::None, wave);
  EXPECT_TRUE(test::SamePixels(dest, Solid(8, 8, 8, 9)));
}

}  // namespace
}  // namespace kest
