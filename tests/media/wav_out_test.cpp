#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "media/sound/sound_bus.h"
#include "media/sound/wav_out.h"
#include "platform/audio_device.h"
#include "platform/clock.h"

namespace kest {
namespace {

class TMemorySource final : public IWavSource {
 public:
  explicit TMemorySource(std::vector<uint8_t> data, bool dry = false) : FData(std::move(data)), FDry(dry) {}
  int Read(void* buffer, int bytes) override {
    if (FDry) return 0;
    const int n = static_cast<int>(std::min<int64_t>(bytes, Size() - FPos));
    std::memcpy(buffer, FData.data() + FPos, static_cast<size_t>(n));
    FPos += n;
    return n;
  }
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  void Seek(int64_t position) override { FPos = std::clamp<int64_t>(position, 0, Size()); }

 private:
  std::vector<uint8_t> FData;
  bool FDry;
  int64_t FPos = 0;
};

TWavFormat Format(int channels, int rate, int bits) {
  TWavFormat f;
  f.Channels = static_cast<uint16_t>(channels);
  f.SamplesPerSec = static_cast<uint32_t>(rate);
  f.BitsPerSample = static_cast<uint16_t>(bits);
  f.BlockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.AvgBytesPerSec = f.SamplesPerSec * f.BlockAlign;
  return f;
}

// A ramp with left and right apart: 16-bit samples, or 8-bit bytes.
int RampValue(int frame, int channel, int bits) {
  if (bits == 8) return channel == 0 ? frame % 251 : 250 - frame % 251;
  const int v = (frame % 1000) * 31 - 15500;
  return channel == 0 ? v : -v - 7;
}

std::vector<uint8_t> Ramp(int frames, int channels, int bits) {
  std::vector<uint8_t> data;
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) {
      const int v = RampValue(i, c, bits);
      data.push_back(static_cast<uint8_t>(v));
      if (bits == 16) data.push_back(static_cast<uint8_t>(v >> 8));
    }
  return data;
}

// The scalar meaning of the conversion table: the output sample for one
// ramp value.
int16_t Converted(int value, int bits) { return static_cast<int16_t>(bits == 8 ? (value - 128) * 256 : value); }

std::vector<uint8_t> Constant16(int frames, int16_t value) {
  std::vector<int16_t> samples(static_cast<size_t>(frames) * 2, value);
  std::vector<uint8_t> data(samples.size() * 2);
  std::memcpy(data.data(), samples.data(), data.size());
  return data;
}

struct TRig {
  explicit TRig(int delayTime = 100) : out(bus, delayTime, clock) { out.Start(false); }
  TWavBuffer* Add(const TWavFormat& format, std::vector<uint8_t> data, bool play = true) {
    TWavBuffer* b = out.AddBuffer(format, std::make_unique<TMemorySource>(std::move(data)));
    if (play) b->Play();
    return b;
  }
  int BlockFrames() const { return out.BlockSize() / 4; }

