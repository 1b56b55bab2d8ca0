// A real movie played by the scene's video component through the player's
// media managers, drawn into the scene and as an overlay above it, in real
// time (the movie keeps the monotonic clock).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "common/save_versions.h"
#include "common/stream.h"
#include "kestlib_video/movie_builder.h"
#include "media/items/kestlib_items.h"
#include "scene/components/kest_box.h"
#include "scene/components/kest_cabinet.h"
#include "scene/components/kest_video.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"
#include "support/player_media_rig.h"
#include "support/temp_files.h"

namespace kest {
namespace {

constexpr int32_t kFrames = 50;  // 2 s at 25 frames a second
constexpr uint32_t kBack = 0x00FF00;

// Whether a scene colour (0xBBGGRR) is near one of the movie's colours.
bool Near(uint32_t colour, kesttest::TColour c) {
  const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  return std::abs(r - c.r) < 32 && std::abs(g - c.g) < 32 && std::abs(b - c.b) < 32;
}
const kesttest::TColour kFirst = kesttest::MovieColour(0, kFrames);
const kesttest::TColour kSecond = kesttest::MovieColour(kFrames - 1, kFrames);

class SceneVideo : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    kesttest::TMoviePlan plan{"mpeg", "mpeg1video", nullptr};
    plan.frames = kFrames;
    if (!kesttest::WriteMovie(Movie(), plan, &error)) GTEST_SKIP() << error;
    Rig.Open(false);
    Scene = std::make_unique<TKestBaseList>();
    Scene->SetSceneSize(320, 240);
    Scene->SetMedia(Rig.SceneMedia.get());
    Back = &Scene->Create<TKestBox>();
    Back->SetParent(&Scene->FrontBase());
    Back->SetBounds(0, 0, 320, 240);
    Back->SetColor(kBack);
  }
  void TearDown() override {
    Scene.reset();
    Rig.Close();
  }
  std::string Movie() const { return Dir / "movie.mpg"; }

  TKestVideo& Start(bool overlay, int32_t left, int32_t top) {
    auto& video = Scene->Create<TKestVideo>();
    video.SetName("mov");
    video.SetParent(Back);
    WriteProperty(video, PR_OVERLAY, overlay);
    WriteProperty(video, PR_LEFT, left);
    WriteProperty(video, PR_TOP, top);
    WriteProperty(video, PR_SOURCE, Movie());
    WriteProperty(video, PR_ONPLAYEND, std::string("end"));
    video.SetPlayState(kPlayStatePlaying);
    return video;
  }
  // One frame of the scene; answers how many end events it posted.
  int Frame() {
    Scene->Clock().GameTime += 15;
    Scene->UpdateScene();
    Scene->DestroyScrapped();
    Scene->DrawScene();
    Scene->ClearDirtyLists();
    int ends = 0;
    while (TTimerData* record = Scene->Events().FirstWaiting()) {
      ++ends;
      Scene->Events().SetRunning(*record, 1);
      Scene->Events().RemoveAllRunning();
    }
    return ends;
  }
  uint32_t Pixel(int32_t x, int32_t y) { return Scene->Output().PixelToColor(Scene->Output().GetPixel(x, y)); }
  // Plays in real time until the movie has ended and a little more; counts
  // the frames showing each colour at a point.
  void PlayThrough(int32_t x, int32_t y, int& first, int& second, int& ends) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(6);
    while (std::chrono::steady_clock::now() < deadline && ends == 0) {
      ends += Frame();
      first += Near(Pixel(x, y), kFirst);
      second += Near(Pixel(x, y), kSecond);
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    for (int i = 0; i < 10; ++i) ends += Frame();
  }

  test::TTempDir Dir;
  test::TPlayerMediaRig Rig;
  std::unique_ptr<TKestBaseList> Scene;
  TKestBox* Back = nullptr;
};

TEST_F(SceneVideo, AMovieDrawnIntoTheSceneChangesItsFramesAndEndsOnce) {
  TKestVideo& video = Start(false, 20, 30);
  WriteProperty(video, PR_ZOOMX, 128);
  EXPECT_EQ(video.Width(), 80);  // the movie's 160 at half size
  EXPECT_EQ(video.Height(), 120);
  EXPECT_EQ(std::get<int32_t>(ReadProperty(video, PR_COUNT)), 2000);
  int first = 0, second = 0, ends = 0;
  PlayThrough(60, 90, first, second, ends);
  EXPECT_GT(first, 3);
  EXPECT_GT(second, 3);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(Pixel(101, 90), kBack);  // beyond the zoomed width
}

