#include <gtest/gtest.h>

#include <map>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/save_versions.h"
#include "common/stream.h"
#include "imaging/pexa_frame_list.h"
#include "platform/cursor_sink.h"
#include "scene/components/kest_button.h"
#include "scene/components/kest_map_image.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"
#include "support/cursor_files.h"
#include "text/font_pixel_manager.h"

namespace kest {
namespace {

class TMemoryPictures : public IPictureFiles {
 public:
  bool Exists(const std::string& name) override { return Files.contains(name); }
  std::vector<uint8_t> Read(const std::string& name) override { return Files.at(name); }
  std::map<std::string, std::vector<uint8_t>> Files;
};

// Frames of one colour each, 100 ms apiece.
std::vector<uint8_t> Frames(std::vector<uint32_t> colours, int32_t width = 20, int32_t height = 10) {
  TPexaFrameList list;
  for (uint32_t colour : colours) {
    TPexaFrame& frame = list.AddFrame();
    frame.Composite.SetSize(width, height, 24);
    frame.Composite.Fill(colour);
  }
  TByteStream out;
  SavePexa(list, out, TPexaWriteOptions());
  return out.TakeBytes();
}

class PictureKinds : public ::testing::Test {
 protected:
  PictureKinds() : Cache(&Files, 0) {
    Files.Files["three.pxa"] = Frames({0xFF0000, 0x00FF00, 0x0000FF});
    Files.Files["one.pxa"] = Frames({0xFFFFFF});
    Files.Files["down.pxa"] = Frames({0x808080});
    Scene.SetPictures(&Cache);
    Scene.SetSceneSize(100, 100);
    Scene.Clock().FrameDelta = 50;
  }
  ~PictureKinds() override { ResetAppGlobals(); }

  TKestObject& Make(TComponentKind kind, const std::string& name) {
    TKestObject& object = *Scene.CreateByKind(kind);
    object.SetName(name);
    object.AsControl()->SetParent(&Scene.FrontBase());
    return object;
  }
  // Runs updates; the codes of the events they posted.
  std::vector<int> Updates(int count) {
    std::vector<int> codes;
    for (int i = 0; i < count; ++i) {
      Scene.UpdateScene();
      for (int32_t e = 0; e < Scene.Events().Count(); ++e) codes.push_back(Scene.Events().Items(e).Code);
      Scene.Events().Clear();
    }
    return codes;
  }

