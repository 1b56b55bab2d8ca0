#include "platform/fonts/face_names.h"

#include <gtest/gtest.h>

namespace kest {
namespace {

TEST(FaceNames, NormalisingFoldsWidthCaseAndSpaces) {
  EXPECT_EQ(NormaliseFaceName("ＭＳ　ゴシック"), "msゴシック");
  EXPECT_EQ(NormaliseFaceName("ＭＳ ゴシック"), NormaliseFaceName("ms ゴシック"));
  EXPECT_EQ(NormaliseFaceName("MS  Gothic "), "msgothic");
  EXPECT_EQ(NormaliseFaceName("ｍｓ　ｇｏｔｈｉｃ"), "msgothic");
  EXPECT_EQ(NormaliseFaceName("！～"), "!~");  // both ends of the full-width range
  EXPECT_EQ(NormaliseFaceName("｟"), "｟");    // just past it
  EXPECT_EQ(NormaliseFaceName("Osaka－等幅"), "osaka-等幅");
  EXPECT_EQ(NormaliseFaceName("a\xEF\xBC"), "a\xEF\xBC");  // cut short, left alone
}

TEST(FaceNames, WindowsFacesHaveIpaStandIns) {
  auto alias = [](std::string_view name) { return FaceAlias(NormaliseFaceName(name)); };
  EXPECT_EQ(alias("ＭＳ　ゴシック"), "IPAGothic");
  EXPECT_EQ(alias("ms gothic"), "IPAGothic");
  EXPECT_EQ(alias("Osaka－等幅"), "IPAGothic");
  EXPECT_EQ(alias("ＭＳ Ｐゴシック"), "IPAPGothic");
  EXPECT_EQ(alias("MS UI Gothic"), "IPAPGothic");
  EXPECT_EQ(alias("メイリオ"), "IPAPGothic");
  EXPECT_EQ(alias("ＭＳ 明朝"), "IPAMincho");
  EXPECT_EQ(alias("ＭＳ Ｐ明朝"), "IPAPMincho");
  EXPECT_EQ(alias("游明朝"), "IPAPMincho");
  EXPECT_EQ(alias("IPAGothic"), std::nullopt);
  EXPECT_EQ(alias("Arial"), std::nullopt);
  EXPECT_EQ(alias(""), std::nullopt);
}

TEST(FaceNames, FontMapSkipsIncompleteEntries) {
  auto map = ParseFontMap("ＭＳ ゴシック=/a.ttf; Foo Bar = /b.ttf ;=/c.ttf;bad;empty=;foo bar=/d.ttf;");
  EXPECT_EQ(map.size(), 2u);
  EXPECT_EQ(map["msゴシック"], "/a.ttf");
  EXPECT_EQ(map["foobar"], "/d.ttf");
  EXPECT_TRUE(ParseFontMap("").empty());
}

}  // namespace
}  // namespace kest
