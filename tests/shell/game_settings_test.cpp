#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "shell/game_settings.h"
#include "shell/ini_file.h"

#include "support/temp_files.h"

namespace kest {
namespace {

TEST(GameSettings, DelayTimeRoundsDownToHundredsThenClamps) {
  EXPECT_EQ(ClampDelayTime(1234), 500);
  EXPECT_EQ(ClampDelayTime(9999), 500);
  EXPECT_EQ(ClampDelayTime(250), 200);
  EXPECT_EQ(ClampDelayTime(299), 200);
  EXPECT_EQ(ClampDelayTime(50), 100);
  EXPECT_EQ(ClampDelayTime(-50), 100);
  EXPECT_EQ(ClampDelayTime(500), 500);
}

TEST(GameSettings, MissingFileAndKeysGiveDefaults) {
  TGameSettings s = LoadGameSettings("/nonexistent/folder/game.ini");
  EXPECT_TRUE(s.DirectSound);
  EXPECT_EQ(s.DelayTime, 500);
  EXPECT_FALSE(s.UseWMP);
  s = ReadGameSettings(TIniFile::Parse("[Sound]\r\nDelayTime=abc\r\n"));
  EXPECT_EQ(s.DelayTime, 500);
}

TEST(GameSettings, ReadsEveryKeyIgnoringCase) {
  TGameSettings s = ReadGameSettings(TIniFile::Parse(
      "; written by hand\r\n[sound]\r\ndirectsound = FALSE\r\nDELAYTIME=250\r\n\r\n[Video]\r\nUseWMP=1\r\n"));
  EXPECT_FALSE(s.DirectSound);
  EXPECT_EQ(s.DelayTime, 200);
  EXPECT_TRUE(s.UseWMP);
  s = ReadGameSettings(TIniFile::Parse("[Sound]\nDirectSound=0\n[Video]\nUseWMP=true\n"));
  EXPECT_FALSE(s.DirectSound);
  EXPECT_TRUE(s.UseWMP);
  // A value that is no boolean keeps the default.
  EXPECT_TRUE(ReadGameSettings(TIniFile::Parse("[Sound]\nDirectSound=maybe\n")).DirectSound);
}

TEST(IniFile, RewriteKeepsOtherLinesAndAddsMissingKeys) {
  TIniFile ini = TIniFile::Parse("; comment\r\n[Sound]\r\nDelayTime=300\r\nOther=x\r\n\r\n[Video]\r\nUseWMP=1\r\n");
  ini.WriteInteger("sound", "delaytime", 200);
  ini.WriteBool("Sound", "DirectSound", false);
  ini.WriteString("New", "Key", "v");
  EXPECT_EQ(ini.Text(),
            "; comment\r\n[Sound]\r\nDelayTime=200\r\nOther=x\r\nDirectSound=0\r\n\r\n[Video]\r\nUseWMP=1\r\n"
            "\r\n[New]\r\nKey=v\r\n");
}

TEST(IniFile, SaveReplacesTheFileWhole) {
  namespace fs = std::filesystem;
  const ::kest::test::TTempDir scratch;
  const fs::path dir = fs::path(scratch.Path()) / "kest_ini_test";
  fs::create_directories(dir);
  const std::string path = (dir / "game.ini").string();
  TIniFile ini;
  ini.WriteInteger("Sound", "DelayTime", 400);
  std::string error;
  ASSERT_TRUE(ini.Save(path, &error)) << error;
  EXPECT_EQ(TIniFile::Load(path).ReadInteger("Sound", "DelayTime", 0), 400);
  EXPECT_FALSE(fs::exists(path + ".tmp"));
  // An unwritable target folder fails and says why.
  EXPECT_FALSE(ini.Save((dir / "missing" / "game.ini").string(), &error));
  EXPECT_NE(error.find("cannot create"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace kest
