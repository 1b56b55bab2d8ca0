#include <gtest/gtest.h>

#include "common/errors.h"
#include "imaging/wipes/custom_wipe.h"
#include "imaging/wipes/wipe_kernels.h"
#include "imaging/wipes/wipe_mask.h"
#include "imaging/wipes/wipe_pixels.h"
#include "surface_helpers.h"

namespace kest {
namespace {

constexpr uint32_t kOld = 0x102030;
constexpr uint32_t kNew = 0xC0B0A0;

struct TPictures {
  TPictures(int32_t w, int32_t h, int bits) : Target(w, h, bits), From(w, h, bits), To(w, h, bits) {
    From.Fill(uint32_t(From.ColorToPixel(kOld)));
    To.Fill(uint32_t(To.ColorToPixel(kNew)));
  }
  int Count(uint32_t colour) const {
    int n = 0;
    for (int32_t y = 0; y < Target.Height(); ++y)
      for (int32_t x = 0; x < Target.Width(); ++x) n += Target.PixelToColor(Target.GetPixel(x, y)) == colour;
    return n;
  }
  TDIBX Target, From, To;
};

std::unique_ptr<TCustomWipe> Start(TPictures& p, int32_t kind, int32_t duration, bool reverse = false) {
  auto wipe = CreateWipe(kind, p.Target, p.From, p.To);
  if (!wipe) return nullptr;
  wipe->Duration = duration;
  wipe->SetReverse(reverse);
  wipe->Prepare();
  return wipe;
}

TEST(Wipes, EveryKindRunsOnTinyAndFullTargets) {
  for (int32_t kind = 0; kind < kWipeKindCount; ++kind)
    for (auto [w, h] : {std::pair{1, 1}, {7, 3}, {800, 600}})
      for (int bits : {32, 16, 8}) {
        if (bits != 32 && w == 800) continue;
        SCOPED_TRACE(testing::Message() << "kind " << kind << " " << w << "x" << h << "x" << bits);
        TPictures p(w, h, bits);
        auto wipe = Start(p, kind, 100, kind % 2 == 0);
        if (!wipe) continue;
        for (int32_t at : {0, 1, 50, 99}) {
          wipe->Position = at;
          EXPECT_FALSE(wipe->Step());
        }
        wipe->Position = 100;
        EXPECT_TRUE(wipe->Step()) << "a finished wipe draws nothing";
        EXPECT_EQ(wipe->UpdateRect(), p.Target.Bounds());
      }
}

TEST(Wipes, EmptyTargetsDrawNothing) {
  for (int32_t kind = 0; kind < kWipeKindCount; ++kind)
    for (auto [w, h] : {std::pair{0, 0}, {5, 0}, {0, 4}}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << " " << w << "x" << h);
      TPictures p(w, h, 32);
      auto wipe = Start(p, kind, 100, kind % 2 == 1);
      if (!wipe) continue;
      for (int32_t at : {0, 50, 99}) {
        wipe->Position = at;
        EXPECT_FALSE(wipe->Step());
      }
    }
}

TEST(Wipes, AnUnreadableMaskPictureOrdersNothingAndIsReadOnce) {
  for (int32_t kind : {WP_MASKFADE, WP_MASKWHITE, WP_MASKBLACK}) {
    SCOPED_TRACE(testing::Message() << "kind " << kind);
    TPictures plain(9, 6, 32), masked(9, 6, 32);
    auto without = Start(plain, kind, 100);
    auto wipe = CreateWipe(kind, masked.Target, masked.From, masked.To);
    wipe->Duration = 100;
    int reads = 0;
    wipe->SetMaskName("bad.pxa", [&reads](const std::string&) -> std::optional<TDIBX> {
      ++reads;
      throw EReadError("Pexa data: damaged zlib stream");
    });
    EXPECT_NO_THROW(wipe->Prepare());
    for (int32_t at : {0, 20, 45, 70, 95}) {
      without->Position = at;
      wipe->Position = at;
      without->Step();
      EXPECT_NO_THROW(wipe->Step());
      for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 9; ++x) ASSERT_EQ(masked.Target.GetPixel(x, y), plain.Target.GetPixel(x, y)) << at;
    }
    EXPECT_EQ(reads, 1);
  }
}

