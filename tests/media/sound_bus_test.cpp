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

// Answers `frames` frames (or fewer, when limited) of one constant value.
struct TConstSource {
  int16_t value = 0;
  int32_t limit = -1;
  std::atomic<int> calls{0};
  std::atomic<bool> detached{false};
  std::atomic<bool> calledAfterDetach{false};

  static int32_t Render(void* self, int16_t* samples, int32_t frames) {
    auto* s = static_cast<TConstSource*>(self);
    ++s->calls;
    if (s->detached) s->calledAfterDetach = true;
    const int32_t n = s->limit >= 0 ? std::min(s->limit, frames) : frames;
    std::fill(samples, samples + n * 2, s->value);
    return n;
  }
};

TEST(SoundBus, SaturatedMixMatchesTheScalarSumAtEveryLength) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> sample(-32768, 32767);
  for (size_t count : {0u, 1u, 7u, 8u, 9u, 31u, 1000u}) {
    std::vector<int16_t> dst(count), src(count);
    for (size_t i = 0; i < count; ++i) {
      dst[i] = static_cast<int16_t>(sample(random));
      src[i] = static_cast<int16_t>(i % 3 != 0 ? sample(random) : i % 2 ? -32768 : 32767);
    }
    std::vector<int16_t> expected(count);
    for (size_t i = 0; i < count; ++i)
      expected[i] = static_cast<int16_t>(std::clamp(int{dst[i]} + int{src[i]}, -32768, 32767));
    MixSaturated(dst.data(), src.data(), count);
    EXPECT_EQ(dst, expected) << count;
  }
}

TEST(SoundBus, FullScaleSourcesClipInsteadOfWrapping) {
  TManualAudioDevice device;
  TSoundBus bus(device);
  TConstSource a, b;
  a.value = b.value = 30000;
  bus.Attach(&a, &TConstSource::Render);
  bus.CBus()->attach(bus.CBus()->context, &b, &TConstSource::Render);
  for (int16_t s : device.Pull(100)) ASSERT_EQ(s, 32767);
  a.value = b.value = -30000;
  for (int16_t s : device.Pull(100)) ASSERT_EQ(s, -32768);
  // Attaching again does not mix a source twice.
  bus.Attach(&a, &TConstSource::Render);
  b.value = 0;
  a.value = 1000;
  for (int16_t s : device.Pull(3)) ASSERT_EQ(s, 1000);
}

TEST(SoundBus, ShortAnswersLeaveSilenceAfterThem) {
  TManualAudioDevice device;
  TSoundBus bus(device);
  TConstSource a;
  a.value = 500;
  a.limit = 10;
  bus.Attach(&a, &TConstSource::Render);
  device.Pull(64);  // the scratch now holds 500s beyond the answer
  const std::vector<int16_t> out = device.Pull(64);
  for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], i < 20 ? 500 : 0) << i;
  a.limit = 1000;  // more than asked is cut to the block
  EXPECT_EQ(device.Pull(4).size(), 8u);
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
  const int calls = a.calls;
  const int bCalls = b.calls;
  while (b.calls < bCalls + 50) std::this_thread::yield();
  stop = true;
  pulling.join();
  EXPECT_FALSE(a.calledAfterDetach);
  EXPECT_EQ(a.calls, calls);
  for (int16_t s : device.Pull(8)) ASSERT_EQ(s, 2);
}

TEST(AudioDevices, ManualAndWavFileDevicesTakeWhatTheyAreAskedFor) {
  TManualAudioDevice manual;
  int asked = 0;
  manual.SetFill([&](int16_t* s, int frames) {
    asked += frames;
    s[0] = 7;
  });
  EXPECT_EQ(manual.Pull(5)[0], 7);
  manual.Pause(true);
  EXPECT_EQ(manual.Pull(5)[0], 0);
  EXPECT_EQ(asked, 5);
  EXPECT_EQ(manual.FramesPlayed(), 5);

  const std::string path = ::testing::TempDir() + "kest_bus_out.wav";
  {
    TWavFileAudioDevice file(path, TSilentAudioDevice::TClock::GameTime);
    ASSERT_TRUE(file.IsOpen());
    file.Advance(5);  // silence before any fill
    file.SetFill([](int16_t* s, int frames) {
      for (int i = 0; i < frames * 2; ++i) s[i] = static_cast<int16_t>(i % 2 ? -2 : 0x0102);
    });
    file.Advance(10);
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  std::remove(path.c_str());
  const size_t data = (220 + 441) * 4;
  ASSERT_EQ(bytes.size(), 44 + data);
  auto le32 = [&](size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
  };
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  EXPECT_EQ(le32(4), 36 + data);
  EXPECT_EQ(le32(24), 44100u);
  EXPECT_EQ(le32(40), data);
  EXPECT_EQ(bytes[44 + 220 * 4 - 1], 0);
  const std::vector<uint8_t> firstFilled(bytes.begin() + 44 + 220 * 4, bytes.begin() + 44 + 221 * 4);
  EXPECT_EQ(firstFilled, (std::vector<uint8_t>{0x02, 0x01, 0xFE, 0xFF}));
}

}  // namespace
}  // namespace kest
