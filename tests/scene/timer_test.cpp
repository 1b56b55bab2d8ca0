#include <gtest/gtest.h>

#include "common/save_versions.h"
#include "common/stream.h"
#include "scene/components/kest_timer.h"
#include "scene/kest_base_list.h"

namespace kest {
namespace {

class Timer : public ::testing::Test {
 protected:
  TKestTimer& NewTimer(int32_t interval) {
    auto& timer = Scene.Create<TKestTimer>();
    timer.SetName("tm");
    timer.SetProp(PR_ONNOTIFY, std::string("t.src"));
    timer.SetProp(PR_DELAY, interval);
    return timer;
  }
  // Runs frames of 15 ms up to the time given.
  void RunTo(int64_t time) {
    while (Scene.Clock().GameTime < time) {
      Scene.Clock().GameTime = std::min<int64_t>(Scene.Clock().GameTime + 15, time);
      Scene.UpdateScene();
    }
  }
  int32_t Waiting(TKestTimer& timer) { return Scene.Events().IsWaiting(timer.Ref(), PR_ONNOTIFY) ? 1 : 0; }
  void TakeUp() {
    Scene.Events().SetRunning(*Scene.Events().FirstWaiting(), 1);
    Scene.Events().RemoveRunning(1, 1);
  }

  TKestBaseList Scene;
};

TEST_F(Timer, FiresEachIntervalOnceItsEventIsTakenUp) {
  TKestTimer& timer = NewTimer(100);
  RunTo(99);
  EXPECT_EQ(Scene.Events().Count(), 0);
  RunTo(100);
  EXPECT_EQ(Waiting(timer), 1);
  TakeUp();
  RunTo(199);
  EXPECT_EQ(Scene.Events().Count(), 0);
  RunTo(200);
  EXPECT_EQ(Scene.Events().Count(), 1);
}

TEST_F(Timer, ABusyScriptGetsOneEventNotABacklog) {
  TKestTimer& timer = NewTimer(1000);
  RunTo(3000);
  EXPECT_EQ(Scene.Events().Count(), 1);
  EXPECT_EQ(Waiting(timer), 1);
  // Taken up late, the next event keeps the timer's rhythm.
  TakeUp();
  RunTo(3990);
  EXPECT_EQ(Scene.Events().Count(), 0);
  RunTo(4000);
  EXPECT_EQ(Scene.Events().Count(), 1);
}

TEST_F(Timer, IntervalZeroFiresInEveryFrameItsEventWasTaken) {
  NewTimer(0);
  for (int frame = 0; frame < 3; ++frame) {
    RunTo(Scene.Clock().GameTime + 15);
    EXPECT_EQ(Scene.Events().Count(), 1);
    RunTo(Scene.Clock().GameTime + 15);
    EXPECT_EQ(Scene.Events().Count(), 1);
    TakeUp();
  }
}

TEST_F(Timer, ChangesDropTheWaitingEventAndRestartTheInterval) {
  TKestTimer& timer = NewTimer(100);
  RunTo(150);
  ASSERT_EQ(Waiting(timer), 1);
  timer.SetProp(PR_DELAY, 120);
  EXPECT_EQ(Scene.Events().Count(), 0);
  RunTo(269);
  EXPECT_EQ(Scene.Events().Count(), 0);
  RunTo(270);
  EXPECT_EQ(Scene.Events().Count(), 1);
  // Stopped, it posts nothing.
  timer.SetProp(PR_PAUSED, true);
  EXPECT_EQ(Scene.Events().Count(), 0);
  RunTo(1000);
  EXPECT_EQ(Scene.Events().Count(), 0);
}

TEST_F(Timer, AutoScrapLastsUntilItsEventIsTakenUp) {
  TKestTimer& timer = NewTimer(100);
  timer.SetProp(PR_AUTOSCRAP, true);
  RunTo(300);
  EXPECT_EQ(Scene.Events().Count(), 1);
  ASSERT_NE(Scene.FindObject("tm"), nullptr);
  TakeUp();
  RunTo(315);
  EXPECT_EQ(Scene.FindObject("tm"), nullptr);
}

TEST_F(Timer, RecordRoundTripsAndOlderOnesLackTheFlags) {
  TKestTimer& timer = NewTimer(250);
  timer.SetProp(PR_AUTOSCRAP, true);
  RunTo(100);
  TByteStream saved;
  timer.SaveState(saved);
  const std::vector<uint8_t> bytes = saved.TakeBytes();
  Scene.Destroy(timer);

  Scene.Clock().GameTime = 5000;
  auto& copy = Scene.Create<TKestTimer>();
  TByteStream in{std::span<const uint8_t>(bytes)};
  copy.LoadState(in, kSaveNewestVersion);
  EXPECT_EQ(in.Remaining(), 0);
  TByteStream again;
  copy.SaveState(again);
  EXPECT_EQ(again.TakeBytes(), bytes);
  // Loading counts the interval from now.
  RunTo(5249);
  EXPECT_EQ(Waiting(copy), 0);
  RunTo(5250);
  EXPECT_EQ(Waiting(copy), 1);

  // Before the flags existed the record ended after the stopped flag.
  TByteStream old_record;
  WriteStr(old_record, "old");
  WriteInt(old_record, 0);
  WriteStr(old_record, "o.src");
  WriteInt(old_record, 70);
  WriteFlag(old_record, true);
  const std::vector<uint8_t> old_bytes = old_record.TakeBytes();
  auto& old = Scene.Create<TKestTimer>();
  TByteStream old_in{std::span<const uint8_t>(old_bytes)};
  old.LoadState(old_in, kSaveSinceClips - 1);
  EXPECT_EQ(old_in.Remaining(), 0);
  EXPECT_EQ(std::get<int32_t>(old.GetProp(PR_DELAY)), 70);
  EXPECT_TRUE(std::get<bool>(old.GetProp(PR_PAUSED)));
  EXPECT_FALSE(std::get<bool>(old.GetProp(PR_AUTOSCRAP)));
}

}  // namespace
}  // namespace kest
