#include <gtest/gtest.h>

#include "common/app_globals.h"
#include "scene/components/kest_box.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"

namespace kest {
namespace {

class SceneInput : public ::testing::Test {
 protected:
  SceneInput() {
    Scene.SetSceneSize(200, 100);
    Scene.Clock().FrameDelta = 15;
  }
  ~SceneInput() override { ResetAppGlobals(); }

  TKestBox& Box(const std::string& name, int32_t left, int32_t top, TKestControl* parent = nullptr) {
    auto& box = Scene.Create<TKestBox>();
    box.SetName(name);
    box.SetParent(parent ? parent : &Scene.FrontBase());
    box.SetBounds(left, top, 50, 50);
    for (int32_t id : {PR_ONLBTNDOWN, PR_ONLBTNUP, PR_ONMOUSEIN, PR_ONMOUSEOUT, PR_ONKEYDOWN, PR_ONKEYREPEAT,
                       PR_ONKEYUP, PR_ONFOCUSIN, PR_ONFOCUSOUT})
      WriteProperty(box, id, name + ".src");
    return box;
  }
  // One frame's input phase; the events it queued, as "sender:code".
  std::vector<std::string> Frame() {
    Scene.ProcessInput();
    std::vector<std::string> posted;
    for (int32_t i = 0; i < Scene.Events().Count(); ++i) {
      const TTimerData& e = Scene.Events().Items(i);
      posted.push_back(e.Sender.Name() + ":" + std::to_string(e.Code));
    }
    Scene.Events().Clear();
    return posted;
  }
  using V = std::vector<std::string>;

  TKestBaseList Scene;
};

TEST_F(SceneInput, ClicksGoToTheUpperControlAndReleasesToTheOnePressed) {
  Box("low", 0, 0);
  // Equal priorities would order by name, which puts "low" above.
  WriteProperty(Box("high", 20, 20), PR_PRIORITY, 1);
  Scene.Input().MouseMove(30, 30);
  EXPECT_EQ(Frame(), (V{"high:103"}));
  Scene.Input().MouseDown(TMouseButton::Left);
  EXPECT_EQ(Frame(), (V{"high:36"}));
  // Captured: the release goes to the pressed control wherever the mouse is.
  Scene.Input().MouseMove(5, 5);
  Scene.Input().MouseUp();
  EXPECT_EQ(Frame(), (V{"high:37"}));
  EXPECT_EQ(Frame(), (V{"high:35", "low:103"}));
  Scene.Input().MouseMove(150, 90);
  EXPECT_EQ(Frame(), (V{"low:35"}));
}

TEST_F(SceneInput, HeldKeysRepeatAfter300MsThenEvery50) {
  TKestBox& box = Box("k", 0, 0);
  WriteProperty(box, PR_HANDLEKEY, true);
  Frame();  // the focus settles on the new control
  ASSERT_EQ(Scene.Focused(), &box);
  Scene.Input().KeyDown(0x41);
  EXPECT_EQ(Frame(), (V{"k:144", "k:146"}));
  int32_t time = 0;
  std::vector<int32_t> at;
  while (time < 450) {
    time += Scene.Clock().FrameDelta;
    if (!Frame().empty()) at.push_back(time);
  }
  // The timer runs from the press, in 15 ms frames: the first repeat after
  // 300 ms, then one each time another 50 ms have run out.
  EXPECT_EQ(at, (std::vector<int32_t>{300, 360, 405, 450}));
  Scene.Input().KeyUp(0x41);
  EXPECT_EQ(Frame(), (V{"k:145"}));
}

TEST_F(SceneInput, FocusMovesWhenItsParentHides) {
  TKestBox& left = Box("left", 0, 0);
  TKestBox& right = Box("right", 100, 0);
  TKestBox& inner = Box("inner", 0, 0, &right);
  WriteProperty(left, PR_HANDLEKEY, true);
  WriteProperty(inner, PR_HANDLEKEY, true);
  Frame();
  EXPECT_EQ(Scene.Focused(), &inner);
  right.SetVisible(false);
  EXPECT_EQ(Scene.Focused(), nullptr);
  EXPECT_EQ(Frame(), (V{"left:148"}));
  EXPECT_EQ(Scene.Focused(), &left);
}

TEST_F(SceneInput, AControlEndsBeforeItsRightAndBottomEdges) {
  Box("b", 20, 10);  // 20..69 across, 10..59 down
  Scene.Input().MouseMove(69, 59);
  EXPECT_EQ(Frame(), (V{"b:103"}));
  Scene.Input().MouseMove(70, 59);
  EXPECT_EQ(Frame(), (V{"b:35"}));
  Scene.Input().MouseMove(69, 59);
  EXPECT_EQ(Frame(), (V{"b:103"}));
  Scene.Input().MouseMove(69, 60);
  EXPECT_EQ(Frame(), (V{"b:35"}));
  Scene.Input().MouseDown(TMouseButton::Left);
  EXPECT_EQ(Frame(), V{});
}

}  // namespace
}  // namespace kest
