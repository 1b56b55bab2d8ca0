// A real sound played by a scene's sound component through the player's
// media managers, on both paths of the DirectSound setting, into a sink that
// is pulled by hand.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "common/app_globals.h"
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
    GameTime = 0;
  }
  std::string Sound() const { return Dir / "complete.ogg"; }
  // The loudness of the first half second heard (the library's players
  // decode ahead on a thread of their own).
  double Heard() {
    std::vector<int16_t> heard;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int pass = 0; heard.size() < 2 * 22050 && std::chrono::steady_clock::now() < deadline; ++pass) {
      GameTime += 25;
      Scene->UpdateScene();
      Rig.Media->VideoStep();
      Rig.Clock.Advance(25);
      const std::vector<int16_t> block = Rig.Device.Pull(1102);
      if (Rms(block) > 0 || !heard.empty()) heard.insert(heard.end(), block.begin(), block.end());
      if (heard.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return Rms(heard);
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

INSTANTIATE_TEST_SUITE_P(BothPaths, SceneSound, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("Players") : std::string("WaveMixer");
                         });

}  // namespace
}  // namespace kest
