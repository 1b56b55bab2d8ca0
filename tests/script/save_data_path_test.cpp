#include "script/save_data_path.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/sjis.h"
#include "script/script_test_util.h"

namespace kest {
namespace {

using test::ReadFile;
using test::TTempDir;
using test::WriteFile;

TEST(SanitiseTitle, ReplacesTheFolderBreakingCharacters) {
  EXPECT_EQ(SanitiseTitle("a?b:c"), "a_b_c");
  EXPECT_EQ(SanitiseTitle("\\/:,;*?\"<>|x"), "___________x");
  EXPECT_EQ(SanitiseTitle(std::string("a\tb\0c", 5)), "a_b_c");
  EXPECT_EQ(SanitiseTitle(".."), "__");
  EXPECT_EQ(SanitiseTitle(""), "_");
  EXPECT_EQ(SanitiseTitle("v1.0"), "v1.0");
}

TEST(SanitiseTitle, KeepsTheSecondByteOfDoubleByteCharacters) {
  const std::string title = Utf8ToCp932("ソ表");
  ASSERT_EQ(title, std::string("\x83\x5C\x95\x5C"));
  EXPECT_EQ(SanitiseTitle(title), title);
  EXPECT_EQ(SanitiseTitle(Utf8ToCp932("ソ:表")), std::string("\x83\x5C_\x95\x5C"));
}

TEST(SaveDataPath, AWritableGameFolderKeepsTheSaveFile) {
  TTempDir dir;
  TSaveDataPlaces places;
  places.GameFolder = dir.Path();
  places.DataHome = dir / "data";
  EXPECT_EQ(ComputeSaveDataPath(places, "t"), dir / "save.dat");
  EXPECT_TRUE(FolderIsWritable(dir.Path()));
  EXPECT_EQ(test::CountFiles(dir.Path()), 0);
  EXPECT_FALSE(FolderIsWritable("/proc"));
  EXPECT_FALSE(FolderIsWritable(dir / "missing"));
  WriteFile(dir / "SAVE.DAT", {1});
  EXPECT_EQ(ComputeSaveDataPath(places, "t"), dir / "SAVE.DAT");
}

TEST(SaveDataPath, AReadOnlyGameFolderFallsBackToTheUserFolder) {
  TTempDir dir;
  WriteFile(dir / "game/save.dat", {1, 2, 3});
  TSaveDataPlaces places;
  places.GameFolder = dir / "game";
  places.DataHome = dir / "data";
  places.IsWritable = [](const std::string&) { return false; };
  const std::string expected = dir / ("data/kestplayer/" + Cp932ToUtf8(Utf8ToCp932("ゲーム_1")) + "/save.dat");
  EXPECT_EQ(ComputeSaveDataPath(places, Utf8ToCp932("ゲーム?1")), expected);
  EXPECT_EQ(ReadFile(expected), (test::TBytes{1, 2, 3}));

  WriteFile(dir / "game/save.dat", {9});
  ComputeSaveDataPath(places, Utf8ToCp932("ゲーム?1"));
  EXPECT_EQ(ReadFile(expected), (test::TBytes{1, 2, 3}));

  places.DataHome.clear();
  places.Home = dir / "home";
  EXPECT_EQ(ComputeSaveDataPath(places, "x"), dir / "home/.local/share/kestplayer/x/save.dat");

  places.Home.clear();
  EXPECT_THROW(ComputeSaveDataPath(places, "x"), EKestError);
  WriteFile(dir / "file", {0});
  places.DataHome = dir / "file";
  try {
    ComputeSaveDataPath(places, "x");
    FAIL();
  } catch (const EKestError& error) {
    EXPECT_EQ(std::string(error.what()), Utf8ToCp932("データファイルを作成することができません"));
  }
}

}  // namespace
}  // namespace kest
