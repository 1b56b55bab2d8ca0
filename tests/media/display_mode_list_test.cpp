#include <gtest/gtest.h>

#include "media/display_mode_list.h"

namespace kest {
namespace {

TEST(DisplayModeList, ChoosesThePreferredSizeAtDesktopDepthWithLowestRefresh) {
  TDisplayModeList list;
  list.Build({{640, 480, 32, 60}, {800, 600, 16, 60}, {800, 600, 32, 75}, {800, 600, 32, 60}}, 800, 600, 800, 600, 32);
  EXPECT_EQ(list.Modes(), (std::vector<TDisplayMode>{{800, 600, 16, 60}, {800, 600, 32, 75}, {800, 600, 32, 60}}));
  EXPECT_EQ(list.ChosenMode(), 2);
}

TEST(DisplayModeList, FirstOfThePreferredSizeWhenNoneHasTheDesktopDepth) {
  TDisplayModeList list;
  list.Build({{1024, 768, 32, 60}, {800, 600, 16, 75}, {800, 600, 16, 60}}, 640, 480, 800, 600, 24);
  EXPECT_EQ(list.ChosenMode(), 1);
}

TEST(DisplayModeList, FirstAcceptableModeWhenNoneHasThePreferredSize) {
  TDisplayModeList list;
  list.Build({{320, 240, 32, 60}, {640, 480, 15, 60}, {1024, 768, 32, 60}, {1280, 1024, 32, 60}}, 640, 480, 800, 600,
             32);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ChosenMode(), 0);
  list.Build({}, 640, 480, 800, 600, 32);
  EXPECT_EQ(list.ChosenMode(), -1);
  EXPECT_EQ(list.Count(), 0);
}

TEST(DisplayModeList, OutputBitsFollowTheDisplayFormat) {
  TDisplayFormat rgb565{16, 0xF800, 0x07E0, 0x001F};
  TDisplayFormat rgb555{16, 0x7C00, 0x03E0, 0x001F};
  TDisplayFormat rgb888{32, 0xFF0000, 0xFF00, 0xFF};
  TDisplayFormat rgb24{24, 0xFF0000, 0xFF00, 0xFF};
  EXPECT_EQ(OutputBitsForDisplay(rgb565, false), 16);
  EXPECT_EQ(OutputBitsForDisplay(rgb555, false), 15);
  EXPECT_EQ(OutputBitsForDisplay(rgb888, false), 32);
  EXPECT_EQ(OutputBitsForDisplay(rgb24, false), 32);
  EXPECT_EQ(OutputBitsForDisplay(rgb565, true), 16);
  EXPECT_EQ(OutputBitsForDisplay(rgb555, true), 15);
  EXPECT_EQ(OutputBitsForDisplay(TDisplayFormat{8, 0, 0, 0}, true), 15);
  EXPECT_EQ(OutputBitsForDisplay(rgb24, true), 32);
}

}  // namespace
}  // namespace kest
