#include <gtest/gtest.h>

#include "common/app_globals.h"
#include "common/sjis.h"
#include "scene/components/kest_mes.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"
#include "text/font_pixel_manager.h"

namespace kest {
namespace {

class MessageWindow : public ::testing::Test {
 protected:
  MessageWindow() {
    Scene.SetFonts(&Fonts);
    Scene.SetSceneSize(320, 240);
    FrameDelta = 16;
    Mes = static_cast<TKestMes*>(Scene.CreateByKind(LT_MES));
    Mes->SetName("mes");
    Mes->SetParent(&Scene.FrontBase());
    WriteProperty(*Mes, PR_WIDTH, int32_t{120});
    WriteProperty(*Mes, PR_HEIGHT, int32_t{30});
  }
  ~MessageWindow() override { ResetAppGlobals(); }

  // One frame; the codes of the events it posted (and the queue emptied, as
  // the call manager takes them up).
  std::vector<int> Frame() {
    Scene.UpdateScene();
    std::vector<int> codes;
    for (int32_t e = 0; e < Scene.Events().Count(); ++e) codes.push_back(Scene.Events().Items(e).Code);
    Scene.Events().Clear();
    return codes;
  }
  std::string Shown() { return Cp932ToUtf8(std::get<std::string>(ReadProperty(*Mes, PR_TEXT))); }

  TFakeFontBackend Backend;
  TFontPixelManager Fonts{Backend};
  TKestBaseList Scene;
  TKestMes* Mes = nullptr;
};

TEST_F(MessageWindow, APageWaitsForItsStartEventThenRevealsAtOnceAtSpeedZero) {
  WriteProperty(*Mes, PR_ONPLAYSTART, std::string("start"));
  WriteProperty(*Mes, PR_ONPLAYEND, std::string("end"));
  WriteProperty(*Mes, PR_TEXT, Utf8ToCp932("あいう"));
  ASSERT_EQ(Scene.Events().Count(), 1) << "the start event is queued at once";
  for (int i = 0; i < 3; ++i) Scene.UpdateScene();
  EXPECT_EQ(Shown(), "") << "nothing while the start event waits";
  Scene.Events().Clear();
  std::vector<int> ends;
  for (int i = 0; i < 5 && ends.empty(); ++i)
    for (int code : Frame())
      if (code == PR_ONPLAYEND) ends.push_back(i);
  EXPECT_EQ(Shown(), "あいう") << "speed 0 shows the page in one step";
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_GE(ends[0], 1) << "the end comes in a later frame, once the glyphs have faded in";
}

TEST_F(MessageWindow, PagesPlayingAndIndex) {
  WriteProperty(*Mes, PR_ONPLAYSTART, std::string("start"));
  // Two 12-pixel rows fit the 30-pixel window: three rows make two pages.
  WriteProperty(*Mes, PR_TEXT, Utf8ToCp932("一<BR>二<BR>三"));
  EXPECT_EQ(std::get<int32_t>(ReadProperty(*Mes, PR_COUNT)), 2);
  for (int i = 0; i < 6; ++i) Frame();
  EXPECT_TRUE(std::get<bool>(ReadProperty(*Mes, PR_PLAYING))) << "not the last page";
  WriteProperty(*Mes, PR_INDEX, int32_t{0});
  EXPECT_EQ(Frame(), std::vector<int>{}) << "the page shown already does not restart";
  WriteProperty(*Mes, PR_INDEX, int32_t{1});
  EXPECT_EQ(Scene.Events().Count(), 1);
  EXPECT_EQ(Shown(), "");
  Scene.Events().Clear();
  for (int i = 0; i < 6; ++i) Frame();
  EXPECT_EQ(Shown(), "三");
  EXPECT_FALSE(std::get<bool>(ReadProperty(*Mes, PR_PLAYING))) << "the last page, done";
}

TEST_F(MessageWindow, EventsHoldTheRevealOnlyInWindowsThatHandleThem) {
  WriteProperty(*Mes, PR_TEXT, Utf8ToCp932("あ<EVENT VALUE=x>い"));
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(Shown(), "あい") << "no PR_ONNOTIFY: the event passes";
  WriteProperty(*Mes, PR_ONNOTIFY, std::string("notify"));
  WriteProperty(*Mes, PR_TEXT, Utf8ToCp932("あ<EVENT VALUE=x>い"));
  std::vector<int> codes;
  for (int i = 0; i < 4; ++i)
    for (int code : Frame()) codes.push_back(code);
  EXPECT_EQ(codes, std::vector<int>{PR_ONNOTIFY});
  EXPECT_EQ(Shown(), "あい");
}

TEST_F(MessageWindow, AClickOnAShownLinkPostsTheLinkNotTheButton) {
  WriteProperty(*Mes, PR_ONLINK, std::string("link"));
  WriteProperty(*Mes, PR_ONLBTNDOWN, std::string("down"));
  WriteProperty(*Mes, PR_TEXT, Utf8ToCp932("<A HREF=\"go\">行く</A>"));
  Scene.Input().MouseMove(5, 5);
  Scene.ProcessInput();
  Scene.Input().MouseDown(TMouseButton::Left);
  Scene.ProcessInput();
  EXPECT_EQ(Scene.Events().Items(Scene.Events().Count() - 1).Code, PR_ONLBTNDOWN) << "still revealing: no link";
  Scene.Events().Clear();
  Scene.Input().MouseUp();
  Scene.ProcessInput();
  for (int i = 0; i < 4; ++i) Frame();
  Scene.Input().MouseMove(6, 5);
  Scene.ProcessInput();
  Scene.Events().Clear();
  Scene.Input().MouseDown(TMouseButton::Left);
  Scene.ProcessInput();
  ASSERT_EQ(Scene.Events().Count(), 1);
  EXPECT_EQ(Scene.Events().Items(0).Code, PR_ONLINK);
  EXPECT_EQ(Cp932ToUtf8(Scene.Events().Items(0).Args.Strings(0)), "行く");
  EXPECT_EQ(Scene.Events().Items(0).Args.Strings(1), "go");
}

}  // namespace
}  // namespace kest
