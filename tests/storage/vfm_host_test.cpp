// Game names found on the host: letter case, Japanese names in UTF-8 and in
// raw Shift-JIS, and the disc mount points.
#include <gtest/gtest.h>

#include "common/sjis.h"
#include "storage/disc_roots.h"
#include "storage/host_name_resolver.h"
#include "storage_test_util.h"

namespace kest {
namespace {

using namespace kest::test;

TEST(VfmHostNames, MixedCaseAndJapaneseNamesAreFoundThroughLowerCaseShiftJis) {
  TTempDir dir;
  WriteFile(dir / "BGM/Track1.OGG", Text("ogg"));
  WriteFile(dir / "画像/タイトル.PNG", Text("png"));
  WriteFile(dir / "画像/トPng.PXA", Text("pxa"));  // ト ends in 0x88, a Shift-JIS lead byte
  const std::string root = dir.Path() + "/";
  THostNameResolver resolver;
  EXPECT_EQ(resolver.FindFile(root, "bgm\\track1.ogg"), dir / "BGM/Track1.OGG");
  EXPECT_EQ(resolver.FindFile(root, Utf8ToCp932("画像\\タイトル.png")), dir / "画像/タイトル.PNG");
  EXPECT_EQ(resolver.FindFile(root, Utf8ToCp932("画像\\トpng.pxa")), dir / "画像/トPng.PXA");
  EXPECT_EQ(resolver.FindFile(root, "BGM/TRACK1.ogg"), dir / "BGM/Track1.OGG");
  EXPECT_EQ(resolver.FindFolder(root, "bgm\\"), dir / "BGM/");
  EXPECT_FALSE(resolver.FindFile(root, "bgm"));
  EXPECT_FALSE(resolver.FindFile(root, "bgm\\track2.ogg"));
  EXPECT_FALSE(resolver.FindFile(root, Utf8ToCp932("画像\\タイトル")));
}

TEST(VfmHostNames, RawShiftJisNamesAndTheFolderLimit) {
  TTempDir dir;
  const std::string sjis_name = Utf8ToCp932("ソ.PXA");  // raw bytes, not UTF-8
  WriteFile(dir.Path() + "/bg/" + sjis_name, Text("raw"));
  WriteFile(dir / "outside.txt", Text("x"));
  THostNameResolver resolver;
  const std::string game = dir.Path() + "/bg/";
  EXPECT_EQ(resolver.FindFile(dir.Path() + "/", "BG\\" + Utf8ToCp932("ソ.pxa")), game + sjis_name);
  EXPECT_FALSE(resolver.FindFile(game, "..\\outside.txt"));
  EXPECT_FALSE(resolver.FindFile(game, ".\\" + sjis_name));
  EXPECT_EQ(THostNameResolver::ListFiles(game), std::vector<std::string>{Utf8ToCp932("ソ.PXA")});
}

TEST(VfmHostNames, AFileAddedLaterIsSeenDespiteTheCachedListing) {
  TTempDir dir;
  WriteFile(dir / "Data/A.TXT", Text("a"));
  THostNameResolver resolver;
  const std::string root = dir.Path() + "/";
  ASSERT_TRUE(resolver.FindFile(root, "data\\a.txt"));
  EXPECT_FALSE(resolver.FindFile(root, "data\\b.txt"));
  WriteFile(dir / "Data/B.TXT", Text("b"));
  EXPECT_EQ(resolver.FindFile(root, "data\\b.txt"), dir / "Data/B.TXT");
}

TEST(VfmDiscRoots, OnlyDiscFileSystemsInPathOrder) {
  TTempDir dir;
  WriteFile(dir / "mountinfo", Text("22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                                    "40 22 11:0 / /media/user/GAME\\040DISC2 ro,nosuid shared:2 - iso9660 /dev/sr1 ro\n"
                                    "41 22 11:1 / /media/cd1 ro - udf /dev/sr0 ro\n"
                                    "42 22 0:5 / /proc rw - proc proc rw\n"
                                    "broken line\n"));
  EXPECT_EQ(ReadDiscRoots(dir / "mountinfo"), (std::vector<std::string>{"/media/cd1/", "/media/user/GAME DISC2/"}));
  EXPECT_TRUE(ReadDiscRoots(dir / "missing").empty());
}

}  // namespace
}  // namespace kest
