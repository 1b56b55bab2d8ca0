#include "platform/fonts/freetype_font_backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "common/sjis.h"

namespace kest {
namespace {

constexpr uint16_t kA = 0x82A0;  // あ

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

std::string FileName(const std::string& path) {
  if (path.empty()) return {};
  return std::filesystem::canonical(path).filename().string();
}

TFontRequest Gothic(int32_t size, uint8_t style = 0, bool mono = false) {
  return {Sjis("ＭＳ ゴシック"), size, style, mono};
}

// The mean column of the ink in rows [from, to), counted from the pen.
double InkCentre(const TGlyphImage& g, int from, int to) {
  double sum = 0, weight = 0;
  for (int y = from; y < to; ++y) {
    for (int x = 0; x < g.Width; ++x) {
      double v = g.Coverage[static_cast<size_t>(y * g.Width + x)];
      sum += v * (g.OriginX + x);
      weight += v;
    }
  }
  return weight > 0 ? sum / weight : 0;
}

TEST(FreeTypeFontBackend, FaceNamesFindTheIpaFiles) {
  TFreeTypeFontBackend fonts;
  EXPECT_EQ(FileName(fonts.FacePath(Sjis("ＭＳ　ゴシック"))), "ipag.ttf");
  EXPECT_EQ(FileName(fonts.FacePath("ms gothic")), "ipag.ttf");
  EXPECT_EQ(FileName(fonts.FacePath(Sjis("IPAゴシック"))), "ipag.ttf");
  EXPECT_EQ(FileName(fonts.FacePath(Sjis("ＭＳ Ｐゴシック"))), "ipagp.ttf");
  EXPECT_EQ(FileName(fonts.FacePath(Sjis("ＭＳ 明朝"))), "ipam.ttf");
  EXPECT_EQ(FileName(fonts.FacePath("IPAPMincho")), "ipamp.ttf");
  EXPECT_TRUE(fonts.HasFace(Sjis("ＭＳ　ゴシック")));
  EXPECT_FALSE(fonts.HasFace("No Such Face 7"));
  EXPECT_EQ(fonts.FacePath("No Such Face 7"), "");
  EXPECT_FALSE(fonts.HasFace(""));
  EXPECT_FALSE(fonts.Metrics({"No Such Face 7", 12}));
  EXPECT_FALSE(fonts.Glyph({"No Such Face 7", 12}, kA));
}

TEST(FreeTypeFontBackend, FontMapPinsNamesAndStandIns) {
  std::string mincho = TFreeTypeFontBackend().FacePath("IPAMincho");
  ASSERT_FALSE(mincho.empty());
  std::string map = "My Face=" + mincho + ";ipagothic=" + mincho + ";Broken=/nonexistent/x.ttf";
  ::setenv("KEST_FONT_MAP", map.c_str(), 1);
  TFreeTypeFontBackend fonts;
  ::unsetenv("KEST_FONT_MAP");
  EXPECT_EQ(fonts.FacePath(Sjis("ｍｙ　ｆａｃｅ")), mincho);
  EXPECT_EQ(fonts.FacePath(Sjis("ＭＳ ゴシック")), mincho);  // through its stand-in
  EXPECT_TRUE(fonts.HasFace("my face"));
  EXPECT_FALSE(fonts.HasFace("Broken"));
}

TEST(FreeTypeFontBackend, IpaGothicMeasuresAtTwelvePixels) {
  TFreeTypeFontBackend fonts;
  auto m = fonts.Metrics(Gothic(12));
  ASSERT_TRUE(m);
  EXPECT_EQ(std::make_tuple(m->Ascent, m->Descent, m->Height, m->Overhang), std::make_tuple(11, 1, 12, 0));
  EXPECT_GE(m->UnderlineSize, 1);
  EXPECT_LT(m->UnderlinePosition, 0);
  EXPECT_GT(m->StrikeoutPosition, 0);
  EXPECT_LT(m->StrikeoutPosition, m->Ascent);

  auto a = fonts.Glyph(Gothic(12), kA);
  ASSERT_TRUE(a);
  EXPECT_EQ(std::make_tuple(a->Width, a->Height, a->OriginX, a->OriginY, a->Advance),
            std::make_tuple(10, 11, 1, 10, 12));
  ASSERT_EQ(a->Coverage.size(), 110u);
  auto abc = fonts.Abc(Gothic(12), kA);
  EXPECT_EQ(std::make_tuple(abc.A, abc.B, abc.C), std::make_tuple(1, 10, 1));
  EXPECT_EQ(fonts.Glyph(Gothic(12), 'A')->Advance, 6);

  auto space = fonts.Glyph(Gothic(12), ' ');
  ASSERT_TRUE(space);
  EXPECT_EQ(std::make_tuple(space->Width, space->Height, space->Coverage.size(), space->Advance),
            std::make_tuple(0, 0, 0u, 6));
  auto space_abc = fonts.Abc(Gothic(12), ' ');
  EXPECT_EQ(std::make_tuple(space_abc.A, space_abc.B, space_abc.C), std::make_tuple(0, 0, 6));
  EXPECT_EQ(fonts.Glyph(Gothic(12), 0x8140)->Advance, 12);
}

TEST(FreeTypeFontBackend, SizesSwitchBackAndForth) {
  TFreeTypeFontBackend fonts;
  auto small = fonts.Glyph(Gothic(12), kA);
  auto large = fonts.Glyph(Gothic(24), kA);
  ASSERT_TRUE(small && large);
  EXPECT_EQ(large->Advance, 24);
  EXPECT_EQ(fonts.Metrics(Gothic(24))->Height, 24);
  EXPECT_EQ(fonts.Glyph(Gothic(12), kA)->Coverage, small->Coverage);
  EXPECT_FALSE(fonts.Metrics(Gothic(0)));
  EXPECT_FALSE(fonts.Glyph(Gothic(-12), kA));
  EXPECT_FALSE(fonts.Glyph(Gothic(5000), kA));
}

TEST(FreeTypeFontBackend, StylesAndMonoChangeTheBitmap) {
  TFreeTypeFontBackend fonts;
  auto plain = fonts.Glyph(Gothic(12), kA);
  auto bold = fonts.Glyph(Gothic(12, 1), kA);
  ASSERT_TRUE(plain && bold);
  EXPECT_GE(bold->Width, plain->Width + 1);
  EXPECT_LE(bold->Width, plain->Width + 2);
  EXPECT_EQ(bold->Advance, plain->Advance);
  EXPECT_EQ(fonts.Glyph(Gothic(12, 4 | 8), kA)->Coverage, plain->Coverage);

  auto upright = fonts.Glyph(Gothic(24), 'I');
  auto italic = fonts.Glyph(Gothic(24, 2), 'I');
  ASSERT_TRUE(upright && italic);
  auto lean = [](const TGlyphImage& g) {
    int quarter = g.Height / 4;
    return InkCentre(g, 0, quarter) - InkCentre(g, g.Height - quarter, g.Height);
  };
  EXPECT_NEAR(lean(*upright), 0, 0.5);
  EXPECT_GT(lean(*italic), 2.0);

  auto mono = fonts.Glyph(Gothic(12, 0, true), kA);
  ASSERT_TRUE(mono);
  EXPECT_TRUE(std::all_of(mono->Coverage.begin(), mono->Coverage.end(), [](uint8_t v) { return v == 0 || v == 255; }));
  EXPECT_NE(std::count(mono->Coverage.begin(), mono->Coverage.end(), 255), 0);
  EXPECT_TRUE(std::any_of(plain->Coverage.begin(), plain->Coverage.end(), [](uint8_t v) { return v > 0 && v < 255; }));
}

}  // namespace
}  // namespace kest
