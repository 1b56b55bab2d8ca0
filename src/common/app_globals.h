// The player's shared globals: the frame clock and the closing flag, written
// by the frame loop and read across the system.
#pragma once

#include <cstdint>

namespace kest {

// The program is closing: ticks then run neither scripts nor drawing.
extern bool AppTerminating;
// Sum of all FrameDelta values since start, in milliseconds (@TickCount).
extern int64_t GameTime;
// Milliseconds between the last two ticks; always below 300.
extern int32_t FrameDelta;
// Ticks that reached the scene update (@UpdateCount).
extern int64_t FrameCount;
// Nominal frame period; particles step by elapsed time / FrameWait.
inline constexpr int32_t FrameWait = 16;
// A full-screen switch is running; ticks are skipped meanwhile.
extern bool SwitchingScreen;

// Back to the state at start-up (tests, and a second player in one process).
void ResetAppGlobals();

}  // namespace kest
