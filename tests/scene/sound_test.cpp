#include <gtest/gtest.h>

#include "common/save_versions.h"
#include "common/stream.h"
#include "scene/components/kest_sound.h"
#include "scene/components/kest_timer.h"
#include "scene/kest_base_list.h"
#include "support/fake_scene_media.h"

namespace kest {
namespace {

class Sound : public ::testing::Test {
 protected:
  void SetUp() override { Scene.SetMedia(&Media); }
  TKestSound& NewSound(const std::string& name, const std::string& source, int32_t fadeTime = 0,
                       TKestBaseList* scene = nullptr) {
    auto& sound = (scene ? *scene : Scene).Create<TKestSound>();
    sound.SetName(name);
    sound.SetProp(PR_SOURCE, source);
    sound.SetProp(PR_VOLUME, int32_t{1000});
    sound.SetProp(PR_DELAY, fadeTime);
    return sound;
  }
  void At(int64_t time) {
    Scene.Clock().GameTime = time;
    Scene.UpdateScene();
  }
  static std::vector<uint8_t> Saved(const TKestSound& sound) {
    TByteStream stream;
    sound.SaveState(stream);
    return stream.TakeBytes();
  }
  TKestSound& Loaded(TKestBaseList& scene, const std::vector<uint8_t>& bytes) {
    scene.SetMedia(&Media);
    scene.SetClock(&Scene.Clock());
    TByteStream stream{std::span<const uint8_t>(bytes)};
    auto& sound = scene.Create<TKestSound>();
    sound.LoadState(stream, kSaveNewestVersion);
    EXPECT_EQ(stream.Remaining(), 0);
    return sound;
  }

