#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "kestlib/kestlib_api.h"
#include "kestlib/lib/video_clock.h"
#include "kestlib_video/movie_builder.h"

extern "C" {
#define KEST_DECLARE(R, name, params) R name params;
KEST_LIB_CORE_FUNCTIONS(KEST_DECLARE)
KEST_LIB_VIDEO_FUNCTIONS(KEST_DECLARE)
#undef KEST_DECLARE
}

namespace {

using kesttest::MovieColour;
using kesttest::TColour;
using kesttest::TMoviePlan;
namespace clock = kestlib::video;

// The player's streams here are plain files.
int64_t Size(void* s) {
  auto* f = static_cast<std::FILE*>(s);
  int64_t here = ftello(f);
  fseeko(f, 0, SEEK_END);
  int64_t size = ftello(f);
  fseeko(f, here, SEEK_SET);
  return size;
}
int32_t Read(void* s, void* buffer, int32_t count) {
  return static_cast<int32_t>(std::fread(buffer, 1, count, static_cast<std::FILE*>(s)));
}
int64_t Position(void* s) { return ftello(static_cast<std::FILE*>(s)); }
int64_t Seek(void* s, int64_t position) {
  return fseeko(static_cast<std::FILE*>(s), position, SEEK_SET) == 0 ? position : -1;
}

void Init(KestSoundBus* bus) {
  void* shared = bus;
  kestInit(nullptr, nullptr, nullptr, &shared, Size, Read, Position, Seek, nullptr, nullptr, 0);
}

std::string Folder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestvideoXXXXXX").string();
    return std::string(mkdtemp(pattern.data()));
  }();
  return folder;
}

struct TCase {
  const char* name;
  TMoviePlan plan;
};

void PrintTo(const TCase& c, std::ostream* out) { *out << c.name; }

const TCase kCases[] = {
    {"mpg", {"mpeg", "mpeg1video", "mp2"}},
    {"avi", {"avi", "msmpeg4v2", nullptr}},
    {"wmv", {"asf", "wmv2", "wmav2"}},
};

class VideoPlayers : public testing::TestWithParam<TCase> {
 protected:
  void SetUp() override {
    const TCase& c = GetParam();
    FPath = Folder() + "/movie." + c.name;
    if (!std::filesystem::exists(FPath)) {
      std::string error;
      if (!kesttest::WriteMovie(FPath, c.plan, &error)) GTEST_SKIP() << error;
    }
    FFile = std::fopen(FPath.c_str(), "rb");
    ASSERT_TRUE(FFile);
    Init(nullptr);
    clock::UseManualClock(true);
    FItem = kestVidmanAdd(FPath.c_str(), FFile, 0);
    ASSERT_NE(FItem, 0);
  }
  void TearDown() override {
    kestVidmanDel(FItem);
    if (FFile) std::fclose(FFile);
    kestFinal();
    clock::UseManualClock(false);
  }

  // The colour at the middle of the current frame in the layout of `bits`.
  TColour Centre(int32_t bits) {
    KestVideoFrame frame{};
    EXPECT_EQ(kestVideoGetFrame(FItem, bits, &frame), -1);
    if (!frame.pixels) return {-1, -1, -1};
    EXPECT_EQ(frame.width, 160);
    EXPECT_EQ(frame.height, 120);
    EXPECT_EQ(frame.bits, bits);
    const auto* row = static_cast<const uint8_t*>(frame.pixels) + frame.pitch * (frame.height / 2);
    int x = frame.width / 2;
    if (bits == 32) return {row[x * 4 + 2], row[x * 4 + 1], row[x * 4]};
    unsigned v = row[x * 2] | (row[x * 2 + 1] << 8);
    if (bits == 16)
      return {static_cast<int>((v >> 11) << 3), static_cast<int>(((v >> 5) & 63) << 2),
              static_cast<int>((v & 31) << 3)};
    return {static_cast<int>(((v >> 10) & 31) << 3), static_cast<int>(((v >> 5) & 31) << 3),
            static_cast<int>((v & 31) << 3)};
  }

