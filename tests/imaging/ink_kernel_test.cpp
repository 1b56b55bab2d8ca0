// Glyph ink and indexed pictures on 32-bit surfaces: the fast row kernels
// against the reference formulas on 10,000 random cases per operation, at
// every kernel level the machine has.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <ostream>
#include <random>
#include <string>

#include "imaging/dibx.h"
#include "surface_helpers.h"

namespace kest {
namespace {

struct TInkCase {
  std::mt19937& Rng;
  int32_t X, Y;
  TRect SrcRect, DestRect;
  bool MirrorH, MirrorV;
  int Alpha;
  TBlit Mirror() const { return BlitIf(MirrorH, TBlit::MirrorH) | BlitIf(MirrorV, TBlit::MirrorV); }
  int32_t Int(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(Rng); }
};

// Table values that often hit the shortcuts: 0, white, and the pixels the
// destination already holds.
template <size_t N>
std::array<uint32_t, N> RandomTable(std::mt19937& rng, const TDIBX& dest) {
  std::array<uint32_t, N> t{};
  for (auto& v : t) {
    switch (rng() % 4) {
      case 0: v = 0; break;
      case 1:
        v = dest.GetPixel(int32_t(rng() % uint32_t(dest.Width())), int32_t(rng() % uint32_t(dest.Height())));
        break;
      case 2: v = 0xFFFFFF; break;
      default: v = rng();  // the fourth byte must not reach the surface
    }
  }
  return t;
}

// A source of the given bit count whose pixels are random values below limit.
TDIBX RandomSource(std::mt19937& rng, int32_t w, int32_t h, int bits, uint32_t limit) {
  TDIBX s(w, h, bits);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) s.SetPixel(x, y, rng() % limit);
  return s;
}

using TInkOperation = std::function<void(TDIBX& dest, TInkCase& c)>;
struct TNamedInk {
  std::string Name;
  TInkOperation Run;
};
void PrintTo(const TNamedInk& op, std::ostream* os) { *os << op.Name; }

int Scale(TInkCase& c) { return 1 << c.Int(0, 3); }

std::vector<TNamedInk> InkOperations() {
  return {
      {"DrawMono",
       [](TDIBX& d, TInkCase& c) {
         const int scale = c.Int(0, 3) ? 4 : Scale(c);
         TDIBX glyph = RandomSource(c.Rng, c.Int(1, 12) * scale + c.Int(0, 3), c.Int(1, 5) * scale, 1, 2);
         const TRect r{c.SrcRect.Left * scale, c.SrcRect.Top * scale, c.SrcRect.Right * scale + c.Int(0, 3),
                       c.SrcRect.Bottom * scale};
         d.DrawMono(c.X, c.Y, glyph, r, uint32_t(c.Rng()), c.Mirror(), c.Alpha, scale);
       }},
      {"DrawMono4",
       [](TDIBX& d, TInkCase& c) {
         const int scale = Scale(c);
         TDIBX glyph = RandomSource(c.Rng, c.Int(1, 12) * scale + c.Int(0, 1), c.Int(1, 5) * scale, 4, 16);
         // Whole blocks of one level, where the opaque shortcut is taken.
         if (c.Int(0, 1)) glyph.FillRect({0, 0, scale, glyph.Height()}, uint32_t(c.Int(0, 3)));
         const TRect r{c.SrcRect.Left * scale, c.SrcRect.Top * scale, c.SrcRect.Right * scale,
                       c.SrcRect.Bottom * scale};
         const std::array<uint32_t, 3> colours{uint32_t(c.Rng()), 0xFFFFFF, d.GetPixel(0, 0)};
         d.DrawMono4(c.X, c.Y, glyph, r, colours, c.Mirror(), c.Alpha, scale);
       }},
      {"DrawIndexed4",
       [](TDIBX& d, TInkCase& c) {
         TDIBX src = RandomSource(c.Rng, c.Int(1, 13), c.Int(1, 5), 4, 16);
         src.TransparentPixel = c.Int(0, 2) ? c.Int(0, 15) : -1;
         d.DrawIndexed4(c.X, c.Y, src, c.SrcRect, c.Mirror(), c.Alpha, RandomTable<16>(c.Rng, d));
       }},
      {"DrawIndexed8",
       [](TDIBX& d, TInkCase& c) {
         TDIBX src = RandomSource(c.Rng, c.Int(1, 13), c.Int(1, 5), 8, 256);
         d.DrawIndexed8(c.X, c.Y, src, c.SrcRect, c.Int(0, 200), c.Mirror(), c.Alpha, RandomTable<256>(c.Rng, d));
       }},
      {"StretchDrawIndexed8",
       [](TDIBX& d, TInkCase& c) {
         TDIBX src = RandomSource(c.Rng, c.Int(1, 13), c.Int(1, 5), 8, 256);
         d.StretchDrawIndexed8(c.DestRect, src, c.SrcRect, c.Int(0, 200), c.Mirror(), c.Alpha,
                               RandomTable<256>(c.Rng, d));
       }},
  };
}

class InkKernelProperty : public ::testing::TestWithParam<TNamedInk> {};

TEST_P(InkKernelProperty, FastMatchesReference) {
  const int alphas[] = {0, 1, 127, 128, 254, 255, 256, 300, 511};
  test::AtEveryKernelLevel([&](fast32::TKernelLevel level) {
    std::mt19937 rng(0x1A4 + uint32_t(std::hash<std::string>{}(GetParam().Name) & 0xFFFF));
    auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
    for (int n = 0; n < 10000; ++n) {
      test::TKernelPair dest(rng);
      const int32_t l = pick(-1, 8), t = pick(-1, 3);
      TInkCase c{rng,
                 pick(-14, 20),
                 pick(-6, 8),
                 {l, t, pick(l, 14), pick(t, 6)},
                 {pick(-4, 16), pick(-3, 6), pick(-2, 26), pick(-2, 9)},
                 pick(0, 1) == 1,
                 pick(0, 1) == 1,
                 pick(0, 3) ? alphas[pick(0, 8)] : pick(0, 520)};
      ASSERT_TRUE(dest.Agree(rng, [&](TDIBX& d) { GetParam().Run(d, c); }))
          << GetParam().Name << " case " << n << " at kernel level " << static_cast<int>(level);
    }
  });
}

// Rows wider than the pieces the kernels take at a time, mirrored and not,
// starting off a byte boundary of the source.
TEST(InkKernelPieces, WideRowsMatchTheReference) {
  std::mt19937 rng(0x91DE);
  test::AtEveryKernelLevel([&](fast32::TKernelLevel level) {
    for (bool mirror : {false, true}) {
      TDIBX reference(700, 3, 32);
      test::Randomise(reference, rng, true);
      TDIBX fast(700, 3, 32);
      fast.Assign(reference);
      reference.Kernels = TKernelChoice::Reference;
      const TDIBX glyph = RandomSource(rng, 4 * 640 + 3, 12, 1, 2);
      const TDIBX levels = RandomSource(rng, 2 * 640 + 1, 6, 4, 16);
      const TDIBX indexed4 = RandomSource(rng, 650, 3, 4, 16);
      const TDIBX indexed8 = RandomSource(rng, 650, 3, 8, 256);
      const auto table16 = RandomTable<16>(rng, reference);
      const auto table256 = RandomTable<256>(rng, reference);
      const TBlit flip = BlitIf(mirror, TBlit::MirrorH);
      for (TDIBX* d : {&reference, &fast}) {
        d->DrawMono(5, 0, glyph, {3, 0, 4 * 640 + 3, 12}, 0x336699, flip, 200, 4);
        // From a byte's first bit: sixteen pixels counted and blended a step.
        d->DrawMono(9, 1, glyph, {8, 0, 4 * 600 + 8, 8}, 0xC08040, flip, 255, 4);
        d->DrawMono(0, 2, glyph, {0, 4, 4 * 650, 12}, 0x40A0F0, flip, 77, 4);
        d->DrawMono4(2, 0, levels, {1, 0, 2 * 640 + 1, 6}, {0x112233, 0xFFFFFF, 0x808080}, flip, 180, 2);
        d->DrawIndexed4(7, 0, indexed4, {3, 0, 650, 3}, flip, 120, table16);
        d->DrawIndexed8(1, 0, indexed8, {1, 0, 650, 3}, 40, flip, 150, table256);
        d->StretchDrawIndexed8({0, 0, 700, 3}, indexed8, {0, 0, 300, 3}, 40, flip, 90, table256);
      }
      ASSERT_TRUE(test::SamePixels(reference, fast)) << "mirror " << mirror << " level " << static_cast<int>(level);
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Operations, InkKernelProperty, ::testing::ValuesIn(InkOperations()),
                         [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace kest
