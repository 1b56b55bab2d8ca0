#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/audio_device.h"

namespace kest {
namespace {

TEST(SilentAudio, GameTimeTakesExactlyTheSamplesOfEachTick) {
  TSilentAudioDevice device(TSilentAudioDevice::TClock::GameTime);
  int64_t asked = 0;
  device.SetFill([&](int16_t* samples, int frames) {
    samples[0] = 1;  // the buffer is the caller's to write
    samples[frames * 2 - 1] = 1;
    asked += frames;
  });
  // 15 ms is 661.5 frames: the half frame is carried, never lost.
  for (int i = 0; i < 200; ++i) device.Advance(15);
  EXPECT_EQ(asked, 44100 * 3);
  EXPECT_EQ(device.FramesPlayed(), 44100 * 3);
  device.Pause(true);
  device.Advance(1000);
  EXPECT_EQ(device.FramesPlayed(), 44100 * 3);
  device.Advance(-5);
}

TEST(SilentAudio, RealTimeKeepsConsuming) {
  TSilentAudioDevice device(TSilentAudioDevice::TClock::RealTime);
  std::atomic<int64_t> asked{0};
  device.SetFill([&](int16_t*, int frames) { asked += frames; });
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  EXPECT_GT(device.FramesPlayed(), 44100 / 100 * 3);
  EXPECT_EQ(asked.load(), device.FramesPlayed());
}

}  // namespace
}  // namespace kest
