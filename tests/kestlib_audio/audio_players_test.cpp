// The library's sound players, loaded as the player loads them, on a sound
// output the test pulls exact frames from.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include "common/stream.h"
#include "kestlib/kestlib_loader.h"
#include "kestlib/stream_callbacks.h"
#include "kestlib_audio/wma_builder.h"
#include "platform/system.h"

namespace kest {
namespace {

const TKestLib& Lib() {
  static const TKestLibLoad load = LoadKestLib(ProgramFolder() + "/libkest.so");
  if (!load.lib) std::abort();
  return *load.lib;
}

// One source at a time, rendered on the test's thread.
class TTestBus {
 public:
  TTestBus() { bus_ = {this, Attach, Detach, 0}; }

  void Init() {
    void* shared = &bus_;
    Lib().kestInit(nullptr, nullptr, nullptr, &shared, KestStreamSize, KestStreamRead, KestStreamPosition,
                   KestStreamSeek, KestSaveFpu, KestRestoreFpu, 0);
  }

  // Up to `frames` frames of what the source plays, waiting while the
  // decoder is behind; fewer once `playing` says the sound has stopped.
  template <class Playing>
  std::vector<int16_t> Pull(int32_t frames, Playing playing) {
    std::vector<int16_t> out;
    int16_t block[2 * 512];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (static_cast<int32_t>(out.size() / 2) < frames && std::chrono::steady_clock::now() < deadline) {
      const int32_t want = std::min<int32_t>(512, frames - static_cast<int32_t>(out.size() / 2));
      int32_t got = 0;
      {
        std::lock_guard guard(lock_);
        if (!source_) break;
        got = render_(source_, block, want);
      }
      out.insert(out.end(), block, block + 2 * got);
      if (got == 0) {
        if (!playing()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    return out;
  }

  // One render of `frames` frames as the device thread would ask; the
  // frames the source answered.
  int32_t RenderOnce(int32_t frames) {
    std::vector<int16_t> block(2 * size_t(frames));
    std::lock_guard guard(lock_);
    return source_ ? render_(source_, block.data(), frames) : 0;
  }
  void SetGameTime(bool on) { bus_.game_time = on ? 1 : 0; }

  int attached() {
    std::lock_guard guard(lock_);
    return source_ ? 1 : 0;
  }

 private:
  static void Attach(void* context, void* source, KestSoundRender render) {
    auto* self = static_cast<TTestBus*>(context);
    std::lock_guard guard(self->lock_);
    self->source_ = source;
    self->render_ = render;
  }
  static void Detach(void* context, void* source) {
    auto* self = static_cast<TTestBus*>(context);
    std::lock_guard guard(self->lock_);
    if (self->source_ == source) self->source_ = nullptr;
  }

  KestSoundBus bus_;
  std::mutex lock_;
  void* source_ = nullptr;
  KestSoundRender render_ = nullptr;
};

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::vector<uint8_t> Wav(uint16_t tag, int channels, int rate, int bits, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out;
  const int align = channels * bits / 8;
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  Put32(out, 36 + data.size());
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put32(out, 16);
  Put16(out, tag);
  Put16(out, channels);
  Put32(out, rate);
  Put32(out, rate * align);
  Put16(out, align);
  Put16(out, bits);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  Put32(out, data.size());
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// A 1 kHz tone at 22050 Hz, mono, 16 bits.
std::vector<int16_t> Tone(int frames) {
  std::vector<int16_t> samples(frames);
  for (int i = 0; i < frames; ++i)
    samples[i] = static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * 1000 * i / 22050.0)));
  return samples;
}

std::vector<uint8_t> ToneWav(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> data;
  for (int16_t s : samples) Put16(data, static_cast<uint16_t>(s));
  return Wav(1, 1, 22050, 16, data);
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

const std::string kSounds = "/usr/share/sounds/freedesktop/stereo/";

class KestLibAudio : public ::testing::Test {
 protected:
  void SetUp() override { bus_.Init(); }
  void TearDown() override { Lib().kestFinal(); }

  KestHandle AddOgg(TByteStream& stream, KestBool is_ogg) { return Lib().kestOggmanAdd(&stream, is_ogg); }
  std::vector<int16_t> PullOgg(KestHandle item, int32_t frames) {
    return bus_.Pull(frames, [&] { return Lib().kestOggIsPlaying(item) != 0; });
  }

  TTestBus bus_;
};

TEST_F(KestLibAudio, WavAt22050PlaysAt44100WithItsLength) {
  const std::vector<int16_t> tone = Tone(11025);
  TByteStream stream(ToneWav(tone));
  const KestHandle item = AddOgg(stream, 0);
  ASSERT_NE(item, 0);
  EXPECT_EQ(Lib().kestOggGetLength(item), 500);
  EXPECT_EQ(Lib().kestOggIsPlaying(item), 0);
  Lib().kestOggPlay(item);
  EXPECT_EQ(Lib().kestOggIsPlaying(item), -1);
  const std::vector<int16_t> out = PullOgg(item, 30000);
  ASSERT_EQ(out.size(), 2u * 22050);
  // Every other output frame is a source frame; both channels carry it.
  for (int i = 0; i < 11025; ++i) {
    ASSERT_EQ(out[4 * i], tone[i]) << i;
    ASSERT_EQ(out[4 * i + 1], tone[i]) << i;
  }
  int crossings = 0;
  for (size_t i = 2; i < out.size(); i += 2) crossings += (out[i - 2] < 0) != (out[i] < 0);
  EXPECT_NEAR(crossings, 1000, 2);
  // The end is reported once, and again only after the position is set.
  EXPECT_EQ(Lib().kestOggGetPosition(item), 500);
  EXPECT_EQ(Lib().kestOggIsPlaying(item), 0);
  EXPECT_EQ(Lib().kestOggIsEnd(item), -1);
  EXPECT_EQ(Lib().kestOggIsEnd(item), 0);
  Lib().kestOggSetPosition(item, 250);
  EXPECT_EQ(Lib().kestOggIsEnd(item), 0);
  EXPECT_EQ(Lib().kestOggGetPosition(item), 250);
  Lib().kestOggPlay(item);
  // From source frame 5513 (250 ms, rounded up) to the end, twice over.
  EXPECT_EQ(PullOgg(item, 30000).size(), 2u * 2 * (11025 - 5513));
  EXPECT_EQ(Lib().kestOggIsEnd(item), -1);
  Lib().kestOggmanDel(item);
  EXPECT_EQ(bus_.attached(), 0);
}

TEST_F(KestLibAudio, OnGameTimeEveryRenderIsWholeUntilTheEnd) {
  bus_.SetGameTime(true);
  TByteStream stream(ReadFile(kSounds + "complete.oga"));
  const KestHandle item = AddOgg(stream, -1);
  ASSERT_NE(item, 0);
  Lib().kestOggPlay(item);
  // At once after Play, with the decoder just woken: no silent gap.
  int32_t got = 0, whole = 0;
  while ((got = bus_.RenderOnce(4096)) == 4096) ++whole;
  EXPECT_EQ(whole, int32_t(int64_t(Lib().kestOggGetLength(item)) * 44100 / 1000 / 4096));
  EXPECT_EQ(Lib().kestOggIsEnd(item), -1);
  Lib().kestOggmanDel(item);
}

TEST_F(KestLibAudio, VolumeAndPan) {
  const std::vector<int16_t> tone = Tone(2205);
  TByteStream stream(ToneWav(tone));
  const KestHandle item = AddOgg(stream, 0);
  ASSERT_NE(item, 0);
  Lib().kestOggSetVolume(item, -10000);
  EXPECT_EQ(Lib().kestOggGetVolume(item), -10000);
  Lib().kestOggPlay(item);
  std::vector<int16_t> out = PullOgg(item, 1000);
  ASSERT_EQ(out.size(), 2000u);
  for (int16_t s : out) ASSERT_EQ(s, 0);
  Lib().kestOggSetVolume(item, 0);
  Lib().kestOggSetPan(item, -10000);
  EXPECT_EQ(Lib().kestOggGetPan(item), -10000);
  out = PullOgg(item, 1000);
  ASSERT_EQ(out.size(), 2000u);
  for (int i = 0; i < 1000; i += 2) {
    ASSERT_EQ(out[2 * i], tone[500 + i / 2]);
    ASSERT_EQ(out[2 * i + 1], 0);
  }
  // -20 dB on the left at a pan of 2000.
  Lib().kestOggSetPan(item, 2000);
  out = PullOgg(item, 1000);
  for (int i = 0; i < 1000; i += 2) {
    ASSERT_NEAR(out[2 * i], tone[1000 + i / 2] / 10, 1);
    ASSERT_EQ(out[2 * i + 1], tone[1000 + i / 2]);
  }
  Lib().kestOggPause(item);
  EXPECT_EQ(Lib().kestOggIsPaused(item), -1);
  EXPECT_EQ(Lib().kestOggIsPlaying(item), 0);
  EXPECT_EQ(PullOgg(item, 100).size(), 0u);
  EXPECT_EQ(Lib().kestOggGetPosition(item), 68);
  Lib().kestOggmanDel(item);
}

TEST_F(KestLibAudio, LoopGoesOnFromTheRepeatPositionWithoutAGap) {
  std::vector<uint8_t> file = ReadFile(kSounds + "complete.oga");
  if (file.empty()) GTEST_SKIP() << "sound-theme-freedesktop is not installed";
  TByteStream plain(file);
  const KestHandle decoder = Lib().kestOggStrmanAdd(&plain, -1);
  ASSERT_NE(decoder, 0);
  const int64_t size = Lib().kestOggStrGetSize(decoder);
  std::vector<int16_t> straight(size / 2);
  ASSERT_EQ(Lib().kestOggStrRead(decoder, straight.data(), static_cast<int32_t>(size)), size);
  Lib().kestOggStrmanDel(decoder);
  const int32_t frames = static_cast<int32_t>(size / 4);

  TByteStream stream(file);
  const KestHandle item = AddOgg(stream, -1);
  ASSERT_NE(item, 0);
  Lib().kestOggSetRepeatPos(item, 200);
  Lib().kestOggSetAutoRepeat(item, -1);
  EXPECT_EQ(Lib().kestOggGetRepeatPos(item), 200);
  EXPECT_EQ(Lib().kestOggGetAutoRepeat(item), -1);
  Lib().kestOggPlay(item);
  const int32_t after = 2 * (frames - 8820) + 100;
  const std::vector<int16_t> out = PullOgg(item, frames + after);
  ASSERT_EQ(out.size(), 2u * (frames + after));
  for (int32_t i = 0; i < 2 * frames; ++i) ASSERT_EQ(out[i], straight[i]) << i;
  for (int32_t i = 0; i < 2 * after; ++i) {
    const int32_t loop_frame = 8820 + (i / 2) % (frames - 8820);
    ASSERT_EQ(out[2 * frames + i], straight[2 * loop_frame + i % 2]) << i;
  }
  EXPECT_EQ(Lib().kestOggIsPlaying(item), -1);
  EXPECT_EQ(Lib().kestOggIsEnd(item), 0);
  Lib().kestOggmanDel(item);
}

TEST_F(KestLibAudio, FreedesktopSoundsOpenInTheirOwnFormats) {
  struct TCase {
    const char* name;
    int32_t channels, rate;
    int64_t frames;  // as the granule positions count them, the trimmed start and end left out
  };
  const TCase cases[] = {{"complete.oga", 2, 44100, 48022},
                         {"service-login.oga", 2, 22050, 48066},
                         {"suspend-error.oga", 1, 44100, 52569},
                         {"audio-channel-front-left.oga", 1, 48000, 71042}};
  for (const TCase& c : cases) {
    std::vector<uint8_t> file = ReadFile(kSounds + c.name);
    if (file.empty()) GTEST_SKIP() << "sound-theme-freedesktop is not installed";
    TByteStream stream(file);
    const KestHandle item = Lib().kestOggStrmanAdd(&stream, -1);
    ASSERT_NE(item, 0) << c.name;
    KestWaveFormat format{};
    ASSERT_EQ(Lib().kestOggStrGetFormat(item, &format), -1);
    EXPECT_EQ(format.channels, c.channels) << c.name;
    EXPECT_EQ(format.samples_per_second, c.rate) << c.name;
    EXPECT_EQ(format.block_align, 2 * c.channels);
    EXPECT_EQ(format.bytes_per_second, 2 * c.channels * c.rate);
    EXPECT_EQ(format.bits_per_sample, 16);
    const int64_t size = Lib().kestOggStrGetSize(item);
    EXPECT_EQ(size, c.frames * format.block_align) << c.name;
    EXPECT_EQ(Lib().kestOggStrGetLen(item), size / format.block_align * 1000 / c.rate);
    // Read in odd pieces to the end: every byte comes once.
    std::vector<uint8_t> buffer(size + 100);
    int64_t total = 0;
    for (int32_t got = 1; got > 0; total += got) got = Lib().kestOggStrRead(item, buffer.data() + total, 1001);
    EXPECT_EQ(total, size) << c.name;
    EXPECT_EQ(Lib().kestOggStrGetPos(item), size);
    Lib().kestOggStrSetPos(item, 6);
    int16_t sample = 0;
    ASSERT_EQ(Lib().kestOggStrRead(item, &sample, 2), 2);
    EXPECT_EQ(std::memcmp(&sample, buffer.data() + 6, 2), 0) << c.name;
    // Wherever a read starts, it hands out the very samples read straight through.
    for (const int64_t at : {size / 7, size / 3 + 1, size / 2 - 3, size - 3000}) {
      std::vector<uint8_t> part(2000);
      Lib().kestOggStrSetPos(item, at);
      ASSERT_EQ(Lib().kestOggStrRead(item, part.data(), 2000), 2000) << c.name;
      EXPECT_EQ(std::memcmp(part.data(), buffer.data() + at, 2000), 0) << c.name << " from byte " << at;
    }
    Lib().kestOggStrmanDel(item);
  }
}

TEST_F(KestLibAudio, OtherWavEncodingsAndDamagedFiles) {
  // 8-bit stereo through our reader; mu-law through FFmpeg's.
  TByteStream eight(Wav(1, 2, 11025, 8, {0x80, 0xFF, 0x00, 0x81}));
  KestHandle item = Lib().kestOggStrmanAdd(&eight, 0);
  ASSERT_NE(item, 0);
  int16_t samples[4] = {};
  ASSERT_EQ(Lib().kestOggStrRead(item, samples, 8), 8);
  EXPECT_EQ(samples[0], 0);
  EXPECT_EQ(samples[1], 127 * 256);
  EXPECT_EQ(samples[2], -128 * 256);
  EXPECT_EQ(samples[3], 256);
  Lib().kestOggStrmanDel(item);

  TByteStream mulaw(Wav(7, 1, 8000, 8, {0xFF, 0x80, 0x00, 0xFF}));
  item = Lib().kestOggStrmanAdd(&mulaw, 0);
  ASSERT_NE(item, 0);
  EXPECT_EQ(Lib().kestOggStrGetSize(item), 8);
  ASSERT_EQ(Lib().kestOggStrRead(item, samples, 8), 8);
  EXPECT_EQ(samples[0], 0);
  EXPECT_EQ(samples[1], 32124);
  EXPECT_EQ(samples[2], -32124);
  Lib().kestOggStrmanDel(item);

  std::vector<uint8_t> cut = ToneWav(Tone(100));
  cut.resize(30);
  TByteStream damaged(cut);
  EXPECT_EQ(Lib().kestOggmanAdd(&damaged, 0), 0);
  TByteStream noise(std::vector<uint8_t>(5000, 0x4F));
  EXPECT_EQ(Lib().kestOggmanAdd(&noise, -1), 0);
  EXPECT_EQ(Lib().kestWmpmanAdd(cut.data(), static_cast<int32_t>(cut.size())), 0);
}

TEST_F(KestLibAudio, WmaPlaysFromACopyOfItsBytes) {
  std::vector<uint8_t> file = BuildWma(22050, 2, 600);
  ASSERT_FALSE(file.empty());
  const KestHandle item = Lib().kestWmpmanAdd(file.data(), static_cast<int32_t>(file.size()));
  ASSERT_NE(item, 0);
  std::fill(file.begin(), file.end(), 0);
  EXPECT_NEAR(Lib().kestWmpGetLength(item), 600, 100);
  Lib().kestWmpPlay(item);
  const std::vector<int16_t> out = bus_.Pull(100000, [&] { return Lib().kestWmpIsPlaying(item) != 0; });
  // The encoder keeps back part of its last frame: what is decoded plays, all of it.
  const double seconds = out.size() / 2 / 44100.0;
  EXPECT_GT(seconds, 0.5);
  EXPECT_LE(seconds, Lib().kestWmpGetLength(item) / 1000.0);
  int crossings = 0;
  int peak = 0;
  for (size_t i = 2; i < out.size(); i += 2) {
    crossings += (out[i - 2] < 0) != (out[i] < 0);
    peak = std::max(peak, std::abs(static_cast<int>(out[i])));
  }
  EXPECT_GT(peak, 8000);
  EXPECT_NEAR(crossings, 2 * 440 * seconds, 10);
  EXPECT_EQ(Lib().kestWmpIsEnd(item), -1);
  EXPECT_EQ(Lib().kestWmpIsEnd(item), 0);
  // Played again from the start after the end.
  Lib().kestWmpPlay(item);
  EXPECT_EQ(Lib().kestWmpIsPlaying(item), -1);
  EXPECT_LT(Lib().kestWmpGetPosition(item), 50);
  Lib().kestWmpmanDel(item);
  EXPECT_EQ(bus_.attached(), 0);
}

TEST(KestLibAudioClock, WithoutASoundOutputTimePassesAndTheSoundEnds) {
  Lib().kestInit(nullptr, nullptr, nullptr, nullptr, KestStreamSize, KestStreamRead, KestStreamPosition, KestStreamSeek,
                 KestSaveFpu, KestRestoreFpu, 0);
  TByteStream stream(ToneWav(Tone(2205)));
  const KestHandle item = Lib().kestOggmanAdd(&stream, 0);
  ASSERT_NE(item, 0);
  Lib().kestOggPlay(item);
  EXPECT_EQ(Lib().kestOggIsPlaying(item), -1);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(Lib().kestOggIsPlaying(item), 0);
  EXPECT_EQ(Lib().kestOggGetPosition(item), 100);
  EXPECT_EQ(Lib().kestOggIsEnd(item), -1);
  EXPECT_EQ(Lib().kestOggIsEnd(item), 0);
  Lib().kestOggmanDel(item);
  Lib().kestFinal();
}

}  // namespace
}  // namespace kest
