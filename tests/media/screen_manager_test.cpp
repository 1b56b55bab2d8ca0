#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/screen_manager.h"

namespace kest {
namespace {

struct TRecordingOutput final : IScreenOutput {
  void PresentRects(const TCustomDIBX& output, const TRect* rects, int count) override {
    std::string entry = std::to_string(output.Width()) + "x" + std::to_string(output.Height()) + "@" +
                        std::to_string(output.BitCount());
    if (!rects) entry += " all";
    for (int i = 0; i < count && rects; ++i)
      entry += " " + std::to_string(rects[i].Left) + "," + std::to_string(rects[i].Top) + "-" +
               std::to_string(rects[i].Right) + "," + std::to_string(rects[i].Bottom);
    presents.push_back(entry);
  }
  bool SetFullScreen(bool on) override {
    switches.push_back(on);
    return !on || full_screen_works;
  }
  std::vector<std::string> presents;
  std::vector<bool> switches;
  bool full_screen_works = true;
};

TFakeDisplay Display(int bits, uint32_t r, uint32_t g, uint32_t b) {
  TFakeDisplay d;
  d.desktop = {bits, r, g, b};
  d.modes = {{640, 480, 32, 60}, {800, 600, 16, 60}, {800, 600, 32, 75}, {800, 600, 32, 60}};
  return d;
}

TEST(ScreenManager, ModesAndOutputFollowTheDisplay) {
  TFakeDisplay d = Display(32, 0xFF0000, 0xFF00, 0xFF);
  TRecordingOutput out;
  TScreenManager screen(&d, &out, 800, 600, 800, 600);
  EXPECT_EQ(screen.ModeCount(), 3);
  EXPECT_EQ(screen.ChosenMode(), 2);
  EXPECT_EQ(screen.GetMode(2), (TDisplayMode{800, 600, 32, 60}));
  EXPECT_EQ(screen.GetMode(9), TDisplayMode{});
  EXPECT_EQ(screen.CurrentMode(), -1);
  EXPECT_FALSE(screen.IsFullScreen());
  ASSERT_NE(screen.Output(), nullptr);
  EXPECT_EQ(screen.OutputBitCount(), 32);
  EXPECT_TRUE(screen.UsesMemorySurfaces());
  EXPECT_EQ(screen.Output()->Width(), 800);

  TFakeDisplay d565 = Display(16, 0xF800, 0x07E0, 0x001F);
  EXPECT_EQ(TScreenManager(&d565, &out, 640, 480, 640, 480).OutputBitCount(), 16);
  TFakeDisplay d555 = Display(16, 0x7C00, 0x03E0, 0x001F);
  EXPECT_EQ(TScreenManager(&d555, &out, 640, 480, 640, 480).OutputBitCount(), 15);
  EXPECT_EQ(TScreenManager(&d555, &out, 640, 480, 640, 480, 32).OutputBitCount(), 32);
  // Without display control there are no modes and the output is 16-bit.
  TScreenManager none(nullptr, &out, 320, 240, 320, 240);
  EXPECT_EQ(none.ModeCount(), 0);
  EXPECT_EQ(none.ChosenMode(), -1);
  EXPECT_EQ(none.OutputBitCount(), 16);
}

TEST(ScreenManager, SwitchingRebuildsAndFallsBackToAWindow) {
  TFakeDisplay d = Display(32, 0xFF0000, 0xFF00, 0xFF);
  TRecordingOutput out;
  TScreenManager screen(&d, &out, 800, 600, 800, 600);
  const int builds = screen.Builds();
  screen.SetMode(-1);  // the current mode: nothing happens
  EXPECT_EQ(screen.Builds(), builds);
  screen.SetMode(screen.ChosenMode());
  EXPECT_TRUE(screen.IsFullScreen());
  EXPECT_EQ(screen.CurrentMode(), 2);
  EXPECT_EQ(out.switches.back(), true);
  screen.SetMode(-1);
  EXPECT_FALSE(screen.IsFullScreen());
  EXPECT_EQ(out.switches.back(), false);
  EXPECT_EQ(screen.Builds(), builds + 2);
  out.full_screen_works = false;
  screen.SetMode(2);
  EXPECT_EQ(screen.CurrentMode(), -1);
  EXPECT_FALSE(screen.IsFullScreen());
  ASSERT_NE(screen.Output(), nullptr);
  screen.Release();
  EXPECT_EQ(screen.CurrentMode(), -2);
  EXPECT_EQ(screen.Output(), nullptr);
  screen.SetMode(-1);
  EXPECT_NE(screen.Output(), nullptr);
}

TEST(ScreenManager, PresentsChangedRectanglesOnly) {
  TFakeDisplay d = Display(32, 0xFF0000, 0xFF00, 0xFF);
  TRecordingOutput out;
  TScreenManager screen(&d, &out, 640, 480, 640, 480);
  screen.Present({}, TRect{});  // the first frame after a build is shown whole
  screen.Present({}, TRect{});  // nothing changed
  screen.Present({{0, 0, 10, 10}, {5, 5, 5, 9}, {20, 30, 40, 50}}, TRect{});
  screen.Present({{0, 0, 10, 10}}, TRect{100, 100, 200, 150});  // a transition wins
  EXPECT_EQ(out.presents, (std::vector<std::string>{"640x480@32 all", "640x480@32 0,0-10,10 20,30-40,50",
                                                    "640x480@32 100,100-200,150"}));
  screen.Release();
  screen.Present({{0, 0, 1, 1}}, TRect{});  // no output: nothing
  EXPECT_EQ(out.presents.size(), 3u);
}

}  // namespace
}  // namespace kest
