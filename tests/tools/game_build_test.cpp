// A source folder becomes a game folder: page files by relative path, the
// project file from game.ini, the archive with --pack, and nothing at all
// when anything is wrong.
#include <filesystem>

#include "common/extended.h"
#include "kestc/game_builder.h"
#include "kestc_test_util.h"
#include "script/project_setting.h"
#include "storage/vr_file_collection.h"
#include "support/temp_files.h"

namespace kest::test {
using namespace kest::kestc;
namespace {

namespace fs = std::filesystem;
using kest::test::ReadFile;
using kest::test::TTempDir;

void Put(const TTempDir& dir, const std::string& name, const std::string& text) {
  kest::test::WriteFile(dir / name, kest::test::TBytes(text.begin(), text.end()));
}

TProjectSetting ReadProject(const std::string& path) {
  const kest::test::TBytes bytes = ReadFile(path);
  TByteStream stream{std::span<const uint8_t>(bytes)};
  TProjectSetting s;
  s.LoadFromStream(stream);
  return s;
}

TEST(GameBuild, PagesProjectAndArchive) {
  TTempDir dir;
  Put(dir, "src/start.kst", "var int a = 1 global\ncall sub/menu:top(a)\n");
  Put(dir, "src/sub/menu.kst", "label top\ncalc a = a + 1\n");
  Put(dir, "src/notes.txt", "not a script");
  Put(dir, "src/game.ini",
      "# the test game\n"
      "title = テスト\n"
      "size = 800x600\n"
      "start = sub/menu\n"
      "exit = start\n"
      "toolbar = 0\n"
      "stop-when-inactive = 0\n"
      "version = 112\n"
      "var.score = int -5\n"
      "var.rate = real 1.5\n"
      "var.seen = flag TRUE\n"
      "var.who = string \"名 \\\"x\\\"\"\n");
  TDiagnostics errors;
  ASSERT_TRUE(BuildGame({dir / "src", dir / "out", true}, errors)) << errors.Text();
  EXPECT_TRUE(fs::exists(dir / "out/start.ksb"));
  EXPECT_TRUE(fs::exists(dir / "out/sub/menu.ksb"));
  EXPECT_EQ(ReadFile(dir / "out/notes.txt").size(), 12u) << "other files are copied";
  EXPECT_FALSE(fs::exists(dir / "out/start.kst"));
  EXPECT_FALSE(fs::exists(dir / "out/game.ini"));
  const TProjectSetting s = ReadProject(dir / "out/kest.kpb");
  EXPECT_EQ(s.Title, Utf8ToCp932("テスト"));
  EXPECT_EQ(s.ScreenWidth, 800);
  EXPECT_EQ(s.FullScreenHeight, 600) << "the full-screen size follows the screen";
  EXPECT_EQ(s.StartPage, "sub\\menu.ksb");
  EXPECT_EQ(s.Version, 112);
  EXPECT_FALSE(s.StopWhenInactive);
  EXPECT_TRUE(s.SaveToDisk);
  ASSERT_EQ(s.Vars.size(), 4u);
  EXPECT_EQ(s.Vars[0].Kind, 1);
  EXPECT_EQ(s.Vars[0].IntValue, -5);
  EXPECT_EQ(s.Vars[1].FloatValue, ExtendedFromLongDouble(1.5L));
  EXPECT_TRUE(s.Vars[2].FlagValue);
  EXPECT_EQ(s.Vars[3].StrValue, Utf8ToCp932("名 \"x\""));

  TPage start;
  const kest::test::TBytes bytes = ReadFile(dir / "out/start.ksb");
  start.LoadFromBytes("start.ksb", bytes, nullptr);
  EXPECT_EQ(start.Commands().Items(1)->Field("page").Text, "sub\\menu.ksb");

  TVrFileCollection archive;
  archive.Open(dir / "out/game.dat");
  ASSERT_EQ(archive.Count(), 4);
  EXPECT_NE(archive.FindEntry("notes.txt"), nullptr);
  EXPECT_NE(archive.FindEntry("sub\\menu.ksb"), nullptr);
  TTpBigMemoryStream packed;
  archive.Extract(packed, "start.ksb");
  EXPECT_EQ(std::vector<uint8_t>(packed.Data().begin(), packed.Data().end()), bytes);
}

TEST(GameBuild, AGameFolderInsideItsSourcesIsNotCopiedIntoItself) {
  TTempDir dir;
  Put(dir, "src/start.kst", "calc 1\n");
  Put(dir, "src/bg/sky.png", "png");
  TDiagnostics errors;
  ASSERT_TRUE(BuildGame({dir / "src", dir / "src/out", false}, errors)) << errors.Text();
  ASSERT_TRUE(BuildGame({dir / "src", dir / "src/out", false}, errors)) << errors.Text();
  EXPECT_TRUE(fs::exists(dir / "src/out/bg/sky.png"));
  EXPECT_FALSE(fs::exists(dir / "src/out/out"));
}

TEST(GameBuild, NothingIsWrittenWhenAnythingIsWrong) {
  TTempDir dir;
  Put(dir, "src/start.kst", "jump other:there\n");
  Put(dir, "src/other.kst", "label here\n");
  Put(dir, "out/start.ksb", "old");
  TDiagnostics errors;
  EXPECT_FALSE(BuildGame({dir / "src", dir / "out", true}, errors));
  EXPECT_EQ(errors.Text(), dir / "src/start.kst" + ":1:6: page other.ksb has no label there\n");
  EXPECT_EQ(ReadFile(dir / "out/start.ksb"), kest::test::TBytes({'o', 'l', 'd'}));
  EXPECT_FALSE(fs::exists(dir / "out/other.ksb"));
  EXPECT_FALSE(fs::exists(dir / "out/kest.kpb"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 1);
}

TEST(GameBuild, GameIniMistakesAndAMissingStartPage) {
  TTempDir dir;
  Put(dir, "src/menu.kst", "calc a\n");
  Put(dir, "src/game.ini", "size = 640 by 480\ntoolbar = yes\nexit = nowhere\ncolour = 1\nvar.x = int\n");
  TDiagnostics errors;
  EXPECT_FALSE(BuildGame({dir / "src", dir / "out", false}, errors));
  const std::string ini = dir / "src/game.ini";
  EXPECT_EQ(errors.Text(),
            ini + ":1:8: a size is written WIDTHxHEIGHT, 640x480\n" + ini + ":2:11: expected 0 or 1\n" + ini +
                ":3:8: there is no page nowhere (no nowhere.kst)\n" + ini +
                ":4:1: unknown key colour (title, size, full_size, start, exit, toolbar, stop_when_inactive, "
                "save_to_disk, version, var.NAME)\n" +
                ini + ":5:12: expected a whole number\n" + ini +
                ": there is no start page: add start.kst, or name the page with start = PAGE\n");
  EXPECT_FALSE(fs::exists(dir / "out"));
}

TEST(GameBuild, DumpNamesThePageAfterItsGameFolder) {
  TTempDir dir;
  Put(dir, "src/start.kst", "calc a\n");
  Put(dir, "src/sub/menu.kst", "label top\njump :top\n");
  TDiagnostics errors;
  ASSERT_TRUE(BuildGame({dir / "src", dir / "out", false}, errors)) << errors.Text();
  std::string text;
  ASSERT_TRUE(DumpPageFile(dir / "out/sub/menu.ksb", text, errors)) << errors.Text();
  EXPECT_EQ(text, "label top\njump :top\n");
  Put(dir, "bad.ksb", std::string("\x66\x00\x00\x00", 4));
  EXPECT_FALSE(DumpPageFile(dir / "bad.ksb", text, errors));
  EXPECT_EQ(errors.Items().back().Message, "page version 102 cannot be read (versions 103 to 116)");
  Put(dir, "cut.ksb", std::string("\x74\x00\x00\x00\x01\x3D\x00\x00\x00", 9));
  EXPECT_FALSE(DumpPageFile(dir / "cut.ksb", text, errors));
  EXPECT_EQ(errors.Items().back().Message, "cut.ksb: Stream read error");
}

}  // namespace
}  // namespace kest::test