  std::string FPath;
  std::FILE* FFile = nullptr;
  KestHandle FItem = 0;
};

void ExpectNear(TColour got, TColour want, int tolerance) {
  EXPECT_NEAR(got.r, want.r, tolerance);
  EXPECT_NEAR(got.g, want.g, tolerance);
  EXPECT_NEAR(got.b, want.b, tolerance);
}

TEST_P(VideoPlayers, ReportsSizeAndLength) {
  EXPECT_EQ(kestVideoGetSourceWidth(FItem), 160);
  EXPECT_EQ(kestVideoGetSourceHeight(FItem), 120);
  EXPECT_NEAR(kestVideoGetLength(FItem), 2000, 50);
  EXPECT_EQ(kestVideoIsPlaying(FItem), 0);
  EXPECT_EQ(kestVideoGetPosition(FItem), 0);
}

TEST_P(VideoPlayers, FirstFrameInEveryLayout) {
  EXPECT_EQ(kestVideoNeedPaint(FItem), -1);
  ExpectNear(Centre(32), MovieColour(0, 50), 10);
  ExpectNear(Centre(16), MovieColour(0, 50), 16);
  ExpectNear(Centre(15), MovieColour(0, 50), 16);
  kestVideoFrameDone(FItem);
  EXPECT_EQ(kestVideoNeedPaint(FItem), 0);
  KestVideoFrame frame{};
  EXPECT_EQ(kestVideoGetFrame(FItem, 24, &frame), 0);
}

TEST_P(VideoPlayers, ShowsEveryFrameAndEndsOnce) {
  kestVideoPlay(FItem);
  int frames = 0, ends = 0;
  for (int step = 0; step < 120; ++step) {
    if (kestVideoNeedPaint(FItem)) {
      ++frames;
      kestVideoFrameDone(FItem);
    }
    if (kestVideoIsEnd(FItem)) ++ends;
    clock::AdvanceManualClock(20);
  }
  EXPECT_EQ(frames, 50);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(kestVideoIsPlaying(FItem), 0);
  EXPECT_NEAR(kestVideoGetPosition(FItem), 2000, 50);
}

TEST_P(VideoPlayers, PauseHoldsTheFrame) {
  kestVideoPlay(FItem);
  clock::AdvanceManualClock(300);
  EXPECT_EQ(kestVideoNeedPaint(FItem), -1);
  kestVideoFrameDone(FItem);
  kestVideoPause(FItem);
  int32_t held = kestVideoGetPosition(FItem);
  EXPECT_EQ(held, 300);
  clock::AdvanceManualClock(1000);
  EXPECT_EQ(kestVideoNeedPaint(FItem), 0);
  EXPECT_EQ(kestVideoGetPosition(FItem), held);
  EXPECT_EQ(kestVideoIsPaused(FItem), -1);
  EXPECT_EQ(kestVideoIsPlaying(FItem), 0);
  kestVideoPlay(FItem);
  clock::AdvanceManualClock(100);
  EXPECT_EQ(kestVideoGetPosition(FItem), held + 100);
}

TEST_P(VideoPlayers, SuspendHoldsEveryMovie) {
  kestVideoPlay(FItem);
  clock::AdvanceManualClock(200);
  kestVidmanSuspend();
  clock::AdvanceManualClock(500);
  EXPECT_EQ(kestVideoGetPosition(FItem), 200);
  kestVidmanResume();
  clock::AdvanceManualClock(100);
  EXPECT_EQ(kestVideoGetPosition(FItem), 300);
}

TEST_P(VideoPlayers, SeekShowsTheSecondColour) {
  kestVideoSetPosition(FItem, 1000);
  EXPECT_EQ(kestVideoNeedPaint(FItem), -1);
  ExpectNear(Centre(32), MovieColour(25, 50), 10);
  EXPECT_EQ(kestVideoGetPosition(FItem), 1000);
  kestVideoSetPosition(FItem, 0);
  ExpectNear(Centre(32), MovieColour(0, 50), 10);
}

