#include "script/project_setting.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "script/script_test_util.h"

namespace kest {
namespace {

using test::TBytes;
using test::TRecordBytes;

// 1.5 as a 10-byte extended float.
constexpr std::initializer_list<uint8_t> kOneAndAHalf = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F};

// A settings file of a version, every field it carries set to something
// other than its default, assembled field by field from the layout.
TBytes Fixture(int32_t version) {
  TRecordBytes b;
  b.Int(version).Str("Game").Int(800).Int(600).Int(1024).Int(768).Str("start.ksb");
  if (version >= 110) b.Str("exit.ksb");
  b.Str("Soft\\Key").Int(0x1234);
  if (version > 103) b.Byte(1);
  if (version >= 106) b.Byte(1);
  if (version >= 109) b.Str(".ogg");
  if (version > 112) b.Byte(1);
  if (version >= 114) b.Byte(1);
  if (version >= 116) b.Byte(0);
  b.Str("disc %d").Str("bye");
  b.Int(5);
  b.Byte(1).Str("Score").Int(-7);
  b.Byte(2).Str("Rate").Raw(kOneAndAHalf);
  b.Byte(3).Str("Seen").Byte(1);
  b.Byte(4).Str("Name").Str("kest");
  b.Byte(9).Str("Odd");
  b.Int(1).Str("bgm").Int(2);
  return b.Bytes();
}

TProjectSetting Read(const TBytes& bytes) {
  TByteStream stream{std::span<const uint8_t>(bytes)};
  TProjectSetting setting;
  setting.LoadFromStream(stream);
  return setting;
}

TBytes Written(const TProjectSetting& setting) {
  TByteStream stream;
  setting.SaveToStream(stream);
  return stream.TakeBytes();
}

TEST(ProjectSetting, OldestFileTakesTheDefaultsOfEveryGatedField) {
  const TProjectSetting s = Read(Fixture(0));
  EXPECT_EQ(s.Title, "Game");
  EXPECT_EQ(s.ScreenWidth, 800);
  EXPECT_EQ(s.FullScreenHeight, 768);
  EXPECT_EQ(s.StartPage, "start.ksb");
  EXPECT_EQ(s.ExitPage, "");
  EXPECT_EQ(s.RegistryKey, "Soft\\Key");
  EXPECT_EQ(s.IdentificationCode, 0x1234);
  EXPECT_TRUE(s.SaveToDisk) << "an old game keeps its status data";
  EXPECT_EQ(s.StreamedExtensions, ".wav.wma.ogg.mid");
  EXPECT_FALSE(s.StopWhenInactive);
  EXPECT_TRUE(s.ShowToolbar);
  EXPECT_EQ(s.DiscPrompt, "disc %d");
  EXPECT_EQ(s.QuitText, "bye");
  ASSERT_EQ(s.FolderDisks.size(), 1u);
  EXPECT_EQ(s.FolderDisks[0].Folder, "bgm");
  EXPECT_EQ(s.FolderDisks[0].Disc, 2);
}

TEST(ProjectSetting, Version105KeepsTheLaterDefaults) {
  const TProjectSetting s = Read(Fixture(105));
  EXPECT_TRUE(s.SaveToDisk);
  EXPECT_FALSE(s.StopWhenInactive);
  EXPECT_TRUE(s.ShowToolbar);
  EXPECT_EQ(s.StreamedExtensions, ".wav.wma.ogg.mid");
  EXPECT_EQ(s.ExitPage, "");
}

TEST(ProjectSetting, EachGateReadsItsField) {
  EXPECT_EQ(Read(Fixture(109)).StreamedExtensions, ".ogg");
  EXPECT_EQ(Read(Fixture(109)).ExitPage, "");
  EXPECT_EQ(Read(Fixture(110)).ExitPage, "exit.ksb");
  EXPECT_FALSE(Read(Fixture(112)).StopWhenInactive);
  EXPECT_TRUE(Read(Fixture(113)).StopWhenInactive);
  EXPECT_TRUE(Read(Fixture(115)).ShowToolbar);
  const TProjectSetting s = Read(Fixture(116));
  EXPECT_FALSE(s.ShowToolbar);
  EXPECT_TRUE(s.IdleSleep);
  EXPECT_TRUE(s.Reserved);
}

TEST(ProjectSetting, VariablesOfEveryKindAndOneWithoutValue) {
  const TProjectSetting s = Read(Fixture(116));
  ASSERT_EQ(s.Vars.size(), 5u);
  EXPECT_EQ(s.Vars[0].IntValue, -7);
  EXPECT_EQ(ExtendedToDouble(s.Vars[1].FloatValue), 1.5);
  EXPECT_TRUE(s.Vars[2].FlagValue);
  EXPECT_EQ(s.Vars[3].StrValue, "kest");
  EXPECT_EQ(s.Vars[4].Kind, 9);
  EXPECT_FALSE(s.Vars[4].HasValue());
}

TEST(ProjectSetting, TooNewAVersionIsRefused) {
  try {
    Read(Fixture(117));
    FAIL();
  } catch (const EKestError& error) {
    EXPECT_EQ(std::string(error.what()), Utf8ToCp932("このバージョンには対応していません"));
  }
}

TEST(ProjectSetting, DamagedFilesRaiseAndChangeNothing) {
  const TBytes whole = Fixture(116);
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    const TBytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    TByteStream stream{std::span<const uint8_t>(part)};
    TProjectSetting setting;
    setting.Title = "before";
    EXPECT_THROW(setting.LoadFromStream(stream), EReadError) << cut;
    EXPECT_EQ(setting.Title, "before");
  }
  TRecordBytes huge;
  huge.Int(100).Str("t").Int(1).Int(1).Int(1).Int(1).Str("s").Str("r").Int(0).Str("").Str("");
  huge.Int(0x7FFFFFFF);
  EXPECT_THROW(Read(huge.Bytes()), EReadError);
  TRecordBytes negative;
  negative.Int(100).Str("t").Int(1).Int(1).Int(1).Int(1).Str("s").Str("r").Int(0).Str("").Str("").Int(-1);
  EXPECT_THROW(Read(negative.Bytes()), EReadError);
}

