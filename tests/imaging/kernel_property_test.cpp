// The fast kernels against the reference formulas: each operation on 10,000
// random cases of small surfaces, positions, clips, mirrors, masks and alphas
// must leave byte-identical destinations.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <random>
#include <string>

#include "imaging/dibx.h"
#include "surface_helpers.h"

namespace kest {
namespace {

struct TCase {
  std::mt19937& Rng;
  TDIBX& Src;
  TDIBX& Mask;
  int32_t X, Y;
  TRect SrcRect, DestRect;
  bool Keyed, MirrorH, MirrorV;
  int Alpha;
  TBlit Mirror() const { return BlitIf(MirrorH, TBlit::MirrorH) | BlitIf(MirrorV, TBlit::MirrorV); }
  TBlit Flags() const { return BlitIf(Keyed, TBlit::Transparent) | Mirror(); }
  int32_t Int(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(Rng); }
};

using TOperation = std::function<void(TDIBX&, TCase&)>;

struct TNamedOperation {
  std::string Name;
  TOperation Run;
};
void PrintTo(const TNamedOperation& op, std::ostream* os) { *os << op.Name; }

std::vector<TNamedOperation> Operations() {
  return {
      {"FillRect", [](TDIBX& d, TCase& c) { d.FillRect(c.DestRect, c.Src.GetPixel(0, 0)); }},
      {"FillRectAlpha", [](TDIBX& d, TCase& c) { d.FillRectAlpha(c.DestRect, c.Src.GetPixel(0, 0), c.Alpha); }},
      {"FillRectAdd", [](TDIBX& d, TCase& c) { d.FillRectAdd(c.DestRect, c.Src.GetPixel(0, 0)); }},
      {"FillRectSub", [](TDIBX& d, TCase& c) { d.FillRectSub(c.DestRect, c.Src.GetPixel(0, 0)); }},
      {"FillMask",
       [](TDIBX& d, TCase& c) { d.FillMask(c.X, c.Y, c.Mask, c.SrcRect, c.Mirror(), c.Src.GetPixel(0, 0), c.Alpha); }},
      {"Draw", [](TDIBX& d, TCase& c) { d.Draw(c.X, c.Y, c.Src, c.SrcRect, c.Flags()); }},
      {"DrawAlpha", [](TDIBX& d, TCase& c) { d.DrawAlpha(c.X, c.Y, c.Src, c.SrcRect, c.Flags(), c.Alpha); }},
      {"DrawMask", [](TDIBX& d, TCase& c) { d.DrawMask(c.X, c.Y, c.Src, c.SrcRect, c.Mirror(), c.Mask); }},
      {"DrawAlphaMask",
       [](TDIBX& d, TCase& c) { d.DrawAlphaMask(c.X, c.Y, c.Src, c.SrcRect, c.Mirror(), c.Mask, c.Alpha); }},
      {"DrawAdd", [](TDIBX& d, TCase& c) { d.DrawAdd(c.X, c.Y, c.Src, c.SrcRect, c.Mirror(), c.Alpha); }},
      {"DrawAddMask",
       [](TDIBX& d, TCase& c) { d.DrawAddMask(c.X, c.Y, c.Src, c.SrcRect, c.Mirror(), c.Mask, c.Alpha); }},
      {"StretchDraw", [](TDIBX& d, TCase& c) { d.StretchDraw(c.DestRect, c.Src, c.SrcRect, c.Flags(), c.Alpha); }},
      {"StretchDrawMask",
       [](TDIBX& d, TCase& c) { d.StretchDrawMask(c.DestRect, c.Src, c.SrcRect, c.Mirror(), c.Mask, c.Alpha); }},
      {"StretchDrawAdd",
       [](TDIBX& d, TCase& c) { d.StretchDrawAdd(c.DestRect, c.Src, c.SrcRect, c.Flags(), c.Alpha); }},
      {"StretchDrawAddMask",
       [](TDIBX& d, TCase& c) { d.StretchDrawAddMask(c.DestRect, c.Src, c.SrcRect, c.Mirror(), c.Mask, c.Alpha); }},
      {"DrawRotate",
       [](TDIBX& d, TCase& c) {
         d.DrawRotate(c.X, c.Y, c.Src, c.SrcRect, c.Int(-3, 6), c.Int(-3, 6), c.Int(-300, 300), c.Int(1, 700),
                      c.Int(1, 700), c.Flags(), c.Int(0, 1) ? c.Alpha : c.Alpha + 256);
       }},
      {"DrawRotateMask",
       [](TDIBX& d, TCase& c) {
         d.DrawRotateMask(c.X, c.Y, c.Src, c.SrcRect, c.Int(-3, 6), c.Int(-3, 6), c.Int(-300, 300), c.Int(1, 700),
                          c.Int(1, 700), c.Mirror(), c.Mask, c.Int(0, 1) ? c.Alpha : c.Alpha + 256);
       }},
      {"FillPatternZoom",
       [](TDIBX& d, TCase& c) {
         d.FillPatternZoom(c.DestRect, c.Src, c.X, c.Y, c.Mirror(), c.Int(1, 800), c.Int(1, 800), c.Int(0, 511));
       }},
      {"FillPatternZoomMask",
       [](TDIBX& d, TCase& c) {
         d.FillPatternZoomMask(c.DestRect, c.Src, c.X, c.Y, c.Mirror(), c.Int(1, 800), c.Int(1, 800), c.Mask,
                               c.Int(0, 511));
       }},
      {"TileDrawAlpha",
       [](TDIBX& d, TCase& c) {
         d.TileDrawAlpha(c.DestRect, c.Src, c.SrcRect, BlitIf(c.Keyed, TBlit::Transparent), c.X, c.Y, c.Int(-2, 3),
                         c.Int(-2, 3), c.Alpha);
       }},
      {"TileZoomDraw",
       [](TDIBX& d, TCase& c) {
         d.TileZoomDraw(c.DestRect, c.Src, c.SrcRect, c.Flags(), c.Int(1, 511), c.X, c.Y, c.Int(1, 600), c.Int(1, 600),
                        c.Int(1, 8), c.Int(1, 8));
       }},
  };
}

class KernelProperty : public ::testing::TestWithParam<TNamedOperation> {};

TEST_P(KernelProperty, FastMatchesReference) {
  const int alphas[] = {0, 1, 2, 127, 128, 129, 254, 255};
  test::AtEveryKernelLevel([&](fast32::TKernelLevel level) {
    std::mt19937 rng(0x5EED + uint32_t(std::hash<std::string>{}(GetParam().Name) & 0xFFFF));
    auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
    for (int n = 0; n < 10000; ++n) {
      const int32_t sw = pick(1, 13), sh = pick(1, 5);
      TDIBX src(sw, sh, 32), mask(sw, sh, 8);
      test::Randomise(src, rng, true);
      test::RandomiseMask(mask, rng);
      src.TransparentPixel = pick(0, 3) ? int64_t(src.GetPixel(pick(0, sw - 1), pick(0, sh - 1))) : -1;
      test::TKernelPair dest(rng);
      const int32_t l = pick(-1, sw - 1), t = pick(-1, sh - 1);
      TCase c{rng,
              src,
              mask,
              pick(-14, 20),
              pick(-6, 8),
              {l, t, pick(l, sw + 1), pick(t, sh + 1)},
              {pick(-4, 16), pick(-3, 6), pick(-2, 26), pick(-2, 9)},
              pick(0, 1) == 1,
              pick(0, 1) == 1,
              pick(0, 1) == 1,
              pick(0, 4) ? alphas[pick(0, 7)] : pick(0, 255)};
      ASSERT_TRUE(dest.Agree(rng, [&](TDIBX& d) { GetParam().Run(d, c); }))
          << GetParam().Name << " case " << n << " at kernel level " << static_cast<int>(level);
    }
  });
}

// Masks and 15/16/24-bit surfaces take whole-row shortcuts for plain copies
// and solid fills; everything else there runs the formulas themselves.
TEST(KernelShortcuts, RowCopiesAndFillsOfOtherFormatsMatchTheReference) {
  std::mt19937 rng(0xB175);
  auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  for (int bits : {8, 15, 16, 24}) {
    for (int n = 0; n < 3000; ++n) {
      TDIBX src(pick(1, 13), pick(1, 5), bits), reference(pick(1, 19), pick(1, 6), bits);
      test::Randomise(src, rng, true);
      test::Randomise(reference, rng, true);
      src.TransparentPixel = pick(0, 1) ? int64_t(src.GetPixel(0, 0)) : -1;
      TDIBX fast(reference.Width(), reference.Height(), bits);
      fast.Assign(reference);
      reference.Kernels = TKernelChoice::Reference;
      if (pick(0, 2) == 0) {
        const TRect clip{pick(-2, 10), pick(-2, 4), pick(0, 21), pick(0, 8)};
        reference.SetClipRect(clip);
        fast.SetClipRect(clip);
      }
      const TRect srcRect{pick(-1, 5), pick(-1, 2), pick(0, 14), pick(0, 6)};
      const int32_t x = pick(-14, 20), y = pick(-6, 8);
      const bool keyed = pick(0, 1), mirrorH = pick(0, 1), mirrorV = pick(0, 1);
      const TBlit flags =
          BlitIf(keyed, TBlit::Transparent) | BlitIf(mirrorH, TBlit::MirrorH) | BlitIf(mirrorV, TBlit::MirrorV);
      const TRect fill{pick(-4, 16), pick(-3, 6), pick(-2, 26), pick(-2, 9)};
      for (TDIBX* d : {&reference, &fast}) {
        d->Draw(x, y, src, srcRect, flags);
        d->FillRect(fill, src.GetPixel(1, 0));
      }
      ASSERT_TRUE(test::SamePixels(reference, fast)) << bits << " bits, case " << n;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, KernelProperty, ::testing::ValuesIn(Operations()),
                         [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace kest
