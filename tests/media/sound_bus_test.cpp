#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>
#include <vector>

#include "media/sound/sound_bus.h"
#include "platform/audio_device.h"

namespace kest {
namespace {

// Answers a constant, for at most `limit` frames when that is set.
struct TConstSource {
  int16_t value = 0;
  int32_t limit = -1;
  std::atomic<int> calls{0};
  std::atomic<bool> detached{false}, calledAfterDetach{false};

  static int32_t Render(void* self, int16_t* samples, int32_t frames) {
    auto* s = static_cast<TConstSource*>(self);
    ++s->calls;
    if (s->detached) s->calledAfterDetach = true;
    const int32_t n = s->limit >= 0 ? std::min(s->limit, frames) : frames;
    std::fill(samples, samples + n * 2, s->value);
    return s->limit > frames ? s->limit : n;
  }
};

TEST(SoundBus, SaturatedMixMatchesTheScalarSumAtEveryLength) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> sample(-32768, 32767);
  for (size_t count : {0u, 1u, 7u, 8u, 9u, 31u, 1000u}) {
    std::vector<int16_t> dst(count), src(count), expected(count);
    for (size_t i = 0; i < count; ++i) {
      dst[i] = static_cast<int16_t>(sample(random));
      src[i] = static_cast<int16_t>(i % 3 != 0 ? sample(random) : i % 2 ? -32768 : 32767);
      expected[i] = static_cast<int16_t>(std::clamp(int{dst[i]} + int{src[i]}, -32768, 32767));
    }
    MixSaturated(dst.data(), src.data(), count);
    EXPECT_EQ(dst, expected) << count;
  }
}

TEST(SoundBus, SourcesClipAndShortAnswersLeaveSilence) {
  TManualAudioDevice device;
  TSoundBus bus(device);
  TConstSource a, b;
  a.value = b.value = 30000;
  bus.Attach(&a, &TConstSource::Render);
  bus.CBus()->attach(bus.CBus()->context, &b, &TConstSource::Render);
  for (int16_t s : device.Pull(100)) ASSERT_EQ(s, 32767);
  a.value = b.value = -30000;
  bus.Attach(&a, &TConstSource::Render);  // attaching again does not mix it twice
  for (int16_t s : device.Pull(100)) ASSERT_EQ(s, -32768);

  b.value = 0;
  a.value = 500;
  a.limit = 10;  // the scratch still holds earlier samples after these
  const std::vector<int16_t> out = device.Pull(64);
  for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], i < 20 ? 500 : 0) << i;
  a.limit = 1000;  // more than asked is held to the block
  EXPECT_EQ(device.Pull(4), std::vector<int16_t>(8, 500));
}

TEST(SoundBus, ADetachedSourceIsNeverCalledAgain) {
  TManualAudioDevice device;
  TSoundBus bus(device);
  TConstSource a, b;
  a.value = 1;
  b.value = 2;
  bus.Attach(&a, &TConstSource::Render);
  bus.Attach(&b, &TConstSource::Render);
  std::atomic<bool> stop{false};
  std::thread pulling([&] {
    while (!stop) device.Pull(256);
  });
  while (a.calls < 50) std::this_thread::yield();
  bus.CBus()->detach(bus.CBus()->context, &a);
  a.detached = true;
  const int bCalls = b.calls;
  while (b.calls < bCalls + 50) std::this_thread::yield();
  stop = true;
  pulling.join();
  EXPECT_FALSE(a.calledAfterDetach);
  EXPECT_EQ(device.Pull(4), std::vector<int16_t>(8, 2));
}

TEST(AudioDevices, ManualAndWavFileDevicesTakeWhatTheyAreAskedFor) {
  TManualAudioDevice manual;
  manual.SetFill([](int16_t* s, int) { s[0] = 7; });
  EXPECT_EQ(manual.Pull(5)[0], 7);
  manual.Pause(true);
  EXPECT_EQ(manual.Pull(5)[0], 0);
  EXPECT_EQ(manual.FramesPlayed(), 5);

  const std::string path = ::testing::TempDir() + "kest_bus_out.wav";
  {
    TWavFileAudioDevice file(path, TSilentAudioDevice::TClock::GameTime);
    ASSERT_TRUE(file.IsOpen());
    file.Advance(5);  // 220 frames of silence before any fill
    file.SetFill([](int16_t* s, int frames) { std::fill(s, s + frames * 2, int16_t{0x0102}); });
    file.Advance(10);  // 441 frames, with the half frame left over
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  std::remove(path.c_str());
  const uint32_t data = (220 + 441) * 4;
  ASSERT_EQ(bytes.size(), 44 + data);
  auto le32 = [&](size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
  };
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  EXPECT_EQ(le32(4), 36 + data);
  EXPECT_EQ(le32(24), 44100u);
  EXPECT_EQ(le32(40), data);
  EXPECT_EQ(bytes[44 + 220 * 4 - 1], 0);
  EXPECT_EQ(bytes[44 + 220 * 4], 0x02);
  EXPECT_EQ(bytes[44 + 220 * 4 + 1], 0x01);
}

}  // namespace
}  // namespace kest