  TMemoryPictures Files;
  TPexaCollection Cache;
  TKestBaseList Scene;
};

TEST_F(PictureKinds, AnimationsPlayOnceThenEndOrLoop) {
  TKestObject& three = Make(LT_IMAGES, "three");
  WriteProperty(three, PR_ONPLAYEND, std::string("end.src"));
  WriteProperty(three, PR_SOURCE, std::string("three.pxa"));
  EXPECT_EQ(ReadProperty(three, PR_WIDTH), TPropValue(int32_t{20}));
  EXPECT_EQ(ReadProperty(three, PR_COUNT), TPropValue(int32_t{3}));
  // 100 ms frames in 50 ms updates: frame 2 is reached after 200 ms and its
  // time runs out after 300 ms; the end is told once.
  EXPECT_EQ(Updates(5), std::vector<int>{});
  EXPECT_EQ(ReadProperty(three, PR_INDEX), TPropValue(int32_t{2}));
  TByteStream onLast;
  three.SaveState(onLast);
  EXPECT_EQ(Updates(5), std::vector<int>{PR_ONPLAYEND});
  WriteProperty(three, PR_INDEX, 0);
  EXPECT_EQ(Updates(6), std::vector<int>{PR_ONPLAYEND}) << "a replay ends again";
  // Loaded with 50 ms of its last frame left, it ends after one update.
  TKestObject& loaded = Make(LT_IMAGES, "loaded");
  onLast.Seek(0);
  loaded.LoadState(onLast, kSaveNewestVersion);
  EXPECT_EQ(ReadProperty(loaded, PR_PLAYING), TPropValue(true));
  EXPECT_EQ(Updates(1), std::vector<int>{PR_ONPLAYEND});
  EXPECT_EQ(ReadProperty(loaded, PR_PLAYING), TPropValue(false));
  Scene.Destroy(loaded);

  TKestObject& one = Make(LT_IMAGES, "one");
  WriteProperty(one, PR_ONPLAYEND, std::string("end.src"));
  WriteProperty(one, PR_SOURCE, std::string("one.pxa"));
  EXPECT_EQ(Updates(10), std::vector<int>{}) << "one frame never ends";
  EXPECT_EQ(ReadProperty(one, PR_PLAYING), TPropValue(false)) << "but its time runs out";

  WriteProperty(three, PR_REPEAT, true);
  WriteProperty(three, PR_INDEX, 2);
  Updates(2);
  EXPECT_EQ(ReadProperty(three, PR_INDEX), TPropValue(int32_t{0}));
  WriteProperty(three, PR_REPEAT, false);
  WriteProperty(three, PR_AUTOSCRAP, true);
  Updates(6);
  EXPECT_EQ(Scene.FindObject("three"), nullptr);
  // Zoom 0 or below reads back 1.
  WriteProperty(one, PR_ZOOMX, 0);
  EXPECT_EQ(ReadProperty(one, PR_ZOOMX), TPropValue(int32_t{1}));
}

TEST_F(PictureKinds, GroupedButtonsKeepOneSelected) {
  std::vector<TKestButton*> group;
  for (const char* name : {"a", "b", "c"}) {
    auto& button = static_cast<TKestButton&>(Make(LT_BUTTON, name));
    WriteProperty(button, PR_GROUPINDEX, 1);
    group.push_back(&button);
  }
  EXPECT_TRUE(group[0]->Selected()) << "a group without all-up has one selected";
  WriteProperty(*group[1], PR_SELECTED, true);
  EXPECT_FALSE(group[0]->Selected());
  EXPECT_TRUE(group[1]->Selected());
  WriteProperty(*group[1], PR_SELECTED, false);
  EXPECT_TRUE(group[1]->Selected()) << "the only selected button stays selected";
  EXPECT_FALSE(group[0]->Selected());
  WriteProperty(*group[2], PR_ALLOWALLUP, true);
  for (TKestButton* b : group) EXPECT_TRUE(std::get<bool>(ReadProperty(*b, PR_ALLOWALLUP)));
  for (TKestButton* b : group) WriteProperty(*b, PR_SELECTED, false);
  for (TKestButton* b : group) EXPECT_FALSE(b->Selected());
}

TEST_F(PictureKinds, ButtonFramesLoopWhateverRepeatSays) {
  TKestObject& button = Make(LT_BUTTON, "b");
  WriteProperty(button, PR_SOURCE, std::string("three.pxa"));
  Updates(6);
  EXPECT_EQ(ReadProperty(button, PR_INDEX), TPropValue(int32_t{0}));
  EXPECT_EQ(ReadProperty(button, PR_REPEAT), TPropValue(true));
}

TEST_F(PictureKinds, PixelLockedChildrenRoundByIntegerDivision) {
  // A 100-pixel picture shown 66 wide: a child's left counts in its pixels.
  Files.Files["wide.pxa"] = Frames({0xFFFFFF}, 100, 10);
  TKestObject& parent = Make(LT_IMAGES, "p");
  WriteProperty(parent, PR_SOURCE, std::string("wide.pxa"));
  WriteProperty(parent, PR_WIDTH, 66);
  TKestObject& child = Make(LT_IMAGES, "c");
  child.AsControl()->SetParent(parent.AsControl());
  WriteProperty(child, PR_SOURCE, std::string("one.pxa"));
  WriteProperty(child, PR_POSZOOMED, true);
  for (auto [left, abs] : {std::pair{-3, -1}, {3, 2}, {-1, 0}}) {
    WriteProperty(child, PR_LEFT, left);
    EXPECT_EQ(child.AsControl()->AbsLeft(), abs) << "left " << left;
  }
}

TEST_F(PictureKinds, TheCursorFollowsTheControlUnderTheMouse) {
  TRecordingCursor cursor;
  Scene.SetCursorSink(&cursor);
  std::string fallback = "one.pxa";
  Scene.SetDefaultCursor([&] { return fallback; });
  TKestObject& box = Make(LT_BOX, "b");
  for (auto [id, v] : {std::pair{PR_WIDTH, 10}, {PR_HEIGHT, 10}, {PR_COLOR, 0xFF}}) WriteProperty(box, id, int32_t{v});
  WriteProperty(box, PR_CURSOR, std::string("three.pxa"));
  auto at = [&](int32_t x) {
    Scene.Input().MouseMove(x, 5);
    Scene.ProcessInput();
  };
  at(5);
  at(6);
  ASSERT_EQ(cursor.Shown.size(), 1u) << "an unchanged cursor is not set again";
  EXPECT_EQ(cursor.Shown[0].Width, 20);
  EXPECT_EQ(cursor.Shown[0].Pixels[0], 0xFFFF0000u) << "the first frame, red and opaque";
  at(50);
  ASSERT_EQ(cursor.Shown.size(), 2u);
  EXPECT_EQ(cursor.Shown[1].Pixels[0], 0xFFFFFFFFu) << "elsewhere the game's cursor";
  // An icon-format cursor is no picture the game's cache reads.
  Files.Files["hand.cur"] = {0, 0, 2, 0, 1, 0, 32, 32, 0, 0, 1, 0, 1, 0};
  fallback = "hand.cur";
  at(51);
  ASSERT_EQ(cursor.Shown.size(), 3u);
  EXPECT_TRUE(cursor.Shown[2].Pixels.empty()) << "a file that cannot be shown gives the arrow";
  // A damaged picture is no cursor either, not an invisible one.
  Files.Files["torn.pxa"] = std::vector<uint8_t>(40, 0x7F);
  fallback = "torn.pxa";
  at(52);
  ASSERT_EQ(cursor.Shown.size(), 4u);
  EXPECT_TRUE(cursor.Shown[3].Pixels.empty());
}

TEST_F(PictureKinds, CursorFilesShowWithTheirHotSpotAndAnimateOnGameTime) {
  TRecordingCursor cursor;
  Scene.SetCursorSink(&cursor);
  Scene.SetDefaultCursor([] { return std::string("spin.ani"); });
  Files.Files["hand.cur"] = test::MakeCur({{2, 1, 1, 0, test::CursorBmp(2, 1, 24, {}, {{1, 2, 3, 0, 0, 0}}, {"01"})}});
  // Frame 1, then 0, 6 and 3 sixtieths of a second; a tick is 50 ms.
  Files.Files["spin.ani"] = test::MakeAni({test::DotCursor(0x0000FF), test::DotCursor(0xFF0000)}, 2, 9, {6, 3}, {1, 0});
  TKestObject& box = Make(LT_BOX, "b");
  for (auto [id, v] : {std::pair{PR_WIDTH, 10}, {PR_HEIGHT, 10}, {PR_COLOR, 0xFF}}) WriteProperty(box, id, int32_t{v});
  WriteProperty(box, PR_CURSOR, std::string("hand.cur"));
  Scene.Input().MouseMove(5, 5);
  Scene.ProcessInput();
  Scene.ProcessInput();
  ASSERT_EQ(cursor.Shown.size(), 1u) << "a still cursor is handed over once";
  const TCursorPicture& hand = cursor.Shown[0];
  EXPECT_EQ(hand.Width, 2);
  EXPECT_EQ(hand.HotX, 1);
  EXPECT_EQ(hand.Pixels, (std::vector<uint32_t>{0xFF030201u, 0u}));
  Scene.Input().MouseMove(50, 50);
  std::vector<uint32_t> colours;
  for (int tick = 0; tick < 7; ++tick) {
    Scene.ProcessInput();
    colours.push_back(cursor.Shown.size() > 1 ? cursor.Shown.back().Pixels.at(0) : 0);
  }
  // 0 ms red; 100 ms blue; 150 ms red again; 250 ms blue; 300 ms red.
  const uint32_t r = 0xFFFF0000u, b = 0xFF0000FFu;
  EXPECT_EQ(colours, (std::vector<uint32_t>{r, r, b, r, r, b, r}));
  EXPECT_EQ(cursor.Shown.size(), 6u) << "each step once, as it comes due";
}

TEST_F(PictureKinds, AButtonClicksWhereItWasPressedOnly) {
  auto& button = static_cast<TKestButton&>(Make(LT_BUTTON, "ok"));
  WriteProperty(button, PR_SOURCE, std::string("one.pxa"));
  WriteProperty(button, PR_PRESSEDSOURCE, std::string("down.pxa"));
  WriteProperty(button, PR_ONNOTIFY, std::string("ok.src"));
  WriteProperty(button, PR_ONLBTNUP, std::string("up.src"));
  auto frame = [&] {
    Scene.ProcessInput();
    std::vector<int> codes;
    for (int32_t e = 0; e < Scene.Events().Count(); ++e) codes.push_back(Scene.Events().Items(e).Code);
    Scene.Events().Clear();
    return codes;
  };
  Scene.Input().MouseMove(5, 5);
  frame();
  Scene.Input().MouseDown(TMouseButton::Left);
  frame();
  EXPECT_EQ(button.State(), 2);
  Scene.Input().MouseUp();
  EXPECT_EQ(frame(), std::vector<int>{PR_ONNOTIFY}) << "a button posts no button-up event";
  EXPECT_EQ(button.State(), 0);
  // Pressed, then released away from it: nothing.
  Scene.Input().MouseDown(TMouseButton::Left);
  frame();
  Scene.Input().MouseMove(90, 90);
  Scene.Input().MouseUp();
  EXPECT_EQ(frame(), std::vector<int>{});
}

TEST_F(PictureKinds, OnePictureInTwoButtonSlotsOutlivesChangingOneOfThem) {
  auto& button = static_cast<TKestButton&>(Make(LT_BUTTON, "ok"));
  WriteProperty(button, PR_SOURCE, std::string("three.pxa"));
  WriteProperty(button, PR_HOVERSOURCE, std::string("three.pxa"));
  WriteProperty(button, PR_HOVERSOURCE, std::string("one.pxa"));
  EXPECT_EQ(Cache.Count(), 2) << "the normal slot still holds its picture";
  // Its frames still play and draw.
  Updates(3);
  TDIBX surface(20, 10, 32);
  button.Paint(surface);
}

TEST_F(PictureKinds, ButtonCaptionsSitInTheMiddleAndSinkWhenPressed) {
  TFakeFontBackend backend;
  TFontPixelManager fonts(backend);
  Scene.SetFonts(&fonts);
  auto& button = static_cast<TKestButton&>(Make(LT_BUTTON, "ok"));
  WriteProperty(button, PR_SOURCE, std::string("one.pxa"));
  WriteProperty(button, PR_PRESSEDSOURCE, std::string("one.pxa?m"));
  WriteProperty(button, PR_FONTHEIGHT, int32_t{8});
  WriteProperty(button, PR_FONTCOLOR, int32_t{0x0000FF});
  WriteProperty(button, PR_TEXT, std::string("OK"));
  // The box around the caption's pixels on the white picture.
  auto ink = [&] {
    TDIBX surface(20, 10, 32);
    button.Paint(surface);
    TRect box{20, 10, 0, 0};
    for (int32_t y = 0; y < 10; ++y)
      for (int32_t x = 0; x < 20; ++x)
        if (surface.PixelToColor(surface.GetPixel(x, y)) != 0xFFFFFF)
          box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
    return box;
  };
  const TRect normal = ink();
  // Two 8-pixel cells of boxes 3 wide: the label is 8 × 8, centred at (6, 1).
  EXPECT_EQ(normal, (TRect{7, 2, 14, 8}));
  Scene.Input().MouseMove(5, 5);
  Scene.ProcessInput();
  Scene.Input().MouseDown(TMouseButton::Left);
  Scene.ProcessInput();
  ASSERT_EQ(button.State(), 2);
  EXPECT_EQ(ink(), (TRect{8, 3, 15, 9})) << "pressed, the caption moves one pixel right and down";

  TByteStream saved;
  button.SaveState(saved);
  auto& copy = static_cast<TKestButton&>(Make(LT_BUTTON, "copy"));
  saved.Seek(0);
  copy.LoadState(saved, kSaveNewestVersion);
  EXPECT_EQ(std::get<int32_t>(ReadProperty(copy, PR_FONTHEIGHT)), 8);
  EXPECT_EQ(std::get<int32_t>(ReadProperty(copy, PR_FONTCOLOR)), 0x0000FF);
}

TEST_F(PictureKinds, MovingBoxesLeaveFadingCopiesBeneathThem) {
  TKestObject& box = Make(LT_BOX, "b");
  for (auto [id, v] : {std::pair{PR_WIDTH, 10},
                       {PR_HEIGHT, 10},
                       {PR_COLOR, 0xFF},
                       {PR_ALPHA, 200},
                       {PR_BLURSPAN, 30},
                       {PR_BLURDELAY, 200}})
    WriteProperty(box, id, int32_t{v});
  Scene.UpdateScene();
  TKestObject* first = Scene.FindObject("b0");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Kind(), LT_BOX) << "a box's copies are saved as boxes";
  WriteProperty(box, PR_LEFT, 20);
  Scene.UpdateScene();
  ASSERT_NE(Scene.FindObject("b1"), nullptr);
  Scene.UpdateScene();
  EXPECT_EQ(Scene.FindObject("b2"), nullptr) << "no copy while the box stands still";
  EXPECT_NE(Scene.FindObject("b0"), nullptr);
  Scene.UpdateScene();
  EXPECT_EQ(Scene.FindObject("b0"), nullptr) << "the first copy's life is over";
  // The copy lies beneath its source and fades from half its alpha.
  const auto& children = Scene.FrontBase().Children();
  EXPECT_EQ(children.back(), box.AsControl());
  ASSERT_NE(Scene.FindObject("b1"), nullptr);
  EXPECT_LT(std::get<int32_t>(ReadProperty(*Scene.FindObject("b1"), PR_ALPHA)), 100);
}

TEST_F(PictureKinds, PictureCopiesShareThePictureTheirSourceShowed) {
  auto& picture = static_cast<TKestCustomImage&>(Make(LT_IMAGES, "p"));
  WriteProperty(picture, PR_SOURCE, std::string("three.pxa"));
  for (auto [id, v] : {std::pair{PR_BLURSPAN, 30}, {PR_BLURDELAY, 200}, {PR_BRIGHTNESS, 40}})
    WriteProperty(picture, id, int32_t{v});
  Scene.UpdateScene();
  auto* copy = dynamic_cast<TKestCustomImage*>(Scene.FindObject("p0"));
  ASSERT_NE(copy, nullptr);
  const TCustomDIBX* shown = picture.ImageSurface();
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(copy->ImageSurface(), shown) << "the brightened picture is shared, not copied";
  const uint32_t pixel = shown->GetPixel(0, 0);
  WriteProperty(picture, PR_BRIGHTNESS, int32_t{80});
  EXPECT_NE(picture.ImageSurface(), shown);
  ASSERT_EQ(copy->ImageSurface(), shown) << "the copy keeps what its source showed";
  EXPECT_EQ(copy->ImageSurface()->GetPixel(0, 0), pixel);
}

// A script that names a damaged picture hears why; a saved game whose
// picture has since been damaged loads all the same.
TEST_F(PictureKinds, DamagedPicturesFailTheScriptNotTheLoad) {
  Files.Files["bad.pxa"] = std::vector<uint8_t>(40, 0x7F);
  TKestObject& picture = Make(LT_IMAGES, "p");
  WriteProperty(picture, PR_LEFT, int32_t{7});
  EXPECT_THROW(WriteProperty(picture, PR_SOURCE, std::string("bad.pxa")), EReadError);
  EXPECT_EQ(ReadProperty(picture, PR_SOURCE), TPropValue(std::string("bad.pxa")));
  TByteStream saved;
  picture.SaveState(saved);
  TKestObject& loaded = Make(LT_IMAGES, "q");
  saved.Seek(0);
  EXPECT_NO_THROW(loaded.LoadState(saved, kSaveNewestVersion));
  EXPECT_EQ(ReadProperty(loaded, PR_LEFT), TPropValue(int32_t{7}));
  EXPECT_EQ(ReadProperty(loaded, PR_SOURCE), TPropValue(std::string("bad.pxa")));
}

TEST_F(PictureKinds, TilesCoverTheirWholeAreaWhereverTheAnchorIs) {
  TKestObject& tile = Make(LT_TILE, "t");
  WriteProperty(tile, PR_SOURCE, std::string("three.pxa"));
  for (auto [id, v] : {std::pair{PR_LEFT, 10}, {PR_TOP, 10}, {PR_WIDTH, 50}, {PR_HEIGHT, 25}, {PR_OFFSETX, 7}})
    WriteProperty(tile, id, int32_t{v});
  EXPECT_EQ(ReadProperty(tile, PR_WIDTH), TPropValue(int32_t{50})) << "a tile keeps its size";
  Scene.DrawScene();
  EXPECT_EQ(Scene.Output().GetPixel(10, 10), 0xFF0000u);
  EXPECT_EQ(Scene.Output().GetPixel(59, 34), 0xFF0000u);
  EXPECT_EQ(Scene.Output().GetPixel(60, 35), 0u);
}

TEST_F(PictureKinds, MapImagesHitPolygonsInsideOnlyAndCutPrivateMasks) {
  // A triangle over the top-left half of a 20 x 10 picture.
  std::vector<TMapRegion> map(1);
  map[0].Name = "tri";
  map[0].Shape = TMapRegion::Polygon;
  map[0].Points = {{0, 0}, {20, 0}, {0, 10}};
  Files.Files["tri.map"] = WriteMapFile(map);
  Files.Files["hover.pxa"] = Frames({0xFFFF00});
  auto& a = static_cast<TKestMapImage&>(Make(LT_MAPIMG, "a"));
  auto& b = static_cast<TKestMapImage&>(Make(LT_MAPIMG, "b"));
  for (TKestMapImage* m : {&a, &b}) {
    WriteProperty(*m, PR_SOURCE, std::string("three.pxa"));
    WriteProperty(*m, PR_MAPSOURCE, std::string("tri.map"));
  }
  WriteProperty(a, PR_HOVERSOURCE, std::string("hover.pxa"));
  WriteProperty(b, PR_TOP, 50);
  WriteProperty(a, PR_ONMAPIN, std::string("in.src"));
  Scene.Input().MouseMove(3, 2);
  Scene.ProcessInput();
  EXPECT_EQ(a.Region(), 0);
  Scene.Input().MouseMove(15, 8);  // inside the picture, outside the triangle
  Scene.ProcessInput();
  EXPECT_EQ(a.Region(), -1);
  Scene.Input().MouseMove(3, 2);
  Scene.ProcessInput();
  Scene.DrawScene();
  const TCustomDIBX& out = Scene.Output();
  EXPECT_EQ(out.GetPixel(2, 1), 0xFFFF00u) << "the region shows the hover picture";
  EXPECT_EQ(out.GetPixel(15, 8), 0xFF0000u) << "the rest shows the picture";
  EXPECT_EQ(out.GetPixel(2, 51), 0xFF0000u) << "the other map image shares the picture, not the cut";
  // A right click closes it: the selection is cleared, and it goes on the
  // second update after.
  std::string sel = "?";
  int32_t index = 5;
  Scene.SetSelection([&](const std::string& name, int32_t i) {
    sel = name;
    index = i;
  });
  WriteProperty(a, PR_RCLICKSCRAP, true);
  Scene.Input().MouseDown(TMouseButton::Right);
  Scene.ProcessInput();
  EXPECT_EQ(index, -1);
  EXPECT_EQ(sel, "");
  Scene.UpdateScene();
  EXPECT_NE(Scene.FindObject("a"), nullptr);
  Scene.UpdateScene();
  EXPECT_EQ(Scene.FindObject("a"), nullptr);
}

TEST_F(PictureKinds, MapImagesLightExactlyTheRegionsPixelsFrameAfterFrame) {
  // A five-pointed star drawn in one stroke (its centre winds twice) that
  // leaves the picture at the top, and an ellipse.
  std::vector<TMapRegion> map(2);
  map[0].Shape = TMapRegion::Polygon;
  map[0].Points = {{32, -5}, {50, 47}, {2, 14}, {62, 14}, {14, 47}};
  map[1].Shape = TMapRegion::Ellipse;
  map[1].Left = 5;
  map[1].Top = 20;
  map[1].Right = 40;
  map[1].Bottom = 44;
  Files.Files["shapes.map"] = WriteMapFile(map);
  Files.Files["big.pxa"] = Frames({0xFF0000}, 64, 48);
  Files.Files["glow.pxa"] = Frames({0xFFFF00, 0x00FFFF}, 64, 48);
  TKestObject& m = Make(LT_MAPIMG, "m");
  WriteProperty(m, PR_SOURCE, std::string("big.pxa"));
  WriteProperty(m, PR_HOVERSOURCE, std::string("glow.pxa"));
  WriteProperty(m, PR_MAPSOURCE, std::string("shapes.map"));
  auto lit = [&](int32_t region, uint32_t colour) {
    Scene.DrawScene();
    Scene.ClearDirtyLists();
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; ++x)
        ASSERT_EQ(Scene.Output().GetPixel(x, y), map[size_t(region)].Contains(x, y) ? colour : 0xFF0000u)
            << "region " << region << " at " << x << "," << y;
  };
  Scene.Input().MouseMove(32, 24);
  Scene.ProcessInput();
  ASSERT_EQ(static_cast<TKestMapImage&>(m).Region(), 0);
  lit(0, 0xFFFF00);
  Updates(3);
  lit(0, 0x00FFFF);
  Scene.Input().MouseMove(8, 32);
  Scene.ProcessInput();
  ASSERT_EQ(static_cast<TKestMapImage&>(m).Region(), 1);
  lit(1, 0xFFFF00);
}

}  // namespace
}  // namespace kest
