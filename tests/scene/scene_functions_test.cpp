// The component functions through compiled expressions over a real scene.
#include "scene/scene_function_host.h"

#include <array>

#include "language/expression_fixture.h"
#include "scene/components/kest_menu.h"
#include "scene/components/kest_prev_menu.h"
#include "scene/components/kest_timer.h"
#include "scene/item_lists.h"
#include "scene/kest_base_list.h"

namespace kest::test {
namespace {

// A menu with check marks, as list boxes keep them.
class TCheckedMenu final : public TKestMenu, public ICheckItems {
 public:
  using TKestMenu::TKestMenu;
  bool ItemChecked(int32_t i) const override { return i >= 0 && i < 3 && Checks[size_t(i)]; }
  void SetItemChecked(int32_t i, bool on) override {
    if (i >= 0 && i < 3) Checks[size_t(i)] = on;
  }
  std::array<bool, 3> Checks{};
};

// A preview menu of three buttons named one, two and 3; the last in group 2.
class TButtonMenu final : public TKestPrevMenu, public IButtonItems {
 public:
  using TKestPrevMenu::TKestPrevMenu;
  int32_t ButtonIndex(const std::string& name) const override {
    for (int32_t i = 0; i < 3; ++i)
      if (kNames[size_t(i)] == name) return i;
    return -1;
  }
  bool ButtonEnabled(int32_t i) const override { return In(i) && Enabled[size_t(i)]; }
  void SetButtonEnabled(int32_t i, bool on) override {
    if (In(i)) Enabled[size_t(i)] = on;
  }
  bool ButtonVisible(int32_t i) const override { return In(i) && Visible[size_t(i)]; }
  void SetButtonVisible(int32_t i, bool on) override {
    if (In(i)) Visible[size_t(i)] = on;
  }
  bool ButtonSelected(int32_t) const override { return false; }
  void SetButtonSelected(int32_t, bool) override {}
  int32_t ButtonGroup(int32_t i) const override { return i == 2 ? 2 : 0; }

  static constexpr std::array<std::string_view, 3> kNames{"one", "two", "3"};
  static bool In(int32_t i) { return i >= 0 && i < 3; }
  std::array<bool, 3> Enabled{true, true, true};
  std::array<bool, 3> Visible{true, true, true};
};

class SceneFunctionsTest : public ExpressionTest {
 protected:
  void SetUp() override {
    Funcs.Hosts.Scene = &Host;
    Funcs.PropertyTypes = &Types;
  }
  TKestControl& Box(const std::string& name, TKestControl& parent, int32_t left, int32_t top) {
    TKestControl& box = *Scene.CreateByKind(LT_BOX)->AsControl();
    box.SetName(name);
    box.SetParent(&parent);
    box.SetBounds(left, top, 10, 10);
    return box;
  }

