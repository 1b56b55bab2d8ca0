#pragma once
// The time a silent movie plays by: the monotonic clock, or, for tests, a
// clock that moves only when told. With the hand-driven clock the movies also
// wait for their decoder to catch up before they answer, so every step gives
// the same frames on every machine.
#include <cstdint>

namespace kestlib::video {

// Milliseconds on the clock in use.
int64_t ClockNow();
// Whether the hand-driven clock is in use.
bool ClockIsManual();

// Switches to the hand-driven clock (starting at 0) or back to the monotonic one.
void UseManualClock(bool manual);
// Moves the hand-driven clock on by `ms`.
void AdvanceManualClock(int64_t ms);

}  // namespace kestlib::video