TEST(Wipes, PackedGreyShiftsSaturateEachChannel) {
  for (uint32_t c = 0; c < 256; c += 3)
    for (uint32_t a = 0; a < 256; a += 5) {
      const uint32_t p = c | (255 - c) << 8 | (c / 2) << 16;
      uint32_t up = 0;
      uint32_t down = 0;
      for (int s = 0; s < 24; s += 8) {
        const uint32_t v = (p >> s) & 0xFF;
        up |= std::min(255u, v + a) << s;
        down |= (v > a ? v - a : 0) << s;
      }
      ASSERT_EQ(AddGrey32(p, a), up) << c << " " << a;
      ASSERT_EQ(SubGrey32(p, a), down) << c << " " << a;
    }
}

TEST(Wipes, RampRowsMatchThePixelFormulaAtEveryKernelLevel) {
  constexpr int n = 45;
  std::vector<uint32_t> from(n), to(n), out(n);
  std::vector<uint8_t> grey(n);
  std::vector<int32_t> distance(n);
  for (int i = 0; i < n; ++i) {
    from[i] = uint32_t(i * 0x9E3779B9u);
    to[i] = uint32_t(i * 0x85EBCA6Bu + 7);
    grey[i] = uint8_t(i * 37);
    distance[i] = i * 23 - 100;
  }
  test::AtEveryKernelLevel([&](fast32::TKernelLevel) {
    for (int32_t base : {-2000, -511, -200, 0, 130, 256, 400, 700, 5000})
      for (bool whiten : {true, false}) {
        wipe32::RampRowByGrey(out.data(), from.data(), to.data(), grey.data(), n, base, whiten);
        for (int i = 0; i < n; ++i)
          ASSERT_EQ(out[i], wipe32::RampPixel(from[i], to[i], std::clamp(base, -1024, 1024) + grey[i], whiten))
              << base << " " << i;
        wipe32::RampRowByDistance(out.data(), from.data(), to.data(), distance.data(), n, base, whiten);
        for (int i = 0; i < n; ++i)
          ASSERT_EQ(out[i], wipe32::RampPixel(from[i], to[i], base - distance[i], whiten)) << base << " " << i;
      }
  });
}

// Kinds with a fast path of their own for 32-bit pictures give at 32 bits what
// the general path gives at 24.
TEST(Wipes, FastPathsAt32BitsMatchTheGeneralPathAt24) {
  for (int32_t kind : {WP_SPOT, WP_RIPPLE, WP_TWISTV})
    for (bool reverse : {false, true}) {
      TPictures fast(61, 47, 32), general(61, 47, 24);
      for (TPictures* p : {&fast, &general})
        for (int32_t y = 0; y < 47; ++y)
          for (int32_t x = 0; x < 61; ++x) {
            p->From.SetPixel(x, y, uint32_t(p->From.ColorToPixel(uint32_t(x * 0x30507 + y * 0x10101) & 0xFFFFFF)));
            p->To.SetPixel(x, y, uint32_t(p->To.ColorToPixel(uint32_t(y * 0x70301 ^ x << 3) & 0xFFFFFF)));
          }
      auto a = Start(fast, kind, 40, reverse);
      auto b = Start(general, kind, 40, reverse);
      a->SetParam(0, 9);
      b->SetParam(0, 9);
      test::AtEveryKernelLevel([&](fast32::TKernelLevel) {
        for (int32_t at : {0, 9, 17, 20, 26, 33, 39}) {
          a->Position = b->Position = at;
          a->Step();
          b->Step();
          for (int32_t y = 0; y < 47; ++y)
            for (int32_t x = 0; x < 61; ++x)
              ASSERT_EQ(fast.Target.PixelToColor(fast.Target.GetPixel(x, y)),
                        general.Target.PixelToColor(general.Target.GetPixel(x, y)))
                  << "kind " << kind << " at " << at << " (" << x << ", " << y << ")";
        }
      });
    }
}

