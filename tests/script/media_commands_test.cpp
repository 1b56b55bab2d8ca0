// The sound command and the commands that stop and restart media, run by the
// interpreter over a scene whose media items are fakes.
#include <gtest/gtest.h>

#include "common/app_globals.h"
#include "common/stream.h"
#include "language/build_kest_parser.h"
#include "language/param_collection.h"
#include "language/param_types.h"
#include "language/sys_func_man.h"
#include "page_builder.h"
#include "scene/components/kest_mes.h"
#include "scene/components/kest_sound.h"
#include "scene/kest_base_list.h"
#include "script/call_man.h"
#include "storage/vr_file_manager.h"
#include "support/fake_scene_media.h"
#include "support/temp_files.h"

namespace kest {
namespace {

using test::TPageBuilder;

class MediaCommands : public ::testing::Test {
 protected:
  MediaCommands() : Files(NoDiscs()) {}
  static TVrFileManager::TOptions NoDiscs() {
    TVrFileManager::TOptions options;
    options.MountTable = "/nonexistent";
    return options;
  }
  void SetUp() override {
    ResetAppGlobals();
    Files.SetBaseFolder(Dir.Path());
    Scene.SetMedia(&Media);
    Vars.CreateVar("done", PT_INT, PS_GLOBAL);
  }
  void TearDown() override { ResetAppGlobals(); }

  TCallMan& Man() {
    if (!FMan) {
      TCallManParts parts;
      parts.Files = &Files;
      parts.Vars = &Vars;
      parts.Funcs = &Funcs;
      parts.Events = &Scene.Events();
      parts.Clock = &Scene.Clock();
      parts.Hosts.Scene = &Scene;
      FMan = std::make_unique<TCallMan>(std::move(parts));
    }
    return *FMan;
  }
  static void Sound(TPageBuilder& page, const std::string& name, int32_t fadeTime) {
    auto& props = page.Add(ciSound).Field("props");
    props.Prop(PR_NAME) = std::make_unique<TKestParser>(TBuildKestParser::Compile("\"" + name + "\""));
    props.Prop(PR_SOURCE) = std::make_unique<TKestParser>(TBuildKestParser::Compile("\"a.ogg\""));
    props.Prop(PR_DELAY) = std::make_unique<TKestParser>(TBuildKestParser::Compile(std::to_string(fadeTime)));
    props.Prop(PR_VOLUME) = std::make_unique<TKestParser>(TBuildKestParser::Compile("1000"));
  }
  static void Stop(TPageBuilder& page, const std::string& name, int32_t fade, bool wait) {
    TCommand& c = page.Expr(ciMovieStop, "object", "\"" + name + "\"");
    c.Field("fade").Expr = TBuildKestParser::Compile(std::to_string(fade));
    c.Field("wait").Expr = TBuildKestParser::Compile(wait ? "TRUE" : "FALSE");
  }
  void Start(TPageBuilder& page) {
    page.Calc("done = 1");
    page.Wait("0");
    page.WriteTo(Dir.Path());
    Man().LoadStartPage("start.ksb");
  }
  void Tick() {
    Scene.Clock().Advance(15);
    Man().RunTick();
    Scene.UpdateScene();
  }
  int32_t Done() { return Vars.FindVar("done")->Value()->GetAsInt(); }
  TKestSound* Found(const std::string& name) {
    TKestObject* object = Scene.FindObject(name);
    return object && object->Kind() == LT_SOUND ? static_cast<TKestSound*>(object) : nullptr;
  }

