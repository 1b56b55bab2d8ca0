#include "scene/kest_base_list.h"

#include <gtest/gtest.h>

#include "scene/components/kest_sound.h"
#include "scene/components/kest_timer.h"

namespace kest {
namespace {

TKestControl& NewBox(TKestBaseList& scene, const std::string& name) {
  TKestControl& box = *scene.CreateByKind(LT_BOX)->AsControl();
  box.SetName(name);
  box.SetParent(&scene.FrontBase());
  return box;
}

TEST(SceneRegistry, ControlsTakeTheNameAndRenameTheirNamesake) {
  TKestBaseList scene;
  TKestControl& first = NewBox(scene, "a");
  TKestControl& second = NewBox(scene, "a");
  EXPECT_EQ(first.Name(), "a_2");
  TKestControl& third = NewBox(scene, "a");
  EXPECT_EQ(second.Name(), "a_3");
  EXPECT_EQ(third.Name(), "a");
  EXPECT_EQ(scene.FindObject("a_2"), &first);
  TKestControl& pic = NewBox(scene, "pic_5");
  NewBox(scene, "pic_5");
  EXPECT_EQ(pic.Name(), "pic_6");
}

TEST(SceneRegistry, NonVisualObjectsScrapTheirNamesake) {
  TKestBaseList scene;
  TKestControl& box = NewBox(scene, "bgm");
  TKestSound& sound = scene.Create<TKestSound>();
  sound.SetName("bgm");
  EXPECT_TRUE(scene.IsScrapped(box));
  EXPECT_EQ(scene.FindObject("bgm"), &sound);
  scene.DestroyScrapped();
  EXPECT_EQ(scene.Count(), 1);
}

TEST(SceneRegistry, AutomaticNamesAreGivenAgainAfterDestruction) {
  TKestBaseList scene;
  TKestTimer& first = scene.Create<TKestTimer>();
  EXPECT_EQ(first.Name(), "object0");
  EXPECT_EQ(scene.Create<TKestTimer>().Name(), "object1");
  scene.Scrap(first);
  EXPECT_EQ(scene.FindObject("object0"), nullptr);
  scene.DestroyScrapped();
  EXPECT_EQ(scene.Create<TKestTimer>().Name(), "object0");
}

TEST(SceneRegistry, SpecialNamesFindTheBaseScreens) {
  TKestBaseList scene;
  scene.SetFrontIndex(1);
  EXPECT_EQ(scene.FindObject(""), &scene.Base(1));
  EXPECT_EQ(scene.FindObject("\x01"
                             "BASE0"),
            &scene.Base(1));
  EXPECT_EQ(scene.FindObject("\x01"), &scene.Base(0));
  EXPECT_EQ(scene.FindControl("\x01"
                              "BASE0"),
            &scene.Base(0));
  EXPECT_EQ(scene.FindControl("\x01"
                              "BASE1"),
            &scene.Base(1));
  // Controls only: a timer of the name is passed over.
  scene.Create<TKestTimer>().SetName("t");
  EXPECT_EQ(scene.FindControl("t"), nullptr);
  EXPECT_NE(scene.FindObject("t"), nullptr);
}

TEST(SceneRegistry, ListsByKindAndParent) {
  TKestBaseList scene;
  TKestControl& parent = NewBox(scene, "p");
  TKestControl& child = *scene.CreateByKind(LT_LABEL)->AsControl();
  child.SetName("c");
  child.SetParent(&parent);
  scene.Create<TKestTimer>().SetName("t");
  std::vector<std::string> names;
  EXPECT_EQ(scene.ListComponents(names, 0, nullptr), 3);
  EXPECT_EQ(scene.ListComponents(names, LT_TIMER, nullptr), 1);
  EXPECT_EQ(scene.ListComponents(names, 0, &parent), 1);
  EXPECT_EQ(names, (std::vector<std::string>{"p", "c", "t", "t", "c"}));
}

TEST(SceneRegistry, DestroyingAControlDestroysItsChildren) {
  TKestBaseList scene;
  TKestControl& parent = NewBox(scene, "p");
  TKestControl& child = NewBox(scene, "c");
  child.SetParent(&parent);
  TObjectRef child_ref = child.Ref();
  scene.Scrap(parent);
  scene.Scrap(child);
  scene.DestroyScrapped();
  EXPECT_EQ(scene.Count(), 0);
  EXPECT_EQ(child_ref.Get(), nullptr);
  EXPECT_TRUE(child_ref.IsSet());
  EXPECT_EQ(scene.FrontBase().ChildCount(), 0);
}

TEST(SceneRegistry, KindBytesMakeTheirClasses) {
  TKestBaseList scene;
  for (int kind = 0; kind < 256; ++kind) {
    TKestObject* object = scene.CreateByKind(static_cast<uint8_t>(kind));
    const int masked = kind & 0x7F;
    const bool makes = masked < kComponentKindCount && masked != 0 && masked != 1 && masked != 10;
    ASSERT_EQ(object != nullptr, makes) << kind;
    if (object) {
      EXPECT_EQ(object->Kind(), masked);
    }
  }
}

}  // namespace
}  // namespace kest
