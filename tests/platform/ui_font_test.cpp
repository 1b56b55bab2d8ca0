#include "platform/sdl/ui_font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kest {
namespace {

std::vector<char32_t> DecodeAll(std::string_view s) {
  std::vector<char32_t> out;
  for (size_t pos = 0; pos < s.size();) {
    size_t before = pos;
    out.push_back(DecodeUtf8(s, pos));
    EXPECT_GT(pos, before);
  }
  return out;
}

TEST(UiFontUtf8, DecodesValidSequences) {
  EXPECT_EQ(DecodeAll("A\xC3\xA9\xE7\xB5\x82\xF0\x9F\x98\x80"), (std::vector<char32_t>{0x41, 0xE9, 0x7D42, 0x1F600}));
}

TEST(UiFontUtf8, MalformedInputGivesOneReplacementPerByte) {
  const char32_t R = 0xFFFD;
  EXPECT_EQ(DecodeAll("\xC0\x80"), (std::vector<char32_t>{R, R}));                // overlong
  EXPECT_EQ(DecodeAll("\xED\xA0\x80"), (std::vector<char32_t>{R, R, R}));         // surrogate
  EXPECT_EQ(DecodeAll("\xF4\x90\x80\x80"), (std::vector<char32_t>{R, R, R, R}));  // above U+10FFFF
  EXPECT_EQ(DecodeAll("\xE7\xB5"), (std::vector<char32_t>{R, R}));                // truncated at the end
  EXPECT_EQ(DecodeAll("\xE7"
                      "A"),
            (std::vector<char32_t>{R, 'A'}));  // continuation missing
  EXPECT_EQ(DecodeAll("\x80\xFF"), (std::vector<char32_t>{R, R}));
  size_t past_end = 10;
  EXPECT_EQ(DecodeUtf8("ab", past_end), 0u);
  EXPECT_EQ(past_end, 2u);
}

TEST(UiFont, IpaGothicRendersTheExitCaption) {
  auto font = TUiFont::Open("IPAGothic", 12);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->Family(), "IPAGothic");
  EXPECT_GT(font->Ascent(), 0);
  EXPECT_GE(font->Height(), 12);
  const std::string caption = "終了";
  int width = font->Measure(caption);
  EXPECT_GE(width, 20);
  EXPECT_LE(width, 26);

  TUiBitmap b(40, 20, 0xFFFFFF);
  TUiCanvas c = b.Canvas();
  font->Draw(c, 5, 2, caption, 0x000000);
  int inked = 0, dark = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      uint32_t p = b.At(x, y);
      if (p == 0xFFFFFF) continue;
      ++inked;
      dark += (p & 0xFF) < 0x60;
      EXPECT_GE(x, 5);
      EXPECT_LT(x, 5 + width + 1);
      EXPECT_GE(y, 2);
      EXPECT_LT(y, 2 + font->Height());
    }
  }
  EXPECT_GT(inked, 40);
  EXPECT_GT(dark, 15);  // strokes are solid, not only grey fringes
}

TEST(UiFont, MissingFamilyAndBadSizeGiveNull) {
  EXPECT_EQ(TUiFont::Open("No Such Family 7f3a", 12), nullptr);
  EXPECT_EQ(TUiFont::Open("", 12), nullptr);
  EXPECT_EQ(TUiFont::Open("IPAGothic", 0), nullptr);
  EXPECT_EQ(TUiFont::Open("IPAGothic", TUiFont::kMaxPixelSize + 1), nullptr);
}

TEST(UiFont, MissingIpaFamilyFallsBackToIpaGothic) {
  auto font = TUiFont::Open("IPANoSuchFace", 12);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->Family(), "IPAGothic");
  auto proportional = TUiFont::Open("IPAPGothic", 12);
  ASSERT_NE(proportional, nullptr);
  EXPECT_EQ(proportional->Family(), "IPAPGothic");
}

TEST(UiFont, GarbageAndControlTextDrawSafely) {
  auto font = TUiFont::Open("IPAGothic", 12);
  ASSERT_NE(font, nullptr);
  std::string garbage;
  uint32_t seed = 7;
  for (int i = 0; i < 4000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    garbage += static_cast<char>(seed >> 24);
  }
  TUiBitmap b(64, 16);
  TUiCanvas c = b.Canvas();
  font->Draw(c, -30, -5, garbage, 0xFFFFFF);
  font->Draw(c, INT_MAX - 3, INT_MAX - 3, garbage, 0xFFFFFF);
  font->Draw(c, INT_MIN, INT_MIN, garbage, 0xFFFFFF);
  EXPECT_GE(font->Measure(garbage), 0);
  EXPECT_EQ(font->Measure("\t\r\n\x7F"), 0);
}

}  // namespace
}  // namespace kest
