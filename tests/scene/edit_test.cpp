#include <gtest/gtest.h>

#include "common/app_globals.h"
#include "common/save_versions.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "platform/vk_keys.h"
#include "scene/components/kest_box.h"
#include "scene/components/kest_edit.h"
#include "scene/components/kest_memo.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"

namespace kest {
namespace {

class EditTest : public ::testing::Test {
 protected:
  EditTest() {
    Scene.SetSceneSize(200, 100);
    Scene.Clock().FrameDelta = 15;
  }
  ~EditTest() override { ResetAppGlobals(); }

  template <class T>
  T& Add(const std::string& name, int32_t left, int32_t top, int32_t width, int32_t height) {
    auto& control = Scene.Create<T>();
    control.SetName(name);
    control.SetParent(&Scene.FrontBase());
    control.SetBounds(left, top, width, height);
    return control;
  }
  // The focus settles and the box takes the keyboard.
  TKestEdit& FocusedEdit() {
    TKestEdit& edit = Add<TKestEdit>("e", 10, 10, 100, 20);
    WriteProperty(edit, PR_VISIBLE, true);
    WriteProperty(edit, PR_ONNOTIFY, std::string("e.src"));
    Scene.ProcessInput();
    return edit;
  }
  // The events queued since the last call, as "code:arg,arg".
  std::vector<std::string> Posted() {
    std::vector<std::string> posted;
    for (int32_t i = 0; i < Scene.Events().Count(); ++i) {
      const TTimerData& e = Scene.Events().Items(i);
      std::string line = std::to_string(e.Code) + ":";
      for (int32_t a = 0; a < e.Args.Count(); ++a) line += (a ? "," : "") + e.Args.Strings(a);
      posted.push_back(line);
    }
    Scene.Events().Clear();
    return posted;
  }
  std::string Text(TKestObject& object) { return std::get<std::string>(ReadProperty(object, PR_TEXT)); }
  using V = std::vector<std::string>;

  TKestBaseList Scene;
};

TEST_F(EditTest, KeysReachTheBoxNotTheSceneAndEditWholeCharacters) {
  EXPECT_FALSE(std::get<bool>(ReadProperty(Scene.Create<TKestEdit>(), PR_VISIBLE)));
  TKestEdit& edit = FocusedEdit();
  ASSERT_EQ(Scene.Input().KeyboardBox(), &edit);
  IKeyboardBox& box = *Scene.Input().KeyboardBox();

  WriteProperty(edit, PR_TEXT, std::string("abc"));
  EXPECT_TRUE(box.TypeKey(vk::kReturn));
  EXPECT_EQ(Posted(), (V{"33:13,abc"}));
  EXPECT_EQ(Text(edit), "abc");
  EXPECT_FALSE(Scene.Input().Keys().DownFlag);

  // Writing the text selected it all: typing replaces it.
  box.TypeText("x\xE3\x81\x82\xE3\x81\x84");  // x, hiragana a and i
  EXPECT_EQ(Text(edit), "x\x82\xA0\x82\xA2");
  box.TypeKey(vk::kBack);
  EXPECT_EQ(Text(edit), "x\x82\xA0");
  box.TypeKey(vk::kLeft);
  box.TypeKey(vk::kDelete);
  EXPECT_EQ(Text(edit), "x");
  // What has no CP932 form is left out.
  box.TypeText("\xF0\x9F\x98\x80y");
  EXPECT_EQ(Text(edit), "xy");
  EXPECT_EQ(Posted(), (V{"33:8,x\x82\xA0\x82\xA2", "33:37,x\x82\xA0", "33:46,x\x82\xA0"}));
}

TEST_F(EditTest, MemoTakesEnterAsALineBreakAndBackspaceRemovesItWhole) {
  TKestMemo& memo = Add<TKestMemo>("m", 0, 0, 100, 60);
  Scene.ProcessInput();
  ASSERT_EQ(Scene.Input().KeyboardBox(), &memo);
  IKeyboardBox& box = *Scene.Input().KeyboardBox();
  box.TypeText("a");
  box.TypeKey(vk::kReturn);
  box.TypeText("b");
  EXPECT_EQ(Text(memo), "a\r\nb");
  box.TypeKey(vk::kBack);
  box.TypeKey(vk::kBack);
  EXPECT_EQ(Text(memo), "a");
}

TEST_F(EditTest, BoxHidesOnlyWhenItsCentreIsCovered) {
  TKestEdit& edit = FocusedEdit();
  WriteProperty(edit, PR_COLOR, 0x0000FF);
  TKestBox& cover = Add<TKestBox>("cover", 0, 0, 50, 50);
  WriteProperty(cover, PR_PRIORITY, 1);
  // A cover that ignores the mouse hides the box all the same.
  WriteProperty(cover, PR_IGNOREMOUSE, int32_t{IM_ALL});
  Scene.UpdateScene();
  EXPECT_TRUE(edit.BoxShown());
  Scene.DrawScene();
  EXPECT_EQ(Scene.Output().PixelToColor(Scene.Output().GetPixel(100, 25)), 0x0000FFu);

  WriteProperty(cover, PR_LEFT, 40);  // over the centre (60, 20)
  Scene.UpdateScene();
  EXPECT_FALSE(edit.BoxShown());
  EXPECT_EQ(Scene.Input().KeyboardBox(), nullptr);
  Scene.DrawScene();
  EXPECT_NE(Scene.Output().PixelToColor(Scene.Output().GetPixel(100, 25)), 0x0000FFu);

  // Moving the box itself places it again at once.
  WriteProperty(edit, PR_LEFT, 100);
  EXPECT_TRUE(edit.BoxShown());
}

TEST_F(EditTest, StateRecordRoundTripsAndSelectsTheText) {
  TKestEdit& edit = FocusedEdit();
  WriteProperty(edit, PR_TEXT, std::string("\x82\xA0z"));
  WriteProperty(edit, PR_FONTHEIGHT, 20);
  WriteProperty(edit, PR_FONTSTYLE, 5);
  WriteProperty(edit, PR_FONTCOLOR, 0x123456);
  WriteProperty(edit, PR_READONLY, true);
  TKestMemo& memo = Add<TKestMemo>("m", 0, 40, 80, 40);
  WriteProperty(memo, PR_HALIGN, 2);
  WriteProperty(memo, PR_PAUSED, true);
  WriteProperty(memo, PR_FONTNAME, std::string("face"));

  TByteStream out;
  Scene.FrontBase().SaveState(out);
  const std::vector<uint8_t> saved = out.TakeBytes();
  TKestBaseList loaded;
  loaded.SetClock(&Scene.Clock());
  loaded.SetSceneSize(200, 100);
  TByteStream in{std::span<const uint8_t>(saved)};
  loaded.FrontBase().LoadState(in, kSaveNewestVersion);
  EXPECT_EQ(in.Remaining(), 0);
  TByteStream again;
  loaded.FrontBase().SaveState(again);
  EXPECT_EQ(again.TakeBytes(), saved);

  auto& e = static_cast<TKestEdit&>(*loaded.FindControl("e"));
  EXPECT_TRUE(e.BoxShown());
  EXPECT_TRUE(e.Box().HasSelection());
  EXPECT_TRUE(std::get<bool>(ReadProperty(e, PR_HANDLEKEY)));
  EXPECT_TRUE(std::get<bool>(ReadProperty(*loaded.FindControl("m"), PR_PAUSED)));
}

}  // namespace
}  // namespace kest