TEST(Wipes, MaskFadeTurnsEachGreyInItsOwnSliceOfTime) {
  TPictures p(256, 2, 32);
  auto wipe = CreateWipe(WP_MASKFADE, p.Target, p.From, p.To);
  wipe->SetMaskName("ramp", [](const std::string&) {
    TDIBX ramp(256, 1, 8);
    for (int32_t x = 0; x < 256; ++x) ramp.SetPixel(x, 0, uint32_t(x));
    return std::optional<TDIBX>(std::move(ramp));
  });
  wipe->Duration = 64;
  wipe->Prepare();
  for (int32_t at : {0, 13, 32, 50, 63}) {
    wipe->Position = at;
    wipe->Step();
    const int32_t level = at * 512 / 64 + 255;
    for (int32_t x = 0; x < 256; ++x) {
      const uint32_t m = uint32_t(std::clamp(level + x - 511, 0, 255));
      uint32_t want = 0;
      for (int s = 0; s < 24; s += 8)
        want |= (m == 0     ? (kOld >> s) & 0xFF
                 : m == 255 ? (kNew >> s) & 0xFF
                            : (((255 - m) * ((kOld >> s) & 0xFF) + m * ((kNew >> s) & 0xFF)) >> 8))
                << s;
      ASSERT_EQ(p.Target.PixelToColor(p.Target.GetPixel(x, 1)), want) << at << " " << x;
    }
  }
}

TEST(Wipes, DitherTurnsHalfTheCellsAtHalfTime) {
  TPictures p(64, 64, 32);
  auto wipe = Start(p, WP_DITHER, 1000);
  wipe->Position = 500;
  wipe->Step();
  EXPECT_EQ(p.Count(kNew), 2048);
  EXPECT_EQ(p.Count(kOld), 2048);
}

TEST(Wipes, HardBlindsShowOnlyThePictures) {
  TPictures p(100, 10, 32);
  auto wipe = Start(p, WP_BLINDH, 1000);
  wipe->SetParam(1, 1);
  for (int32_t at : {100, 400, 700}) {
    wipe->Position = at;
    wipe->Step();
    EXPECT_EQ(p.Count(kOld) + p.Count(kNew), 1000) << at;
  }
}

TEST(Wipes, AReversedCircleShrinksTheOldPictureToTheCentre) {
  TPictures p(101, 101, 32);
  auto wipe = Start(p, WP_CIRCLE, 1000, true);
  wipe->Position = 500;
  wipe->Step();
  EXPECT_EQ(p.Target.PixelToColor(p.Target.GetPixel(50, 50)), kOld);
  EXPECT_EQ(p.Target.PixelToColor(p.Target.GetPixel(0, 0)), kNew);
}

TEST(Wipes, HandsAndFansSweepFromStraightUp) {
  TPictures p(100, 100, 32);
  auto hand = Start(p, WP_CLOCKHAND, 1000);
  hand->Position = 500;
  hand->Step();
  // Half a turn clockwise from up: the right half is new, the left still old.
  EXPECT_EQ(p.Target.PixelToColor(p.Target.GetPixel(90, 50)), kNew);
  EXPECT_EQ(p.Target.PixelToColor(p.Target.GetPixel(10, 50)), kOld);
  auto fan = Start(p, WP_FAN, 1000);
  fan->Position = 500;
  fan->Step();
  // Opened a quarter turn each way from up: the top half is new.
  EXPECT_EQ(p.Target.PixelToColor(p.Target.GetPixel(50, 10)), kNew);
  EXPECT_EQ(p.Target.PixelToColor(p.Target.GetPixel(50, 90)), kOld);
}

TEST(Wipes, FadeSlidesTheNewPictureInWhileItAppears) {
  TPictures p(200, 10, 32);
  auto wipe = Start(p, WP_FADE, 100);
  wipe->SetParam(0, 100);
  wipe->Position = 0;
  wipe->Step();
  // At the start the new picture lies 99 pixels right (c = 99/100), still clear.
  EXPECT_EQ(p.Target.PixelToColor(p.Target.GetPixel(50, 5)), kOld);
  wipe->Position = 99;
  wipe->Step();
  EXPECT_NE(p.Target.PixelToColor(p.Target.GetPixel(50, 5)), kOld);
}

TEST(Wipes, FadeAtHalfTimeBlendsWithAlpha128) {
  // Black to white, where one step of alpha moves every channel.
  TPictures p(4, 4, 32);
  p.From.Fill(uint32_t(p.From.ColorToPixel(0x000000)));
  p.To.Fill(uint32_t(p.To.ColorToPixel(0xFFFFFF)));
  auto wipe = Start(p, WP_FADE, 100);
  wipe->Position = 50;
  wipe->Step();
  // Alpha 50 * 256 / 100 = 128, blended as ((255 - a) * old + a * new) >> 8.
  constexpr uint32_t kChannel = (127 * 0x00 + 128 * 0xFF) >> 8;
  EXPECT_EQ(p.Target.PixelToColor(p.Target.GetPixel(2, 2)), kChannel * 0x010101);
}

}  // namespace
}  // namespace kest
