#include "platform/sdl/ui_toolbar.h"

#include <gtest/gtest.h>

namespace kest {
namespace {

TEST(UiToolbar, HitTestFollowsTheButtonEdges) {
  TUiToolbar bar(nullptr);
  EXPECT_EQ(bar.HitTest(0, 0), 0);
  EXPECT_EQ(bar.HitTest(66, 17), 0);
  EXPECT_EQ(bar.HitTest(67, 0), 1);
  EXPECT_EQ(bar.HitTest(133, 17), 1);
  EXPECT_EQ(bar.HitTest(134, 5), -1);
  EXPECT_EQ(bar.HitTest(10, 18), -1);  // the dock below the buttons
  EXPECT_EQ(bar.HitTest(-1, 5), -1);
  EXPECT_EQ(bar.HitTest(10, -1), -1);
}

TEST(UiToolbar, ClickNeedsPressAndReleaseOnTheSameButton) {
  TUiToolbar bar(nullptr);
  bar.OnMouseDown(10, 5);
  EXPECT_EQ(bar.OnMouseUp(60, 12), 0);
  bar.OnMouseDown(10, 5);
  EXPECT_EQ(bar.OnMouseUp(70, 5), -1);  // released on the other button
  bar.OnMouseDown(70, 5);
  bar.OnMouseMove(300, 100);  // dragged away and back
  bar.OnMouseMove(100, 10);
  EXPECT_EQ(bar.OnMouseUp(100, 10), 1);
  EXPECT_EQ(bar.OnMouseUp(10, 5), -1);  // release without press
  bar.OnMouseDown(10, 19);
  EXPECT_EQ(bar.OnMouseUp(10, 5), -1);  // pressed outside the buttons
  EXPECT_EQ(bar.Pressed(), -1);
}

TEST(UiToolbar, RepaintIsNeededOnlyWhenTheLookChanges) {
  TUiToolbar bar(nullptr);
  TUiBitmap b(200, TUiToolbar::kDockHeight);
  TUiCanvas c = b.Canvas();
  EXPECT_TRUE(bar.NeedsRepaint());
  bar.Paint(c);
  EXPECT_FALSE(bar.NeedsRepaint());
  bar.OnMouseMove(150, 5);  // over no button
  EXPECT_FALSE(bar.NeedsRepaint());
  bar.OnMouseMove(5, 5);
  EXPECT_TRUE(bar.NeedsRepaint());
  bar.Paint(c);
  bar.OnMouseMove(6, 6);  // same button
  EXPECT_FALSE(bar.NeedsRepaint());
  bar.OnMouseLeave();
  EXPECT_TRUE(bar.NeedsRepaint());
}

TEST(UiToolbar, PaintsTheDockWithLegibleCaptions) {
  auto font = std::shared_ptr<TUiFont>(TUiFont::Open("IPAGothic", 12));
  ASSERT_NE(font, nullptr);
  TUiToolbar bar(font);
  constexpr uint32_t kUntouched = 0xFF00FF;
  TUiBitmap b(300, 30, kUntouched);
  TUiCanvas c = b.Canvas();
  bar.Paint(c);
  for (int x = 0; x < 300; ++x) {
    EXPECT_NE(b.At(x, 0), kUntouched);
    EXPECT_EQ(b.At(x, TUiToolbar::kDockHeight - 1), b.At(0, TUiToolbar::kDockHeight - 1));
    EXPECT_EQ(b.At(x, TUiToolbar::kDockHeight), kUntouched);
  }
  for (int i = 0; i < TUiToolbar::kButtonCount; ++i) {
    TUiRect r = TUiToolbar::ButtonRect(i);
    int dark = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
      for (int x = r.x; x < r.x + r.w; ++x) dark += (b.At(x, y) & 0xFF) < 0x60;
    }
    EXPECT_GT(dark, 15) << "button " << i;
  }
  auto level = [&](int x, int y) { return b.At(x, y) & 0xFF; };
  EXPECT_EQ(level(0, 0), level(66, 17));  // flat: no frame
  bar.OnMouseMove(5, 5);
  bar.Paint(c);
  EXPECT_GT(level(0, 0), level(66, 17));  // hovered: raised
  bar.OnMouseDown(5, 5);
  bar.Paint(c);
  EXPECT_LT(level(0, 0), level(66, 17));  // held: sunken
}

}  // namespace
}  // namespace kest