// What the file brought in each version, with the field's value when absent.
struct TGatedField {
  int32_t Since;
  void (*Clear)(TProjectSetting&);
};

const TGatedField kGatedFields[] = {
    {104, [](TProjectSetting& s) { s.SaveToDisk = true; }},
    {106, [](TProjectSetting& s) { s.IdleSleep = false; }},
    {109, [](TProjectSetting& s) { s.StreamedExtensions = ".wav.wma.ogg.mid"; }},
    {110, [](TProjectSetting& s) { s.ExitPage.clear(); }},
    {113, [](TProjectSetting& s) { s.StopWhenInactive = false; }},
    {114, [](TProjectSetting& s) { s.Reserved = false; }},
    {116, [](TProjectSetting& s) { s.ShowToolbar = true; }},
};

class ProjectSettingRoundTrip : public ::testing::TestWithParam<int32_t> {};

TEST_P(ProjectSettingRoundTrip, WriterAndReaderAgreeByteForByte) {
  const TBytes fixture = Fixture(GetParam());
  const TProjectSetting read = Read(fixture);
  EXPECT_EQ(Written(read), fixture);
  EXPECT_EQ(Read(Written(read)), read);
}

TEST_P(ProjectSettingRoundTrip, WrittenSettingsReadBackWithNewerFieldsAtTheirDefaults) {
  TProjectSetting full = Read(Fixture(TProjectSetting::kNewestVersion));
  full.SaveToDisk = false;
  full.Version = GetParam();
  TProjectSetting expected = full;
  for (const TGatedField& field : kGatedFields)
    if (field.Since > GetParam()) field.Clear(expected);
  EXPECT_EQ(Read(Written(full)), expected);
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, ProjectSettingRoundTrip,
                         ::testing::Range(0, TProjectSetting::kNewestVersion + 1));

}  // namespace
}  // namespace kest
