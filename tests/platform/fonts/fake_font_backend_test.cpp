#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "platform/font_backend.h"

namespace kest {
namespace {

TEST(FakeFontBackend, DrawsBoxesWithFixedMetrics) {
  TFakeFontBackend fonts;
  TFontRequest font{"ＭＳ ゴシック", 16, 0, false};
  auto m = fonts.Metrics(font);
  ASSERT_TRUE(m);
  EXPECT_EQ(std::make_tuple(m->Ascent, m->Descent, m->Height), std::make_tuple(14, 2, 16));
  EXPECT_EQ(std::make_tuple(m->UnderlineSize, m->UnderlinePosition, m->StrikeoutSize, m->StrikeoutPosition),
            std::make_tuple(1, -1, 1, 5));

  auto wide = fonts.Glyph(font, 0x82A0);
  ASSERT_TRUE(wide);
  EXPECT_EQ(std::make_tuple(wide->Width, wide->Height, wide->OriginX, wide->OriginY, wide->Advance),
            std::make_tuple(14, 14, 1, 13, 16));
  ASSERT_EQ(wide->Coverage.size(), 14u * 14u);
  EXPECT_NE(fonts.Glyph(font, 0x82A2)->Coverage, wide->Coverage);
  auto abc = fonts.Abc(font, 'A');
  EXPECT_EQ(std::make_tuple(abc.A, abc.B, abc.C), std::make_tuple(1, 7, 0));

  auto space = fonts.Glyph(font, 0x8140);
  EXPECT_EQ(std::make_tuple(space->Width, space->Coverage.size(), space->Advance), std::make_tuple(0, 0u, 16));

  TFontRequest bold_mono{"ＭＳ ゴシック", 16, 1 | 4, true};
  auto heavy = fonts.Glyph(bold_mono, 0x82A0);
  EXPECT_EQ(std::make_tuple(heavy->Width, heavy->Advance), std::make_tuple(15, 16));
  EXPECT_TRUE(std::all_of(heavy->Coverage.begin(), heavy->Coverage.end(), [](uint8_t v) { return v == 255; }));
  TFontRequest underlined{"ＭＳ ゴシック", 16, 4, false};
  EXPECT_EQ(fonts.Glyph(underlined, 0x82A0)->Coverage, wide->Coverage);

  EXPECT_FALSE(fonts.HasFace("missing face"));
  EXPECT_FALSE(fonts.Metrics({"missing face", 16}));
  EXPECT_FALSE(fonts.Glyph({"x", 0}, 0x41));
  EXPECT_FALSE(fonts.Metrics({"x", 1025}));
  EXPECT_EQ(fonts.GlyphCalls, 6);
}

}  // namespace
}  // namespace kest
