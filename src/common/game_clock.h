#pragma once
// The game's clock: the time the frame loop has let pass and the frames it
// has run. The form moves it on each tick; the scene, the interpreter and
// the system variables are handed it and read it.

#include <cstdint>

namespace kest {

struct TGameClock {
  // The sum of every tick's milliseconds since start (@TickCount).
  int64_t GameTime = 0;
  // The milliseconds of the last tick; always below 300.
  int32_t FrameDelta = 0;
  // Ticks that reached the scene update (@UpdateCount).
  int64_t FrameCount = 0;

  // A tick of the given length begins.
  void Advance(int32_t milliseconds) {
    GameTime += milliseconds;
    FrameDelta = milliseconds;
  }
};

}  // namespace kest
