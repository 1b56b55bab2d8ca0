#include <gtest/gtest.h>

#include <map>

#include "common/stream.h"
#include "imaging/pexa_collection.h"
#include "imaging/pexa_frame_list.h"
#include "scene/clip_list.h"
#include "scene/components/kest_box.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"

namespace kest {
namespace {

TEST(ClipList, MergesNearRectanglesAndDropsContainedOnes) {
  TClipList list;
  list.Add(MakeRect(0, 0, 10, 10));
  list.Add(MakeRect(2, 2, 3, 3));
  list.Add(MakeRect(100, 0, 10, 10));
  ASSERT_EQ(list.Rects().size(), 2u);
  // Within 20 pixels of the first: the union, which then reaches the second.
  list.Add(MakeRect(30, 0, 60, 10));
  EXPECT_EQ(list.Rects(), (std::vector<TRect>{MakeRect(0, 0, 110, 10)}));
  list.Add(TRect{});
  EXPECT_EQ(list.Rects().size(), 1u);
}

class SceneDraw : public ::testing::Test {
 protected:
  SceneDraw() { Scene.SetSceneSize(320, 240); }

  TKestBox& Box(int32_t left, int32_t top, int32_t width, int32_t height, int32_t colour, TKestControl* parent) {
    auto& box = Scene.Create<TKestBox>();
    box.SetParent(parent);
    box.SetBounds(left, top, width, height);
    box.SetColor(colour);
    return box;
  }
  uint32_t Pixel(int32_t x, int32_t y) { return Scene.Output().PixelToColor(Scene.Output().GetPixel(x, y)); }
  void Frame() {
    Scene.DrawScene();
    Scene.ClearDirtyLists();
  }

