#include <gtest/gtest.h>

#include <vector>

#include "platform/clock.h"
#include "shell/loop_thread.h"

namespace kest {
namespace {

// Drives the loop as the main loop does: wait until due, wake, run a tick of
// the given cost. Returns the wake times that gave ticks, and their deltas.
struct TRun {
  std::vector<uint32_t> tick_times;
  std::vector<int32_t> deltas;
};

template <class Cost>
TRun Drive(TLoopThread& loop, TManualClock& clock, uint32_t until, Cost cost) {
  TRun run;
  while (clock.NowMs() < until) {
    clock.Advance(loop.WaitMs(clock.NowMs()));
    if (!loop.Due(clock.NowMs())) continue;
    if (auto d = loop.Wake(clock.NowMs())) {
      run.tick_times.push_back(clock.NowMs());
      run.deltas.push_back(*d);
      clock.Advance(cost(run.tick_times.size()));
    }
  }
  return run;
}

TEST(LoopThread, FastTicksComeEvery15Ms) {
  TManualClock clock(1000);
  TLoopThread loop;
  loop.Start(clock.NowMs());
  TRun run = Drive(loop, clock, 1000 + 15 * 200 + 1, [](size_t) { return 2u; });
  ASSERT_GE(run.deltas.size(), 200u);
  int64_t sum = 0;
  for (size_t i = 1; i < run.deltas.size(); ++i) {
    EXPECT_EQ(run.deltas[i], 15) << "tick " << i;
    sum += run.deltas[i];
  }
  EXPECT_DOUBLE_EQ(static_cast<double>(sum) / (run.deltas.size() - 1), 15.0);
}

TEST(LoopThread, SlowTickIsFollowedAtOnce) {
  TManualClock clock;
  TLoopThread loop;
  loop.Start(0);
  // The fifth tick takes 20 ms; the next one must come within 1 ms of its end.
  TRun run = Drive(loop, clock, 200, [](size_t n) { return n == 5 ? 20u : 1u; });
  ASSERT_GT(run.tick_times.size(), 6u);
  const uint32_t fifth_end = run.tick_times[4] + 20;
  EXPECT_LE(run.tick_times[5] - fifth_end, 1u);
  EXPECT_EQ(run.deltas[5], 20);
  // and the rhythm returns to 15 ms after it.
  EXPECT_EQ(run.deltas[6], 15);
}

TEST(LoopThread, GapOf300MsGivesNoTick) {
  TManualClock clock;
  TLoopThread loop;
  loop.Start(0);
  ASSERT_TRUE(loop.Wake(15).has_value());
  EXPECT_FALSE(loop.Wake(15 + 300).has_value());
  // The period after the gap is measured from the wake that ended it.
  EXPECT_EQ(loop.Wake(15 + 300 + 15).value(), 15);
  EXPECT_EQ(loop.Wake(15 + 300 + 15 + 299).value(), 299);
}

TEST(LoopThread, SuspensionCountsAsOneGap) {
  TManualClock clock;
  TLoopThread loop;
  loop.Start(0);
  ASSERT_TRUE(loop.Wake(15));
  loop.Suspend();
  EXPECT_FALSE(loop.Due(5000));
  EXPECT_EQ(loop.WaitMs(5000), TLoopThread::kIdleWaitMs);
  loop.Resume(5000);
  EXPECT_FALSE(loop.Due(5000));
  EXPECT_TRUE(loop.Due(5001));
  EXPECT_FALSE(loop.Wake(5001).has_value());  // the time away is not counted
  EXPECT_EQ(loop.Wake(5016).value(), 15);
}

TEST(LoopThread, ClockWrapAroundKeepsTheRhythm) {
  TLoopThread loop;
  const uint32_t start = 0xFFFFFFF0u;
  loop.Start(start);
  EXPECT_EQ(loop.WaitMs(start), 1u);
  EXPECT_EQ(loop.Wake(start + 10).value(), 10);
  EXPECT_EQ(loop.WaitMs(start + 10), 15u);
  EXPECT_EQ(loop.Wake(start + 25).value(), 15);
}

}  // namespace
}  // namespace kest
