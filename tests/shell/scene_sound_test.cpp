// A real sound played by a scene's sound component through the player's
// media managers, on both paths of the DirectSound setting, into a sink that
// is pulled by hand.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "kestlib/stream_callbacks.h"
#include "media/sound/sound_bus.h"
#include "platform/audio_device.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "scene/components/kest_sound.h"
#include "scene/kest_base_list.h"
#include "shell/media_part.h"
#include "shell/scene_media_part.h"
#include "support/player_media_rig.h"
#include "support/sound_checks.h"
#include "support/temp_files.h"

namespace kest {
namespace {

constexpr const char* kBell = "/usr/share/sounds/freedesktop/stereo/complete.oga";

using test::Rms;

class SceneSound : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kBell)) GTEST_SKIP() << "no freedesktop sound theme";
    // The sound component plays ".ogg" names through the Ogg manager.
    std::filesystem::create_symlink(kBell, Sound());
    Rig.Open(GetParam());
    Scene = std::make_unique<TKestBaseList>();
    Scene->SetMedia(Rig.SceneMedia.get());
  }
  void TearDown() override {
    Scene.reset();
    Rig.Close();
  }
  std::string Sound() const { return Dir / "complete.ogg"; }
  // The loudness of the first half second heard (the library's players
  // decode ahead on a thread of their own).
  double Heard() {
    std::vector<int16_t> heard;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int pass = 0; heard.size() < 2 * 22050 && std::chrono::steady_clock::now() < deadline; ++pass) {
      const std::vector<int16_t> block = Step();
      if (Rms(block) > 0 || !heard.empty()) heard.insert(heard.end(), block.begin(), block.end());
      if (heard.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return Rms(heard);
  }

  // 25 ms of the scene and of the output; answers what was heard.
  std::vector<int16_t> Step() {
    Scene->Clock().GameTime += 25;
    Scene->UpdateScene();
    Scene->DestroyScrapped();
    Rig.Media->VideoStep();
    Rig.Clock.Advance(25);
    return Rig.Device.Pull(1102);
  }

  test::TTempDir Dir;
  test::TPlayerMediaRig Rig;
  std::unique_ptr<TKestBaseList> Scene;
};

TEST_P(SceneSound, APlayingSoundIsHeardAndAStoppedOneReleasesItsItem) {
  auto& sound = Scene->Create<TKestSound>();
  sound.SetProp(PR_SOURCE, Sound());
  sound.SetProp(PR_VOLUME, int32_t{1000});
  EXPECT_GT(std::get<int32_t>(sound.GetProp(PR_COUNT)), 0);
  EXPECT_EQ(Rig.Media->Ogg().Count(), 0);
  sound.SetPlayState(kPlayStatePlaying);
  ASSERT_NE(sound.Item(), nullptr);
  EXPECT_GT(Heard(), 100.0);
  sound.SetPlayState(kPlayStateStopped);
  EXPECT_EQ(Rig.Media->Ogg().Count(), 0);
}

TEST_P(SceneSound, NamesTheManagersDoNotPlayGiveNoItem) {
  EXPECT_FALSE(Rig.SceneMedia->Exists(Dir / "missing.ogg"));
  EXPECT_TRUE(Rig.SceneMedia->Exists(Sound()));
  EXPECT_EQ(Rig.SceneMedia->AddSound(kBell), nullptr);  // ".oga" is no extension of theirs
  EXPECT_EQ(Rig.SceneMedia->AddSound(Dir / "missing.ogg"), nullptr);
  TDMediaItem* midi = Rig.SceneMedia->AddSound("x.MID");
  ASSERT_NE(midi, nullptr);
  EXPECT_EQ(Rig.Media->Midi().Count(), 1);
  Rig.SceneMedia->Release(*midi);
  EXPECT_EQ(Rig.Media->Midi().Count(), 0);
  TDMediaItem* track = Rig.SceneMedia->AddSound("CD_03");
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(Rig.Media->Cdda().Count(), 1);
}

TEST_P(SceneSound, ALoopStartsAgainAtItsRepeatPosition) {
  auto& sound = Scene->Create<TKestSound>();
  sound.SetProp(PR_SOURCE, Sound());
  sound.SetProp(PR_VOLUME, int32_t{1000});
  sound.SetProp(PR_REPEAT, true);
  const int32_t length = std::get<int32_t>(sound.GetProp(PR_COUNT));
  ASSERT_GT(length, 600);
  sound.SetProp(PR_REPEATPOS, length / 2);
  sound.SetPlayState(kPlayStatePlaying);
  int32_t last = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    Step();
    const int32_t position = std::get<int32_t>(sound.GetProp(PR_INDEX));
    if (position < last) {
      // What is heard trails what the mixer has read by up to its delay.
      EXPECT_GT(position, length / 2 - 200);
      return;
    }
    last = position;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ADD_FAILURE() << "the sound did not loop, at " << last << " of " << length;
}

// Data the decoder refuses ends at once: the script is told, and a sound
// that goes at its end goes.
TEST_P(SceneSound, SoundDataThatCannotBeDecodedEnds) {
  test::WriteFile(Dir / "bad.ogg", test::TBytes(4096, 0x5A));
  auto& told = Scene->Create<TKestSound>();
  told.SetProp(PR_SOURCE, Dir / "bad.ogg");
  told.SetProp(PR_ONPLAYEND, std::string("end.src"));
  told.SetPlayState(kPlayStatePlaying);
  auto& gone = Scene->Create<TKestSound>();
  gone.SetName("gone");
  gone.SetProp(PR_SOURCE, Dir / "bad.ogg");
  gone.SetProp(PR_AUTOSCRAP, true);
  gone.SetPlayState(kPlayStatePlaying);
  for (int i = 0; i < 4; ++i) Step();
  EXPECT_TRUE(Scene->Events().IsWaiting(told.Ref(), PR_ONPLAYEND));
  EXPECT_EQ(Scene->FindObject("gone"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, SceneSound, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("Players") : std::string("WaveMixer");
                         });

}  // namespace
}  // namespace kest
