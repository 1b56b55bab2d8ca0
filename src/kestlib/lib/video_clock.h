#pragma once
// The time a silent movie plays by: the monotonic clock, or, for tests, a
// clock that moves only when told. With the hand-driven clock the movies also
// wait for their decoder to catch up before they answer, so every step gives
// the same frames on every machine.
#include <cstdint>

#include "kestlib/kestlib_api.h"

namespace kestlib::video {

// Milliseconds on the clock in use.
int64_t ClockNow();
// Whether the hand-driven clock is in use.
bool ClockIsManual();

// Switches to the hand-driven clock (starting at 0) or back to the monotonic one.
void UseManualClock(bool manual);
// Moves the hand-driven clock on by `ms`.
void AdvanceManualClock(int64_t ms);

// With a shared sound output that follows the game's clock (a headless run),
// movies take the hand-driven clock and it moves by the sound the output
// takes, so a run shows the same frames at the same ticks on every machine.
// Nothing happens for any other output, or for the one already followed.
void FollowGameTime(KestSoundBus* bus);
// Whether the clock follows a game-time output: movies then keep to it even
// when they have sound.
bool ClockFollowsGameTime();

}  // namespace kestlib::video
