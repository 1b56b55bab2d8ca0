// The player's shared globals: the closing flag and the full-screen switch,
// written by the frame loop and read across the system. The game clock is
// not one of them: it is handed to those that read it (common/game_clock.h).
#pragma once

#include <cstdint>

namespace kest {

// The program is closing: ticks then run neither scripts nor drawing.
extern bool AppTerminating;
// Nominal frame period; particles step by elapsed time / FrameWait.
inline constexpr int32_t FrameWait = 16;
// A full-screen switch is running; ticks are skipped meanwhile.
extern bool SwitchingScreen;

// Back to the state at start-up (tests, and a second player in one process).
void ResetAppGlobals();

}  // namespace kest
