// Real sounds nobody here wrote, through both paths the [Sound] DirectSound
// setting chooses: the library's own players, and the library's decoder
// feeding the player's wave mixer (which plays only the rates it knows).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "common/errors.h"
#include "kestlib/stream_callbacks.h"
#include "media/items/media_managers.h"
#include "media/items/ogg_wave_item.h"
#include "media/sound/sound_bus.h"
#include "platform/audio_device.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "support/sound_checks.h"

namespace kest {
namespace {

constexpr const char* kSounds = "/usr/share/sounds/freedesktop/stereo/";

using test::Rms;

const TKestLib& Lib() { return test::SoundLib(); }

class MediaPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSounds)) GTEST_SKIP() << "no freedesktop sound theme";
    void* shared = Bus.CBus();
    Lib().kestInit(nullptr, nullptr, nullptr, &shared, KestStreamSize, KestStreamRead, KestStreamPosition,
                   KestStreamSeek, KestSaveFpu, KestRestoreFpu, 0);
    Lib().kestOggmanSetUseThread(-1);
  }
  void TearDown() override {
    Mixer.Stop();
    Lib().kestFinal();
  }

  // The loudness of half a second once the sound has begun (the library's
  // player decodes ahead on its own thread).
  double Played(TDMediaItem& item, bool mixer) {
    item.Play();
    std::vector<int16_t> heard;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    // The mixer runs by hand: a silent sound is known after a few blocks.
    for (int pass = 0; heard.size() < 2 * 22050 && std::chrono::steady_clock::now() < deadline; ++pass) {
      if (mixer && pass > 40 && heard.empty()) break;
      if (mixer) {
        Mixer.MixPass();
        Clock.Advance(Mixer.DelayTime() / 4);
      }
      const std::vector<int16_t> block = Device.Pull(2205);
      if (Rms(block) > 0 || !heard.empty()) heard.insert(heard.end(), block.begin(), block.end());
      if (!mixer && heard.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return Rms(heard);
  }

  TManualAudioDevice Device;
  TSoundBus Bus{Device};
  TManualClock Clock;
  TWavOut Mixer{Bus, 100, Clock};
  TMediaFiles Files{nullptr};
};

TEST_F(MediaPaths, TheLibrarysPlayersSoundEveryRate) {
  TOggManager ogg(Lib(), Files, true);
  for (const char* name : {"complete.oga", "service-login.oga", "suspend-error.oga", "audio-channel-front-left.oga"}) {
    TDMediaItem& item = ogg.Add(std::string(kSounds) + name);
    EXPECT_GT(Played(item, false), 100.0) << name;
    EXPECT_GT(item.GetLength(), 0) << name;
    ogg.Remove(&item);
  }
}

TEST_F(MediaPaths, TheWaveMixerSoundsOnlyTheRatesItKnows) {
  Mixer.Start(false);
  TOggManager ogg(Lib(), Files, false, [this](TMediaManager& m, std::unique_ptr<TStream> stream, bool isOgg) {
    return std::make_unique<TOggWaveItem>(m, Mixer, std::make_unique<TOggStream>(Lib(), std::move(stream), isOgg));
  });
  for (const auto& [name, sounds] :
       {std::pair{"complete.oga", true}, std::pair{"service-login.oga", true}, std::pair{"suspend-error.oga", true},
        std::pair{"audio-channel-front-left.oga", false}}) {
    TDMediaItem& item = ogg.Add(std::string(kSounds) + name);
    EXPECT_EQ(Played(item, true) > 100.0, sounds) << name;
    ogg.Remove(&item);
    for (int i = 0; i < 4; ++i) {  // what is still queued plays out
      Mixer.MixPass();
      Device.Pull(4410);
    }
  }
  EXPECT_THROW(ogg.Add("/usr/share/sounds/freedesktop/index.theme"), EKestError);
}

}  // namespace
}  // namespace kest