TEST_F(SceneVideo, AnOverlayFollowsItsControlAndClipsToItsParent) {
  TKestBox& frame = Scene->Create<TKestBox>();
  frame.SetParent(Back);
  frame.SetBounds(0, 0, 200, 200);
  frame.SetColor(0x000000);
  TKestVideo& video = Start(true, 10, 10);
  video.SetParent(&frame);
  // A box drawn over the movie's place is beneath the overlay.
  TKestBox& cover = Scene->Create<TKestBox>();
  cover.SetParent(&frame);
  cover.SetBounds(0, 0, 100, 100);
  cover.SetColor(0xFFFFFF);
  WriteProperty(cover, PR_PRIORITY, 10);
  int first = 0, second = 0, ends = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (first == 0 && std::chrono::steady_clock::now() < deadline) {
    Frame();
    first += Near(Pixel(50, 50), kFirst);
  }
  ASSERT_GT(first, 0);
  EXPECT_EQ(video.OverlayRect(), MakeRect(10, 10, 160, 120));

  // Moved: the old place shows the scene again, the new one the movie,
  // cut at the parent's edge.
  WriteProperty(video, PR_LEFT, 120);
  WriteProperty(video, PR_TOP, 150);
  Frame();
  EXPECT_EQ(Pixel(50, 50), 0xFFFFFFu);
  EXPECT_EQ(video.OverlayRect(), MakeRect(120, 150, 80, 50));
  EXPECT_TRUE(Near(Pixel(150, 170), kFirst));
  EXPECT_EQ(Pixel(205, 170), kBack);
  // Zoomed and clipped by its own clip rectangle.
  WriteProperty(video, PR_LEFT, 0);
  WriteProperty(video, PR_TOP, 0);
  WriteProperty(video, PR_ZOOMX, 64);
  WriteProperty(video, PR_CLIPHEIGHT, 20);
  WriteProperty(video, PR_CLIPWIDTH, 100);
  Frame();
  EXPECT_EQ(video.OverlayRect(), MakeRect(0, 0, 40, 20));
  EXPECT_EQ(Pixel(50, 50), 0xFFFFFFu);
  // Hidden, and in the back screen: nothing shows.
  video.SetVisible(false);
  Frame();
  EXPECT_TRUE(video.OverlayRect().IsEmpty());
  EXPECT_EQ(Pixel(10, 10), 0xFFFFFFu);
  video.SetVisible(true);
  frame.SetParent(&Scene->BackBase());
  Frame();
  EXPECT_TRUE(video.OverlayRect().IsEmpty());
  PlayThrough(0, 0, first, second, ends);
  EXPECT_EQ(ends, 1);
}

TEST_F(SceneVideo, APlayingMovieComesBackFromItsRecord) {
  TKestVideo& video = Start(false, 5, 6);
  WriteProperty(video, PR_REPEAT, true);
  WriteProperty(video, PR_VOLUME, 700);
  for (int i = 0; i < 5; ++i) Frame();
  TByteStream record;
  video.SaveState(record);
  record.Seek(0);
  auto& copy = Scene->Create<TKestVideo>();
  copy.LoadState(record, kSaveNewestVersion);
  EXPECT_EQ(record.Position(), record.Size());
  EXPECT_EQ(copy.PlayState(), kPlayStatePlaying);
  EXPECT_FALSE(copy.Overlay());
  ASSERT_NE(copy.Item(), nullptr);
  EXPECT_EQ(copy.Width(), 160);
  EXPECT_EQ(std::get<int32_t>(ReadProperty(copy, PR_VOLUME)), 700);
  EXPECT_TRUE(std::get<bool>(ReadProperty(copy, PR_REPEAT)));
  // Kept in a cabinet it waits, and plays on when it comes out.
  auto& cabinet = Scene->Create<TKestCabinet>();
  copy.SetParent(&cabinet);
  EXPECT_FALSE(std::get<bool>(ReadProperty(copy, PR_PLAYING)));
  copy.SetParent(Back);
  EXPECT_TRUE(std::get<bool>(ReadProperty(copy, PR_PLAYING)));
}

// A short movie that plays comes back playing, showing its frame at once;
// one kept in a cabinet comes back held where it was.
TEST_F(SceneVideo, ASavedMovieComesBackAsItWas) {
  TKestVideo& video = Start(false, 5, 6);
  WriteProperty(video, PR_INDEX, 1000);
  Frame();
  TByteStream record;
  video.SaveState(record);
  record.Seek(0);
  auto& copy = Scene->Create<TKestVideo>();
  copy.SetParent(Back);
  copy.LoadState(record, kSaveNewestVersion);
  WriteProperty(copy, PR_LEFT, 160);
  WriteProperty(copy, PR_TOP, 120);
  EXPECT_EQ(copy.PlayState(), kPlayStatePlaying);
  Frame();
  EXPECT_NE(Pixel(240, 180), 0u);
  EXPECT_NE(Pixel(240, 180), kBack);

  auto& cabinet = Scene->Create<TKestCabinet>();
  copy.SetParent(&cabinet);
  TByteStream shelf;
  cabinet.SaveState(shelf);
  shelf.Seek(0);
  auto& loaded = Scene->Create<TKestCabinet>();
  loaded.LoadState(shelf, kSaveNewestVersion);
  ASSERT_EQ(loaded.ChildCount(), 1);
  TKestControl& kept = *loaded.Child(0);
  EXPECT_FALSE(std::get<bool>(ReadProperty(kept, PR_PLAYING)));
  const int32_t position = std::get<int32_t>(ReadProperty(kept, PR_INDEX));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(std::get<int32_t>(ReadProperty(kept, PR_INDEX)), position);
  kept.SetParent(Back);
  EXPECT_TRUE(std::get<bool>(ReadProperty(kept, PR_PLAYING)));
}

}  // namespace
}  // namespace kest
