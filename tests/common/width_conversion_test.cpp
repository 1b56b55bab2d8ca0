#include "common/width_conversion.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kest {
namespace {

TEST(WidthConversionTest, HanToZenSignsAndLetters) {
  EXPECT_EQ(HanToZen(" !\"~"), "\x81\x40\x81\x49\x81\x68\x81\x60");
  EXPECT_EQ(HanToZen("09AZaz"), "\x82\x4F\x82\x58\x82\x60\x82\x79\x82\x81\x82\x9A");
  EXPECT_EQ(HanToZen("\\"), "\x81\x8F");
}

TEST(WidthConversionTest, HanToZenSoundMarks) {
  EXPECT_EQ(HanToZen("\xB6\xDE"), "\x83\x4B");          // ｶﾞ -> ガ
  EXPECT_EQ(HanToZen("\xCA\xDF"), "\x83\x70");          // ﾊﾟ -> パ
  EXPECT_EQ(HanToZen("\xCA\xDE"), "\x83\x6F");          // ﾊﾞ -> バ
  EXPECT_EQ(HanToZen("\xC4\xDE"), "\x83\x68");          // ﾄﾞ -> ド
  EXPECT_EQ(HanToZen("\xB3\xDE"), "\x83\x45\x81\x4A");  // ｳﾞ -> ウ゛
  EXPECT_EQ(HanToZen("\xB6\xDF"), "\x83\x4A\x81\x4B");  // ｶﾟ -> カ゜
  EXPECT_EQ(HanToZen("\xC5\xDE"), "\x83\x69\x81\x4A");  // ﾅﾞ -> ナ゛
  EXPECT_EQ(HanToZen("\xDE\xDF"), "\x81\x4A\x81\x4B");
  EXPECT_EQ(HanToZen("\xA6\xAF\xB0\xDC\xDD"), "\x83\x92\x83\x62\x81\x5B\x83\x8F\x83\x93");
}

TEST(WidthConversionTest, HanToZenDropsControlAndStrayBytes) {
  EXPECT_EQ(HanToZen("a\r\n\tb"), "\x82\x81\x82\x82");
  EXPECT_EQ(HanToZen(std::string("\x00\x7F\x80\xA0\xFD\xFE\xFF", 7)), "");
  // Double-byte characters pass unchanged; a lone lead byte at the end goes.
  EXPECT_EQ(HanToZen("\x88\x9F\x82\xA0"), "\x88\x9F\x82\xA0");
  EXPECT_EQ(HanToZen("a\x82"), "\x82\x81");
}

TEST(WidthConversionTest, ZenToHan) {
  EXPECT_EQ(ZenToHan("\x83\x4B"), "\xB6\xDE");          // ガ -> ｶﾞ
  EXPECT_EQ(ZenToHan("\x83\x7C"), "\xCE\xDF");          // ポ -> ﾎﾟ
  EXPECT_EQ(ZenToHan("\x81\x67\x81\x68"), "\"\"");      // “ and ” -> "
  EXPECT_EQ(ZenToHan("\x82\xA0\x8A\xBF"), "");          // あ, 漢
  EXPECT_EQ(ZenToHan("\x83\x94\x83\x95\x83\x96"), "");  // ヴ ヵ ヶ
  EXPECT_EQ(ZenToHan("\x83\x8E\x83\x90\x83\x91"), "");  // ヮ ヰ ヱ
  EXPECT_EQ(ZenToHan("a\xB1\r\n"), "a\xB1\r\n");        // single bytes pass
  EXPECT_EQ(ZenToHan("\x82\x60\x82"), "A");             // a lone lead byte at the end goes
}

// Every text of the bytes that HanToZen converts comes back through ZenToHan.
TEST(WidthConversionTest, RoundTripOverHalfWidthTexts) {
  std::string all;
  for (int b = 0x20; b <= 0x7E; ++b) all += static_cast<char>(b);
  for (int b = 0xA1; b <= 0xDF; ++b) all += static_cast<char>(b);
  EXPECT_EQ(ZenToHan(HanToZen(all)), all);
  // Every pair, so each sound mark follows each letter.
  for (char x : all) {
    for (char y : all) {
      const std::string pair{x, y};
      ASSERT_EQ(ZenToHan(HanToZen(pair)), pair)
          << std::hex << +static_cast<uint8_t>(x) << " " << +static_cast<uint8_t>(y);
    }
  }
  std::mt19937 random(7);
  for (int i = 0; i < 2000; ++i) {
    std::string text;
    const int length = static_cast<int>(random() % 40);
    for (int k = 0; k < length; ++k) text += all[random() % all.size()];
    ASSERT_EQ(ZenToHan(HanToZen(text)), text);
  }
}

// Each full-width form maps to exactly one half-width text, and HanToZen of
// that text gives the form back: no two table entries collide.
TEST(WidthConversionTest, FullWidthFormsRoundTrip) {
  int forms = 0;
  for (int lead = 0x81; lead <= 0x83; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string zen{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string han = ZenToHan(zen);
      if (han.empty()) continue;
      ++forms;
      if (zen == "\x81\x67") continue;  // “ shares the double quote with ”
      EXPECT_EQ(HanToZen(han), zen) << std::hex << lead << trail;
    }
  }
  // 95 signs, digits and letters, 63 kana and signs, 20 voiced, 5 semi-voiced, and “.
  EXPECT_EQ(forms, 95 + 63 + 20 + 5 + 1);
}

}  // namespace
}  // namespace kest