  TFakeSceneMedia Media;
  TKestBaseList Scene;
};

TEST_F(Sound, VolumeScale) {
  EXPECT_EQ(TKestSound::ItemVolume(1, false), -4995);
  EXPECT_EQ(TKestSound::ItemVolume(0, false), -10000);
  EXPECT_EQ(TKestSound::ItemVolume(500, false), -2500);
  EXPECT_EQ(TKestSound::ItemVolume(1000, false), 0);
  EXPECT_EQ(TKestSound::ItemVolume(5000, false), 0);
  EXPECT_EQ(TKestSound::ItemVolume(500, true), -5000);
  EXPECT_EQ(TKestSound::ItemVolume(0, true), -10000);
  EXPECT_EQ(TKestSound::ItemVolume(2000, true), 0);
  TKestSound& sound = NewSound("s", "a.ogg");
  sound.SetProp(PR_VOLUME, int32_t{1});
  sound.SetPlayState(kPlayStatePlaying);
  EXPECT_EQ(Media.Last()->Volume, -4995);
  sound.SetProp(PR_VOLUME, int32_t{0});
  EXPECT_EQ(Media.Last()->Volume, -10000);
}

TEST_F(Sound, FadeInRisesThroughTheUpperHalf) {
  TKestSound& sound = NewSound("s", "a.ogg", 1000);
  sound.SetPlayState(kPlayStateFadingIn);
  TFakeSoundItem& item = *Media.Last();
  At(0);
  EXPECT_TRUE(item.Playing);
  EXPECT_EQ(item.Volume, -10000);
  At(0);
  EXPECT_EQ(item.Volume, -5000);
  At(500);
  EXPECT_EQ(item.Volume, -2500);
  At(1000);
  EXPECT_EQ(item.Volume, 0);
  EXPECT_EQ(sound.PlayState(), kPlayStateFadingIn);
}

TEST_F(Sound, MidiFadeInCoversTheWholeRange) {
  TKestSound& sound = NewSound("s", "m.mid", 1000);
  sound.SetPlayState(kPlayStateFadingIn);
  TDMediaItem& item = *sound.Item();
  At(0);
  At(0);
  EXPECT_EQ(item.GetVolume(), -10000);
  At(500);
  EXPECT_EQ(item.GetVolume(), -5000);
  At(999);
  EXPECT_LE(item.GetVolume(), 0);
  At(1000);
  EXPECT_EQ(item.GetVolume(), 0);
}

TEST_F(Sound, AFadeOfMinutesDoesNotOverflow) {
  TKestSound& sound = NewSound("s", "m.mid", 600000);
  sound.SetPlayState(kPlayStateFadingIn);
  At(0);
  At(300000);
  EXPECT_EQ(sound.Item()->GetVolume(), -5000);
}

TEST_F(Sound, NoFadeTimePlaysAtOnce) {
  TKestSound& sound = NewSound("s", "a.ogg", 0);
  sound.SetProp(PR_INDEX, int32_t{700});
  sound.SetPlayState(kPlayStateFadingIn);
  EXPECT_EQ(sound.PlayState(), kPlayStatePlaying);
  EXPECT_TRUE(Media.Last()->Playing);
  EXPECT_EQ(Media.Last()->Volume, 0);
  EXPECT_EQ(Media.Last()->Position, 700);
}

TEST_F(Sound, StoppingDestroysTheSound) {
  TKestSound& sound = NewSound("s", "a.ogg");
  sound.SetPlayState(kPlayStatePlaying);
  sound.SetPlayState(kPlayStateStopped);
  EXPECT_EQ(Media.Released, 1);
  At(15);
  EXPECT_EQ(Scene.FindObject("s"), nullptr);
  EXPECT_EQ(Scene.Count(), 0);
}

TEST_F(Sound, FadingOutFreesTheNameAtOnce) {
  TKestSound& old_sound = NewSound("bgm", "a.ogg", 1000);
  old_sound.SetPlayState(kPlayStatePlaying);
  TFakeSoundItem& old_item = *Media.Last();
  old_sound.SetPlayState(kPlayStateFadingOut);
  EXPECT_EQ(Scene.FindObject("bgm"), nullptr);
  EXPECT_EQ(old_sound.Name(), "\x01SCRAP_bgm");

  TKestSound& new_sound = NewSound("bgm", "b.ogg", 0);
  new_sound.SetPlayState(kPlayStatePlaying);
  EXPECT_EQ(Scene.FindObject("bgm"), &new_sound);
  At(0);
  At(500);
  EXPECT_EQ(old_item.Volume, -2500);  // half way down the upper half
  EXPECT_EQ(Scene.Count(), 2);
  At(1000);
  EXPECT_EQ(Scene.Count(), 1);
  EXPECT_EQ(Scene.FindObject("bgm"), &new_sound);
  EXPECT_EQ(Media.Released, 1);
  EXPECT_EQ(Media.Sounds.Count(), 1);
}

TEST_F(Sound, TheEndScrapsOrTellsTheScript) {
  TKestSound& told = NewSound("told", "a.ogg");
  told.SetProp(PR_ONPLAYEND, std::string("end.src"));
  told.SetPlayState(kPlayStatePlaying);
  TFakeSoundItem& told_item = *Media.Last();
  TKestSound& scrapped = NewSound("scrapped", "b.ogg");
  scrapped.SetProp(PR_AUTOSCRAP, true);
  scrapped.SetPlayState(kPlayStatePlaying);
  TKestSound& looped = NewSound("looped", "b.ogg");
  looped.SetProp(PR_REPEAT, true);
  looped.SetPlayState(kPlayStatePlaying);
  TFakeSoundItem& looped_item = *Media.Last();
  for (TFakeSoundItem* item : {&told_item, static_cast<TFakeSoundItem*>(scrapped.Item()), &looped_item}) {
    item->Position = 10000;
    item->Ended = true;
  }
  At(15);
  EXPECT_EQ(Scene.FindObject("scrapped"), nullptr);
  EXPECT_EQ(Media.Released, 1);
  EXPECT_TRUE(Scene.Events().IsWaiting(told.Ref(), PR_ONPLAYEND));
  EXPECT_EQ(Scene.Events().Count(), 1);
  EXPECT_EQ(looped_item.Position, 0);
  At(30);
  EXPECT_EQ(Scene.Events().Count(), 1);  // the end is told once
}

TEST_F(Sound, AMissingFileScrapsAnAutoScrapSound) {
  TKestSound& kept = NewSound("kept", "none.ogg");
  kept.SetPlayState(kPlayStatePlaying);
  TKestSound& gone = NewSound("gone", "none.ogg");
  gone.SetProp(PR_AUTOSCRAP, true);
  gone.SetPlayState(kPlayStatePlaying);
  At(15);
  EXPECT_EQ(Media.Added, 0);
  EXPECT_NE(Scene.FindObject("kept"), nullptr);
  EXPECT_EQ(Scene.FindObject("gone"), nullptr);
}

// Scripts write some properties every frame: a value that does not change
// must leave the object as it was.
TEST_F(Sound, WritingAnUnchangedValueChangesNothing) {
  auto& timer = Scene.Create<TKestTimer>();
  timer.SetProp(PR_ONNOTIFY, std::string("t.src"));
  timer.SetProp(PR_DELAY, int32_t{100});
  TKestSound& fading = NewSound("fading", "a.ogg", 1000);
  fading.SetPlayState(kPlayStateFadingIn);
  TFakeSoundItem& fading_item = *Media.Last();
  TKestSound& ended = NewSound("ended", "b.ogg");
  ended.SetProp(PR_ONPLAYEND, std::string("end.src"));
  ended.SetPlayState(kPlayStatePlaying);
  TFakeSoundItem& ended_item = *Media.Last();
  ended_item.Position = 10000;
  ended_item.Ended = true;
  ended_item.Playing = false;
  for (int64_t time = 0; time <= 510; time += 15) {
    timer.SetProp(PR_ONNOTIFY, std::string("t.src"));
    timer.SetProp(PR_DELAY, int32_t{100});
    timer.SetProp(PR_PAUSED, false);
    fading.SetProp(PR_PAUSED, false);
    fading.SetProp(PR_ANIPAUSED, false);
    ended.SetProp(PR_PAUSED, false);
    At(time);
  }
  EXPECT_TRUE(Scene.Events().IsWaiting(timer.Ref(), PR_ONNOTIFY));
  EXPECT_EQ(fading_item.Volume, -2450);
  EXPECT_FALSE(ended_item.Playing);
  EXPECT_EQ(Scene.Events().Count(), 2);  // the timer's and the one end
}

// An animation pause given before the sound starts holds through a start,
// a restart and a saved game, and its end fades the sound in.
TEST_F(Sound, AnAnimationPauseGivenAtCreationHolds) {
  TKestSound& sound = NewSound("s", "a.ogg", 1000);
  sound.SetProp(PR_ANIPAUSED, true);
  sound.SetPlayState(kPlayStatePlaying);
  TFakeSoundItem& item = *Media.Last();
  EXPECT_FALSE(item.Playing);
  sound.Replay();
  At(0);
  At(500);
  EXPECT_FALSE(item.Playing);
  EXPECT_EQ(item.Volume, -10000);
  TKestBaseList scene;
  Loaded(scene, Saved(sound));
  EXPECT_FALSE(Media.Last()->Playing);
  sound.SetProp(PR_ANIPAUSED, false);
  At(500);
  At(1000);
  EXPECT_TRUE(item.Playing);
  EXPECT_EQ(item.Volume, -2500);
}

TEST_F(Sound, PausingSilencesAndResumingFadesInAgain) {
  TKestSound& sound = NewSound("s", "a.ogg", 1000);
  sound.SetPlayState(kPlayStateFadingIn);
  TFakeSoundItem& item = *Media.Last();
  At(0);
  At(1000);
  sound.SetProp(PR_ANIPAUSED, true);
  EXPECT_FALSE(item.Playing);
  EXPECT_EQ(item.Volume, -10000);
  sound.SetProp(PR_ANIPAUSED, false);
  At(1000);
  At(1500);
  EXPECT_EQ(item.Volume, -2500);
  sound.SetPlayState(kPlayStatePlaying);
  sound.SetProp(PR_PAUSED, true);
  sound.SetProp(PR_PAUSED, false);
  EXPECT_TRUE(item.Playing);
  EXPECT_EQ(item.Volume, 0);
}

TEST_F(Sound, ALengthIsReadWithoutPlaying) {
  TKestSound& sound = NewSound("s", "a.ogg");
  EXPECT_EQ(std::get<int32_t>(sound.GetProp(PR_COUNT)), 10000);
  EXPECT_EQ(Media.Sounds.Count(), 0);
  EXPECT_EQ(std::get<int32_t>(sound.GetProp(PR_INDEX)), 0);
}

TEST_F(Sound, DestroyingReleasesTheItem) {
  {
    TKestBaseList scene;
    scene.SetMedia(&Media);
    NewSound("s", "a.ogg", 0, &scene).SetPlayState(kPlayStatePlaying);
    EXPECT_EQ(Media.Sounds.Count(), 1);
  }
  EXPECT_EQ(Media.Sounds.Count(), 0);
}

TEST_F(Sound, ASoundSavedWhileFadingInLoadsFadingIn) {
  TKestSound& sound = NewSound("s", "a.ogg", 1000);
  sound.SetPlayState(kPlayStateFadingIn);
  At(0);
  Media.Last()->Position = 400;
  TKestBaseList scene;
  TKestSound& loaded = Loaded(scene, Saved(sound));
  EXPECT_EQ(loaded.PlayState(), kPlayStateFadingIn);
  TFakeSoundItem& item = *Media.Last();
  EXPECT_EQ(item.Position, 400);
  Scene.Clock().GameTime = 2000;
  scene.UpdateScene();
  EXPECT_EQ(item.Volume, -10000);
  Scene.Clock().GameTime = 2500;
  scene.UpdateScene();
  EXPECT_EQ(item.Volume, -2500);
}

TEST_F(Sound, ASoundSavedWhileFadingOutLoadsFadingOutUnderItsTemporaryName) {
  TKestSound& sound = NewSound("bgm", "a.ogg", 1000);
  sound.SetProp(PR_VOLUME, int32_t{600});
  sound.SetPlayState(kPlayStatePlaying);
  sound.SetPlayState(kPlayStateFadingOut);
  At(0);
  TKestBaseList scene;
  TKestSound& loaded = Loaded(scene, Saved(sound));
  EXPECT_EQ(loaded.PlayState(), kPlayStateFadingOut);
  EXPECT_EQ(loaded.Name(), "\x01SCRAP_bgm");
  TFakeSoundItem& item = *Media.Last();
  EXPECT_TRUE(item.Playing);
  EXPECT_EQ(item.Volume, -2000);
  Scene.Clock().GameTime = 1000;
  scene.UpdateScene();
  Scene.Clock().GameTime = 2000;
  scene.UpdateScene();
  EXPECT_EQ(scene.Count(), 0);
}

TEST_F(Sound, AShortPlayingSoundIsSavedStopped) {
  Media.Length = 2999;
  TKestSound& effect = NewSound("fx", "a.ogg");
  effect.SetPlayState(kPlayStatePlaying);
  TKestSound& loop = NewSound("loop", "b.ogg");
  loop.SetProp(PR_REPEAT, true);
  loop.SetPlayState(kPlayStatePlaying);
  TKestBaseList scene;
  const int32_t added = Media.Added;
  EXPECT_EQ(Loaded(scene, Saved(effect)).PlayState(), kPlayStateStopped);
  EXPECT_EQ(Media.Added, added);
  TKestSound& loaded_loop = Loaded(scene, Saved(loop));
  EXPECT_EQ(loaded_loop.PlayState(), kPlayStatePlaying);
  EXPECT_TRUE(Media.Last()->Repeat);
}

TEST_F(Sound, LoadFlagsMuteAndRewind) {
  TKestSound& sound = NewSound("s", "a.ogg");
  sound.SetProp(PR_MUTEONLOAD, true);
  sound.SetProp(PR_REWINDONLOAD, true);
  sound.SetPlayState(kPlayStatePlaying);
  Media.Last()->Position = 5000;
  TKestBaseList scene;
  TKestSound& loaded = Loaded(scene, Saved(sound));
  EXPECT_EQ(std::get<int32_t>(loaded.GetProp(PR_VOLUME)), 0);
  EXPECT_EQ(Media.Last()->Volume, -10000);
  EXPECT_EQ(Media.Last()->Position, 0);
}

TEST_F(Sound, AnOlderRecordLacksTheLaterFields) {
  TKestSound& sound = NewSound("s", "a.ogg");
  sound.SetProp(PR_REWINDONLOAD, true);
  sound.SetProp(PR_MUTEONLOAD, true);
  sound.SetProp(PR_REPEATPOS, int32_t{250});
  std::vector<uint8_t> bytes = Saved(sound);
  bytes.resize(bytes.size() - 5);  // mute, repeat position
  TKestBaseList scene;
  scene.SetMedia(&Media);
  TByteStream stream{std::span<const uint8_t>(bytes)};
  auto& loaded = scene.Create<TKestSound>();
  loaded.LoadState(stream, kSaveSinceMuteOnLoad - 1);
  EXPECT_EQ(stream.Remaining(), 0);
  EXPECT_TRUE(std::get<bool>(loaded.GetProp(PR_REWINDONLOAD)));
  EXPECT_FALSE(std::get<bool>(loaded.GetProp(PR_MUTEONLOAD)));
  EXPECT_EQ(std::get<int32_t>(loaded.GetProp(PR_REPEATPOS)), 0);
  EXPECT_EQ(std::get<int32_t>(loaded.GetProp(PR_VOLUME)), 1000);
}

}  // namespace
}  // namespace kest