TEST_P(VideoPlayers, RepeatStartsAgain) {
  kestVideoSetAutoRepeat(FItem, -1);
  kestVideoPlay(FItem);
  kestVideoSetPosition(FItem, 1900);
  clock::AdvanceManualClock(150);
  EXPECT_EQ(kestVideoIsEnd(FItem), -1);
  EXPECT_EQ(kestVideoIsEnd(FItem), 0);
  EXPECT_EQ(kestVideoIsPlaying(FItem), -1);
  EXPECT_LT(kestVideoGetPosition(FItem), 100);
  ExpectNear(Centre(32), MovieColour(0, 50), 10);
}

INSTANTIATE_TEST_SUITE_P(Containers, VideoPlayers, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TCase>& info) { return std::string(info.param.name); });

TEST(VideoPlayersInput, BadInputGivesNoItem) {
  Init(nullptr);
  EXPECT_EQ(kestVidmanAdd(nullptr, nullptr, 0), 0);
  EXPECT_EQ(kestVidmanAdd("/no/such/movie.mpg", nullptr, 0), 0);
  std::string path = Folder() + "/noise.mpg";
  std::vector<uint8_t> noise(4096);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 7919 >> 3);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(noise.data(), 1, noise.size(), f);
  std::fclose(f);
  EXPECT_EQ(kestVidmanAdd(path.c_str(), nullptr, 0), 0);
  EXPECT_EQ(kestVideoGetLength(12345), 0);
  kestFinal();
}

// A bus the test turns by hand in place of the device thread.
struct TFakeBus {
  void* source = nullptr;
  KestSoundRender render = nullptr;
  int detached = 0;
};

TEST(VideoPlayersSound, SoundDrivesTheClock) {
  std::string path = Folder() + "/sound.mpg";
  std::string error;
  if (!kesttest::WriteMovie(path, {"mpeg", "mpeg1video", "mp2"}, &error)) GTEST_SKIP() << error;
  TFakeBus fake;
  KestSoundBus bus{&fake,
                   [](void* c, void* source, KestSoundRender render) {
                     static_cast<TFakeBus*>(c)->source = source;
                     static_cast<TFakeBus*>(c)->render = render;
                   },
                   [](void* c, void*) { ++static_cast<TFakeBus*>(c)->detached; }, 0};
  Init(&bus);
  clock::UseManualClock(true);
  KestHandle item = kestVidmanAdd(path.c_str(), nullptr, 0);
  ASSERT_NE(item, 0);
  ASSERT_TRUE(fake.render);
  std::vector<int16_t> block(4410 * 2);
  EXPECT_EQ(fake.render(fake.source, block.data(), 4410), 0);  // stopped: silence
  kestVideoPlay(item);
  // The decoder fills the sound ahead on its own thread.
  int peak = 0;
  int64_t taken = 0;
  for (int i = 0; i < 500 && taken < 4410; ++i) {
    int32_t got = fake.render(fake.source, block.data(), 4410);
    for (int32_t s = 0; s < got * 2; ++s) peak = std::max(peak, std::abs(static_cast<int>(block[s])));
    taken += got;
    if (got == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_GT(peak, 3000);
  EXPECT_EQ(kestVideoGetPosition(item), taken * 1000 / 44100);
  kestVideoSetVolume(item, -10000);
  EXPECT_EQ(kestVideoGetVolume(item), -10000);
  int32_t got = fake.render(fake.source, block.data(), 4410);
  for (int32_t s = 0; s < got * 2; ++s) ASSERT_EQ(block[s], 0);
  kestVidmanDel(item);
  EXPECT_EQ(fake.detached, 1);
  kestFinal();
  clock::UseManualClock(false);
}

}  // namespace