  TKestBaseList Scene;
};

TEST_F(SceneDraw, ChildrenDrawInsideParentsAndClips) {
  TKestBox& parent = Box(10, 10, 100, 100, 0x0000FF, &Scene.FrontBase());
  TKestBox& child = Box(90, 90, 50, 50, 0x00FF00, &parent);
  WriteProperty(child, PR_CLIPWIDTH, 5);
  WriteProperty(child, PR_CLIPHEIGHT, 40);
  Frame();
  EXPECT_EQ(Pixel(5, 5), 0u);
  EXPECT_EQ(Pixel(50, 50), 0x0000FFu);
  EXPECT_EQ(Pixel(102, 102), 0x00FF00u);
  EXPECT_EQ(Pixel(106, 102), 0x0000FFu);  // beyond the child's clip
  EXPECT_EQ(Pixel(102, 112), 0u);         // beyond the parent
}

TEST_F(SceneDraw, AChangeRedrawsItsOldAndNewRectanglesOnly) {
  TKestBox& box = Box(10, 10, 20, 20, 0xFFFFFF, &Scene.FrontBase());
  Box(200, 150, 20, 20, 0xFFFFFF, &Scene.FrontBase());
  Frame();
  WriteProperty(box, PR_LEFT, 100);
  EXPECT_EQ(Scene.FrontBase().Dirty().Rects(),
            (std::vector<TRect>{MakeRect(10, 10, 20, 20), MakeRect(100, 10, 20, 20)}));
  WriteProperty(box, PR_LEFT, 100);
  WriteProperty(box, PR_COLOR, 0xFFFFFF);  // unchanged values redraw nothing
  EXPECT_EQ(Scene.FrontBase().Dirty().Rects().size(), 2u);
  Frame();
  EXPECT_EQ(Pixel(15, 15), 0u);
  EXPECT_EQ(Pixel(105, 15), 0xFFFFFFu);
}

TEST_F(SceneDraw, APriorityChangeIsDrawnAtOnce) {
  TKestBox& under = Box(0, 0, 20, 20, 0x0000FF, &Scene.FrontBase());
  under.SetName("a");
  Box(10, 10, 20, 20, 0x00FF00, &Scene.FrontBase()).SetName("b");
  Frame();
  ASSERT_EQ(Pixel(15, 15), 0x00FF00u);
  WriteProperty(under, PR_PRIORITY, 2);
  Frame();
  EXPECT_EQ(Pixel(15, 15), 0x0000FFu);
}

TEST_F(SceneDraw, SameSceneSameFrames) {
  auto frame = [](uint32_t seed) {
    TKestBaseList scene;
    scene.SetSceneSize(64, 48);
    for (uint32_t i = 0; i < 20; ++i) {
      auto& box = scene.Create<TKestBox>();
      box.SetParent(&scene.FrontBase());
      box.SetBounds(static_cast<int32_t>((i * 7 + seed) % 60), static_cast<int32_t>(i * 5 % 40), 10, 8);
      box.SetColor(static_cast<int32_t>(i * 0x102030));
      WriteProperty(box, 11, static_cast<int32_t>(i * 25));  // alpha, additive past 255
    }
    scene.DrawScene();
    const TCustomDIBX& out = scene.Output();
    return std::vector<uint8_t>(out.ScanLine(0), out.ScanLine(0) + out.LineStep() * out.Height());
  };
  EXPECT_EQ(frame(1), frame(1));
  EXPECT_NE(frame(1), frame(2));
}

TEST_F(SceneDraw, SceneRecordsRoundTrip) {
  TKestBox& a = Box(10, 10, 20, 20, 0xFF, &Scene.FrontBase());
  a.SetName("a");
  Box(1, 2, 3, 4, 5, &Scene.BackBase()).SetName("b");
  WriteProperty(a, PR_HANDLEKEY, true);
  Scene.CreateByKind(LT_TIMER);
  Scene.ProcessInput();
  Scene.PostEvent(a, "x.src", TArrayString(), PR_ONLBTNUP);
  TByteStream saved;
  Scene.SaveState(saved);
  TKestBaseList loaded;
  saved.Seek(0);
  loaded.LoadState(saved, 140);
  EXPECT_EQ(saved.Remaining(), 0);
  TByteStream again;
  loaded.SaveState(again);
  EXPECT_EQ(again.Bytes(), saved.Bytes());
  EXPECT_EQ(loaded.Focused(), loaded.FindControl("a"));
  EXPECT_EQ(loaded.Width(), 320);
}

TEST_F(SceneDraw, AResetOrASurfaceReleaseEndsTheRunningTransition) {
  Box(0, 0, 10, 10, 0x00FF00, &Scene.BackBase());
  ASSERT_NE(Scene.StartTransition(Scene.FrontIndex(), WP_FADE, false, true, 500, 1000), nullptr);
  Frame();
  Scene.FreeSurfaces();
  EXPECT_EQ(Scene.Transition(), nullptr);
  Scene.ReloadSurfaces();
  Frame();
  ASSERT_NE(Scene.StartTransition(Scene.FrontIndex(), WP_FADE, false, true, 500, 1000), nullptr);
  Frame();
  Scene.Reset();
  EXPECT_EQ(Scene.Transition(), nullptr);
  Box(0, 0, 10, 10, 0xFF0000, &Scene.FrontBase());
  Frame();
  EXPECT_EQ(Pixel(5, 5), 0xFF0000u) << "the new front screen draws straight onto the output";
  EXPECT_EQ(Scene.OutputDirtyRects(), std::vector<TRect>{});
}

// A blur wipe blurs the pictures as the screens show them once the tick's
// controls are drawn, and takes the front screen's picture from the output
// only when that screen drew it there.
TEST_F(SceneDraw, BlurWipesBlurTheScreensAsTheyAreDrawn) {
  Box(0, 0, 320, 240, 0xFF0000, &Scene.FrontBase());
  Frame();
  Box(0, 0, 320, 240, 0x00FF00, &Scene.BackBase());
  TCustomWipe* wipe = Scene.StartTransition(Scene.FrontIndex(), WP_BLURWHITE, false, true, 600, 1000);
  ASSERT_NE(wipe, nullptr);
  wipe->Prepare();
  Scene.DrawScene();
  EXPECT_EQ(Pixel(160, 120), 0x00FF00u) << "the new picture blurred, untinted at 600 of 1000";
  Scene.StartTransition(1 - Scene.FrontIndex(), 0, false, true, 0, 0);
  wipe = Scene.StartTransition(Scene.FrontIndex(), WP_BLURWHITE, false, true, 200, 1000);
  wipe->Prepare();
  Scene.DrawScene();
  EXPECT_EQ(Pixel(160, 120), 0x00FF00u) << "the screen now in front, not the output it never drew";
}

class TCountedFiles : public IPictureFiles {
 public:
  bool Exists(const std::string& name) override { return Files.contains(name); }
  std::vector<uint8_t> Read(const std::string& name) override {
    ++Reads[name];
    return Files.at(name);
  }
  std::map<std::string, std::vector<uint8_t>> Files;
  std::map<std::string, int> Reads;
};

TEST(SceneMasks, MaskPicturesAreKnownByContentAndReadWithTheGameCode) {
  constexpr uint32_t kCode = 12345;
  TPexaFrameList list;
  TPexaFrame& frame = list.AddFrame();
  frame.Composite.SetSize(4, 16, 24);
  for (int32_t y = 0; y < 16; ++y) frame.Composite.FillRect(MakeRect(0, y, 4, 1), uint32_t(y * 16) * 0x010101u);
  TCountedFiles files;
  auto bytes = [](auto write) {
    TByteStream out;
    write(out);
    return out.TakeBytes();
  };
  TPexaWriteOptions protectedRows;
  protectedRows.Code = kCode;
  files.Files["grad.pxa"] = bytes([&](TStream& out) { SavePexa(list, out, protectedRows); });
  files.Files["grad.dat"] = bytes([&](TStream& out) { list.Frames(0).Composite.SaveToPngStream(out); });
  files.Files["grad.pic"] = bytes([&](TStream& out) { list.Frames(0).Composite.SaveToBmpStream(out); });
  std::vector<uint8_t> cut = files.Files["grad.pxa"];
  cut.resize(cut.size() / 2);
  files.Files["bad.pxa"] = cut;
  TPexaCollection pictures(&files, kCode);
  TKestBaseList scene;
  scene.SetSceneSize(8, 16);
  scene.SetPictures(&pictures);
  for (const char* name : {"grad.pxa", "grad.dat", "grad.pic"}) {
    const std::optional<TDIBX> grey = scene.MaskPictures()(name);
    ASSERT_TRUE(grey) << name;
    for (int32_t y = 0; y < 16; ++y) EXPECT_EQ(grey->ScanLine(y)[0], y * 16) << name << " row " << y;
  }
  // A damaged mask turns every pixel alike; it is read once, not every frame.
  TCustomWipe* wipe = scene.StartTransition(scene.FrontIndex(), WP_MASKFADE, false, true, 0, 100);
  ASSERT_NE(wipe, nullptr);
  wipe->SetMaskName("bad.pxa", scene.MaskPictures());
  EXPECT_NO_THROW(wipe->Prepare());
  for (int32_t at : {10, 50, 90}) {
    wipe->Position = at;
    EXPECT_NO_THROW(scene.DrawScene());
  }
  EXPECT_EQ(files.Reads["bad.pxa"], 1);
}

}  // namespace
}  // namespace kest