  test::TTempDir Dir;
  TVrFileManager Files;
  TParamCollection Vars;
  TSysFuncMan Funcs;
  TFakeSceneMedia Media;
  TKestBaseList Scene;
  std::unique_ptr<TCallMan> FMan;
};

TEST_F(MediaCommands, TheSoundCommandStartsPlayingOrFadingIn) {
  TPageBuilder start("start.ksb");
  Sound(start, "plain", 0);
  Sound(start, "faded", 500);
  Start(start);
  Tick();
  ASSERT_NE(Found("plain"), nullptr);
  EXPECT_EQ(Found("plain")->PlayState(), kPlayStatePlaying);
  EXPECT_EQ(Found("plain")->Item()->GetVolume(), 0);
  EXPECT_TRUE(Found("plain")->Item()->IsPlaying());
  ASSERT_NE(Found("faded"), nullptr);
  EXPECT_EQ(Found("faded")->PlayState(), kPlayStateFadingIn);
  EXPECT_EQ(Found("faded")->Item()->GetVolume(), -10000);
}

TEST_F(MediaCommands, StoppingWithoutFadeScrapsAtOnce) {
  TPageBuilder start("start.ksb");
  Sound(start, "bgm", 0);
  Stop(start, "bgm", 0, true);
  Start(start);
  Tick();
  EXPECT_EQ(Done(), 1);
  EXPECT_EQ(Media.Released, 1);
  EXPECT_EQ(Scene.Count(), 0);
}

TEST_F(MediaCommands, AFadeOutWaitedForHoldsTheScriptUntilTheSoundHasGone) {
  TPageBuilder start("start.ksb");
  Sound(start, "bgm", 0);
  Stop(start, "bgm", 1000, true);
  Start(start);
  Tick();
  EXPECT_EQ(Found("bgm"), nullptr);  // the name is free while it fades
  EXPECT_EQ(Scene.Count(), 1);
  int ticks = 1;
  while (Done() == 0 && ticks < 200) {
    Tick();
    ++ticks;
  }
  EXPECT_EQ(Scene.Count(), 0);
  EXPECT_EQ(Media.Released, 1);
  // The fade took its 1000 ms from the tick it began on.
  EXPECT_GE(ticks * 15, 1000);
  EXPECT_LE(ticks * 15, 1000 + 3 * 15);
}

TEST_F(MediaCommands, AFadeOutNotWaitedForLetsTheScriptGoOn) {
  TPageBuilder start("start.ksb");
  Sound(start, "bgm", 0);
  Stop(start, "bgm", 1000, false);
  Start(start);
  Tick();
  EXPECT_EQ(Done(), 1);
  EXPECT_EQ(Scene.Count(), 1);
}

TEST_F(MediaCommands, AWaitingStopKeepsItsObjectAcrossASave) {
  TPageBuilder start("start.ksb");
  Sound(start, "bgm", 0);
  Stop(start, "bgm", 1000, true);
  Start(start);
  Tick();
  TCommand& waiting = *Man().CurrentPage()->Commands().Items(Man().Pc());
  TByteStream saved;
  waiting.SaveState(saved);
  const std::vector<uint8_t> bytes = saved.TakeBytes();
  TByteStream expected;
  WriteStateTag(expected);
  WriteStr(expected, "\x01SCRAP_bgm");
  WriteFlag(expected, true);
  WriteFlag(expected, false);
  EXPECT_EQ(bytes, expected.TakeBytes());

  // The loaded command finds the fading sound by its name and waits on.
  TByteStream load{std::span<const uint8_t>(bytes)};
  waiting.LoadState(load);
  const int32_t pc = Man().Pc();
  Tick();
  EXPECT_EQ(Man().Pc(), pc);
  for (int i = 0; i < 80; ++i) Tick();
  EXPECT_EQ(Done(), 1);
}

TEST_F(MediaCommands, StoppingWhatDoesNotPlayDoesNotWait) {
  Media.Files.erase("a.ogg");
  TPageBuilder start("start.ksb");
  Sound(start, "bgm", 0);
  Stop(start, "bgm", 1000, true);
  Start(start);
  Tick();
  EXPECT_EQ(Done(), 1);
  EXPECT_NE(Found("bgm"), nullptr);
}

TEST_F(MediaCommands, MediaPlayStartsOverFadingIn) {
  TPageBuilder start("start.ksb");
  Sound(start, "bgm", 400);
  start.Expr(ciMediaPlay, "object", "\"bgm\"");
  Start(start);
  TKestSound* sound = nullptr;
  Tick();
  sound = Found("bgm");
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->PlayState(), kPlayStateFadingIn);
  auto& item = static_cast<TFakeSoundItem&>(*sound->Item());
  EXPECT_EQ(item.Position, 0);
  EXPECT_EQ(item.Volume, -10000);
  EXPECT_EQ(Media.Added, 1);
  for (int i = 0; i < 40; ++i) Tick();
  EXPECT_EQ(item.Volume, 0);
}

TEST_F(MediaCommands, CallHistKeepsItsFlagWhenItFindsNothingToShow) {
  auto& window = static_cast<TKestMes&>(*Scene.CreateByKind(LT_MES));
  window.SetName("mes");
  TPageBuilder start("start.ksb");
  TCommand& call = start.Expr(ciCallHist, "window", "\"mes\"");
  call.Field("first").Expr = TBuildKestParser::Compile("0");
  call.Field("count").Expr = TBuildKestParser::Compile("5");
  call.Field("flag").Expr = TBuildKestParser::Compile("TRUE");
  Start(start);
  Man().RunTick();
  EXPECT_EQ(Done(), 1);
  EXPECT_TRUE(window.HistoryFlag());
}

}  // namespace
}  // namespace kest