  TKestBaseList Scene;
  TSceneFunctionHost Host{Scene};
  TScenePropertyTypes Types;
};

TEST_F(SceneFunctionsTest, GetPropTakesThePropertysTypeAndSetPropConverts) {
  Box("b1", Scene.FrontBase(), 10, 20);
  TKestParser left = TBuildKestParser::Compile("GetProp(\"b1\", 3)");
  left.Execute(Store, Funcs);
  ASSERT_NE(left.Result(), nullptr);
  EXPECT_EQ(left.Result()->ParamType(), PT_INT);
  EXPECT_EQ(left.Result()->GetAsInt(), 10);
  TKestParser name = TBuildKestParser::Compile("GetProp(\"b1\", 0)");
  name.Execute(Store, Funcs);
  EXPECT_EQ(name.Result()->ParamType(), PT_STR);
  EXPECT_EQ(name.Result()->GetAsStr(), "b1");
  EXPECT_EQ(Eval("GetProp(\"b1\", 4) + 1"), "21") << "an int property adds as a number";

  Run("SetProp(\"b1\", 3, \"42\")");
  EXPECT_EQ(Eval("GetProp(\"b1\", 3)"), "42");
  EXPECT_EQ(Eval("GetProp(\"nobody\", 3)"), "0") << "a missing component leaves the new result as it was";
  EXPECT_EQ(Eval("SetProp(\"nobody\", 3, 1)"), "");
}

TEST_F(SceneFunctionsTest, ExistsAndListCompoFollowTheRegistry) {
  TKestControl& b1 = Box("b1", Scene.FrontBase(), 0, 0);
  Box("child", b1, 0, 0);
  Scene.Create<TKestTimer>().SetName("clock");
  TKestControl& gone = Box("gone", Scene.FrontBase(), 0, 0);
  Scene.Scrap(gone);
  EXPECT_EQ(Eval("Exists(\"clock\")"), "TRUE");
  EXPECT_EQ(Eval("Exists(\"\")"), "FALSE") << "the empty name names the base screen, which is no component";
  EXPECT_EQ(Eval("Exists(\"gone\")"), "FALSE");

  Var("a", PT_STR);
  EXPECT_EQ(Eval("ListCompo(a)"), "3") << "scrapped objects are not listed";
  EXPECT_EQ(Find("a")->GetStr(0), "b1");
  EXPECT_EQ(Find("a")->GetStr(2), "clock");
  EXPECT_EQ(Eval("ListCompo(a, 15)"), "1");
  EXPECT_EQ(Find("a")->GetStr(0), "clock");
  EXPECT_EQ(Eval("ListCompo(a, 99)"), "3") << "a kind outside the table lists every kind";
  EXPECT_EQ(Eval("ListCompo(a, 0, \"b1\")"), "1");
  EXPECT_EQ(Find("a")->GetStr(0), "child");
  EXPECT_EQ(Eval("ListCompo(a, 0, \"nobody\")"), "0");
  EXPECT_TRUE(Find("a")->IsDimensionless());
  EXPECT_EQ(Find("a")->GetAsStr(), "");
}

TEST_F(SceneFunctionsTest, CoordinatesAndPlacement) {
  TKestControl& b1 = Box("b1", Scene.FrontBase(), 10, 20);
  Box("child", b1, 5, 5);
  Box("behind", Scene.BackBase(), 0, 0);
  TKestControl& cabinet = *Scene.CreateByKind(LT_CABINET)->AsControl();
  cabinet.SetName("cab");
  cabinet.SetParent(&Scene.FrontBase());
  Box("kept", cabinet, 0, 0);

  EXPECT_EQ(Eval("ToClientX(\"child\", 100)"), "85");
  EXPECT_EQ(Eval("ToClientY(\"child\", 100)"), "75");
  EXPECT_EQ(Eval("ToScreenX(\"child\", 0)"), "15");
  EXPECT_EQ(Eval("ToScreenY(\"child\", 0)"), "25");
  EXPECT_EQ(Eval("ToClientX(\"nobody\", 7)"), "7");

  EXPECT_EQ(Eval("InPrimary(\"child\")"), "TRUE");
  EXPECT_EQ(Eval("InPrimary(\"behind\")"), "FALSE");
  EXPECT_EQ(Eval("InPrimary(\"kept\")"), "FALSE");
  EXPECT_EQ(Eval("InCabinet(\"kept\")"), "TRUE");
  EXPECT_EQ(Eval("InCabinet(\"child\")"), "FALSE");
  EXPECT_EQ(Eval("InCabinet(\"nobody\")"), "FALSE");
}

TEST_F(SceneFunctionsTest, MenuItemsChecksAndButtons) {
  TKestObject& menu = *Scene.CreateByKind(LT_MENU);
  menu.SetName("m");
  menu.SetProp(PR_TEXT, std::string(" \r\nApple\r\nbanana\ncherry\r\n"));
  EXPECT_EQ(Eval("IndexOfMenu(\"m\", \"BANANA\")"), "1");
  EXPECT_EQ(Eval("IndexOfMenu(\"m\", \"apple\")"), "0") << "the text is trimmed before it is split";
  EXPECT_EQ(Eval("IndexOfMenu(\"m\", \"plum\")"), "-1");
  Box("b1", Scene.FrontBase(), 0, 0);
  EXPECT_EQ(Eval("IndexOfMenu(\"b1\", \"x\")"), "-1");

  TCheckedMenu& checks = Scene.Create<TCheckedMenu>();
  checks.SetName("c");
  Run("SetCheck(\"c\", 1, TRUE)");
  EXPECT_TRUE(checks.Checks[1]);
  EXPECT_EQ(Eval("GetCheck(\"c\", 1)"), "TRUE");
  EXPECT_EQ(Eval("GetCheck(\"c\", 7)"), "FALSE");
  EXPECT_EQ(Eval("GetCheck(\"m\", 1)"), "FALSE") << "a menu without check marks answers nothing";

  TButtonMenu& buttons = Scene.Create<TButtonMenu>();
  buttons.SetName("pm");
  EXPECT_EQ(Eval("SetEnabled(\"pm\", \"two\", FALSE)"), "FALSE");
  EXPECT_FALSE(buttons.Enabled[1]) << "a text that is no number names the button";
  Run("SetVisible(\"pm\", \"3\", FALSE)");
  EXPECT_TRUE(buttons.Visible[2]) << "a text that reads as a number is an index, never a name";
  Run("SetVisible(\"pm\", \"2\", FALSE)");
  EXPECT_FALSE(buttons.Visible[2]);
  EXPECT_EQ(Eval("GetVisible(\"pm\", 2)"), "FALSE");
  EXPECT_EQ(Eval("GetEnabled(\"pm\", \"one\")"), "TRUE");
  EXPECT_EQ(Eval("GetGroupIndex(\"pm\", 2)"), "2");
  EXPECT_EQ(Eval("GetGroupIndex(\"pm\", \"none\")"), "0");
  EXPECT_EQ(Eval("GetEnabled(\"c\", \"one\")"), "FALSE") << "a list box has no buttons";
}

TEST_F(SceneFunctionsTest, WithoutTheSceneNothingIsFound) {
  Funcs.Hosts.Scene = nullptr;
  Box("b1", Scene.FrontBase(), 10, 20);
  Var("a", PT_STR).SetAsStr("old");
  EXPECT_EQ(Eval("Exists(\"b1\")"), "FALSE");
  EXPECT_EQ(Eval("ListCompo(a)"), "0");
  EXPECT_EQ(Find("a")->GetAsStr(), "");
  EXPECT_EQ(Eval("ToScreenX(\"b1\", 3)"), "3");
  EXPECT_EQ(Eval("IndexOfMenu(\"b1\", \"x\")"), "-1");
  EXPECT_EQ(Eval("GetEnabled(\"b1\", 0)"), "FALSE");
  EXPECT_EQ(Eval("InPrimary(\"b1\")"), "FALSE");
}

}  // namespace
}  // namespace kest::test
