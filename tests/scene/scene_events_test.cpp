#include <gtest/gtest.h>

#include "common/stream.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"

namespace kest {
namespace {

class SceneEvents : public ::testing::Test {
 protected:
  TKestComponent& NewButton() {
    TKestControl& button = *Scene.CreateByKind(LT_BUTTON)->AsControl();
    button.SetParent(&Scene.FrontBase());
    for (int32_t id : {PR_ONMOUSEMOVE, PR_ONLBTNDOWN, PR_ONLBTNUP, PR_ONMOUSEIN, PR_ONIDLE})
      WriteProperty(button, id, std::string("on.src"));
    return button;
  }
  void Post(TKestComponent& sender, int32_t code) {
    Scene.PostEvent(sender, std::get<std::string>(sender.GetProp(code)), TArrayString(), static_cast<uint8_t>(code));
  }

  TKestBaseList Scene;
};

TEST_F(SceneEvents, RepeatingKindsWaitOnceOthersQueueEveryTime) {
  TKestComponent& button = NewButton();
  for (int i = 0; i < 3; ++i)
    for (int32_t code : {PR_ONMOUSEMOVE, PR_ONLBTNDOWN, PR_ONIDLE, PR_ONLBTNUP, PR_ONMOUSEIN}) Post(button, code);
  EXPECT_EQ(Scene.Events().Count(), 3 + 3 + 3);
  // Once the waiting move runs, the next one may wait again.
  Scene.Events().SetRunning(Scene.Events().Items(0), 1);
  Post(button, PR_ONMOUSEMOVE);
  EXPECT_EQ(Scene.Events().Count(), 10);
  EXPECT_EQ(Scene.Events().FindWaiting(button.Ref(), PR_ONMOUSEMOVE), 9);
  // Empty references, stopped controls and base screens post no presses.
  Post(button, PR_ONWHEELUP);
  WriteProperty(button, PR_PAUSED, true);
  Scene.Events().Clear();
  Post(button, PR_ONLBTNDOWN);
  Scene.PostEvent(Scene.FrontBase(), "on.src", TArrayString(), PR_ONLBTNDOWN);
  EXPECT_EQ(Scene.Events().Count(), 0);
}

TEST_F(SceneEvents, ADestroyedSenderLeavesItsRunningEventsWithoutSender) {
  TKestComponent& button = NewButton();
  Post(button, PR_ONLBTNUP);
  Post(button, PR_ONLBTNUP);
  Scene.Events().SetRunning(Scene.Events().Items(0), 1);
  Scene.Scrap(button);
  Scene.DestroyScrapped();
  // The waiting record went with its sender; the running one stays.
  ASSERT_EQ(Scene.Events().Count(), 1);
  const TTimerData& running = Scene.Events().Items(0);
  EXPECT_TRUE(running.Sender.IsSet());
  EXPECT_EQ(running.Sender.Get(), nullptr);
  EXPECT_EQ(running.Sender.Name(), "");
  // A new object at the same address is not taken for the old sender.
  TKestComponent& again = NewButton();
  EXPECT_NE(running.Sender.Get(), &again);
  Post(again, PR_ONMOUSEMOVE);
  EXPECT_EQ(Scene.Events().Count(), 2);
}

TEST_F(SceneEvents, QueuesStoreSendersByNameAndGoneOnesAsNone) {
  TKestComponent& button = NewButton();
  button.SetName("btn");
  TArrayString args;
  args.Add("12");
  Scene.PostEvent(button, "up.src", args, PR_ONLBTNUP);
  Scene.PostEvent(button, "up.src", args, PR_ONLBTNUP);
  Scene.Events().SetRunning(Scene.Events().Items(1), 2);
  Scene.Events().Items(0).Sender = TObjectRef();  // its sender has gone
  TByteStream saved;
  Scene.Events().SaveToStream(saved);

  int lookups = 0;
  auto find = [&](const std::string& name) {
    ++lookups;
    TKestObject* object = Scene.FindObject(name);
    return object ? object->Life() : nullptr;
  };
  TTimerList loaded;
  saved.Seek(0);
  loaded.LoadFromStream(saved, 140, find);
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(lookups, 1);
  EXPECT_FALSE(loaded.Items(0).Sender.IsSet());
  EXPECT_EQ(loaded.Items(1).Sender.Get(), &button);
  EXPECT_EQ(loaded.Items(1).Running, 2);
  EXPECT_EQ(loaded.Items(1).Args.List(), args.List());
  EXPECT_TRUE(loaded.IsWaiting(TObjectRef(), PR_ONLBTNUP));

  // Older games stored the running state as one byte.
  TByteStream old;
  WriteInt(old, 1);
  WriteStr(old, "a.src");
  WriteStr(old, "btn");
  WriteByte(old, PR_ONLBTNUP);
  WriteByte(old, 1);
  WriteInt(old, 0);
  old.Seek(0);
  loaded.LoadFromStream(old, 113, find);
  ASSERT_EQ(loaded.Count(), 1);
  EXPECT_EQ(loaded.Items(0).Running, 1);
  EXPECT_EQ(old.Remaining(), 0);
}

}  // namespace
}  // namespace kest