  TManualAudioDevice device;
  TSoundBus bus{device};
  TManualClock clock;
  TWavOut out;
};

TEST(WavOut, BlockSizeAndWakeFollowTheDelayTime) {
  TRig rig(100), low(20), high(900);
  EXPECT_EQ(rig.out.BlockSize(), 17640);
  EXPECT_EQ(rig.out.WakeIntervalMs(), 25);
  EXPECT_EQ(low.out.DelayTime(), 100);
  EXPECT_EQ(high.out.BlockSize(), TWavOut::BlockSizeFor(TWavOut::kDefaultDelayTime));
  EXPECT_EQ(high.out.BlockSize(), 88200);
}

TEST(WavOut, EveryTableRowPlaysAtItsPitchWithLeftAndRightKept) {
  struct TRow {
    int channels, rate, bits, expansion;
  };
  const TRow rows[] = {{2, 44100, 16, 1}, {1, 44100, 16, 2}, {2, 22050, 16, 2}, {2, 44100, 8, 2},
                       {1, 44100, 8, 4},  {2, 22050, 8, 4},  {1, 22050, 16, 4}, {1, 22050, 8, 8}};
  // 110 ms blocks hold an odd number of frames, so half-rate sources split
  // a frame across two blocks.
  for (int delay : {100, 110}) {
    for (const TRow& row : rows) {
      SCOPED_TRACE(testing::Message() << delay << " ms: " << row.channels << " ch " << row.rate << " Hz " << row.bits
                                      << " bit");
      TRig rig(delay);
      const int repeat = 44100 / row.rate;
      const int outFrames = 3 * rig.BlockFrames();
      TWavBuffer* b = rig.Add(Format(row.channels, row.rate, row.bits), Ramp(outFrames, row.channels, row.bits));
      rig.out.MixPass();
      if (delay == 100) {
        EXPECT_EQ(b->ReadPos(), 2 * rig.out.BlockSize() / row.expansion);
      }
      std::vector<int16_t> heard = rig.device.Pull(rig.BlockFrames() + 1);
      const std::vector<int16_t> rest = rig.device.Pull(rig.BlockFrames() - 1);
      heard.insert(heard.end(), rest.begin(), rest.end());
      for (int j = 0; j < 2 * rig.BlockFrames(); ++j) {
        const int src = j / repeat;
        const int16_t l = Converted(RampValue(src, 0, row.bits), row.bits);
        const int16_t r = row.channels == 2 ? Converted(RampValue(src, 1, row.bits), row.bits) : l;
        ASSERT_EQ(heard[j * 2], l) << "frame " << j;
        ASSERT_EQ(heard[j * 2 + 1], r) << "frame " << j;
      }
    }
  }
}

TEST(WavOut, UnplayableRatesAreSilentButStillEnd) {
  TRig rig;
  const TWavFormat format = Format(2, 48000, 16);
  TWavBuffer* b = rig.Add(format, Constant16(48000 / 2, 20000));
  rig.out.MixPass();
  EXPECT_EQ(rig.out.QueuedBlocks(), 0);
  for (int16_t s : rig.device.Pull(rig.BlockFrames())) ASSERT_EQ(s, 0);
  EXPECT_EQ(b->ReadPos(), 2 * 19200);  // two blocks of 100 ms at its own rate
  for (int pass = 0; pass < 10 && !b->AtEnd(); ++pass) rig.out.MixPass();
  EXPECT_TRUE(b->AtEnd());
}

TEST(WavOut, ALoopWrapsToItsStartInsideABlockWithoutAGap) {
  TRig rig;
  const int frames = 1000, loopFrame = 300;
  TWavBuffer* b = rig.Add(Format(2, 44100, 16), Ramp(frames, 2, 16));
  b->SetLoop(true, loopFrame * 4 + 2);  // inside a frame: taken from that frame's start
  rig.out.MixPass();
  std::vector<int16_t> heard = rig.device.Pull(2 * rig.BlockFrames());
  for (int j = 0; j < 2 * rig.BlockFrames(); ++j) {
    const int src = j < frames ? j : loopFrame + (j - frames) % (frames - loopFrame);
    ASSERT_EQ(heard[j * 2], RampValue(src, 0, 16)) << j;
    ASSERT_EQ(heard[j * 2 + 1], RampValue(src, 1, 16)) << j;
  }
  EXPECT_FALSE(b->AtEnd());

  // A loop start with nothing to read ends the sound instead of spinning.
  TWavBuffer* past = rig.Add(Format(2, 44100, 16), Ramp(frames, 2, 16));
  past->SetLoop(true, frames * 4 + 400);
  TWavBuffer* dry = rig.out.AddBuffer(Format(2, 44100, 16), std::make_unique<TMemorySource>(Ramp(frames, 2, 16), true));
  dry->SetLoop(true, 0);
  dry->Play();
  std::vector<uint8_t> torn = Ramp(frames, 2, 16);
  torn.push_back(1);
  TWavBuffer* tornLoop = rig.Add(Format(2, 44100, 16), torn);
  tornLoop->SetLoop(true, frames * 4);  // only part of a frame to loop over
  rig.device.Pull(2 * rig.BlockFrames());
  rig.out.MixPass();
  EXPECT_TRUE(past->AtEnd());
  EXPECT_TRUE(dry->AtEnd());
  EXPECT_TRUE(tornLoop->AtEnd());
}

TEST(WavOut, VolumeScalesBelow255) {
  for (int volume : {0, 1, 128, 254, 255, 256}) {
    TRig rig;
    TWavBuffer* b = rig.Add(Format(2, 44100, 16), Ramp(rig.BlockFrames(), 2, 16));
    b->SetVolume(volume);
    rig.out.MixPass();
    const std::vector<int16_t> heard = rig.device.Pull(rig.BlockFrames());
    for (int j = 0; j < rig.BlockFrames(); ++j)
      for (int c = 0; c < 2; ++c) {
        const int s = RampValue(j, c, 16);
        ASSERT_EQ(heard[j * 2 + c], volume < 255 ? (s * volume) >> 8 : s) << volume << " frame " << j;
      }
  }
}

TEST(WavOut, OnlyPlayingBuffersMixAndTheyClip) {
  TRig rig;
  rig.Add(Format(2, 44100, 16), Constant16(100, -30000), false);
  rig.out.MixPass();
  EXPECT_EQ(rig.out.QueuedBlocks(), 0);
  rig.Add(Format(2, 44100, 16), Constant16(100, 30000));
  rig.Add(Format(2, 44100, 16), Constant16(100, 30000));
  rig.Add(Format(2, 44100, 16), Constant16(100, -30000))->Pause();
  rig.out.MixPass();
  const std::vector<int16_t> heard = rig.device.Pull(101);
  for (int j = 0; j < 200; ++j) ASSERT_EQ(heard[j], 32767) << j;
  EXPECT_EQ(heard[200], 0);
}

TEST(WavOut, FinishesOnlyAfterTheLastBlockHasHadTimeToSound) {
  TRig rig;
  const int frames = rig.BlockFrames() * 5 / 2;
  TWavBuffer* b = rig.Add(Format(2, 44100, 16), Ramp(frames, 2, 16));
  rig.out.MixPass();
  EXPECT_EQ(b->PlayedPosition(), 2 * 17640 - 17640);
  rig.device.Pull(rig.BlockFrames());
  rig.clock.Advance(100);
  rig.out.MixPass();  // the third block reads the end
  EXPECT_TRUE(b->AtEnd());
  EXPECT_EQ(rig.out.QueuedBlocks(), 2);
  rig.clock.Advance(50);
  EXPECT_EQ(b->PlayedPosition(), frames * 4 - 17640 + 8820);
  rig.clock.Advance(160);  // 210 ms after that block
  EXPECT_FALSE(b->IsFinished());
  rig.out.MixPass();
  EXPECT_FALSE(b->IsFinished());
  rig.clock.Advance(1);
  EXPECT_TRUE(b->IsFinished());
  EXPECT_EQ(b->PlayedPosition(), frames * 4);

  TWavBuffer* shortOne = rig.Add(Format(2, 44100, 16), Ramp(10, 2, 16));
  rig.device.Pull(3 * rig.BlockFrames());
  rig.out.MixPass();
  EXPECT_EQ(shortOne->PlayedPosition(), 0);
  EXPECT_FALSE(shortOne->IsFinished());
}

TEST(WavOut, TheMixingThreadPlaysAndStops) {
  TManualAudioDevice device;
  TSoundBus bus(device);
  TSteadyClock clock;
  TWavOut out(bus, 100, clock);
  EXPECT_TRUE(out.Start());
  EXPECT_FALSE(out.Start());
  TWavBuffer* b = out.AddBuffer(Format(2, 44100, 16), std::make_unique<TMemorySource>(Constant16(100, 1234)));
  EXPECT_FALSE(b->Playing() || b->Paused());
  b->Play();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int heard = 0;
  while (!b->IsFinished() && std::chrono::steady_clock::now() < deadline) {
    const std::vector<int16_t> s = device.Pull(441);
    heard += static_cast<int>(std::count(s.begin(), s.end(), 1234));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(b->IsFinished());
  const std::vector<int16_t> late = device.Pull(4410);  // in case this thread was held up
  heard += static_cast<int>(std::count(late.begin(), late.end(), 1234));
  EXPECT_EQ(heard, 200);
  out.Stop();
  EXPECT_EQ(device.Pull(64), std::vector<int16_t>(128, 0));
}

}  // namespace
}  // namespace kest
