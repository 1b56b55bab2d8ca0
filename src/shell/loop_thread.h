// The frame loop's timing. It runs on the main thread: the loop waits for
// window events until the next deadline, then wakes this timer, which says
// whether a tick is due and how long the last period was.
#pragma once

#include <cstdint>
#include <optional>

namespace kest {

class TLoopThread {
 public:
  static constexpr uint32_t kPeriodMs = 15;
  // A period of this length or more (the machine slept, the window was
  // dragged, the player was inactive) gives no tick and no game time.
  static constexpr uint32_t kMaxGapMs = 300;
  static constexpr uint32_t kIdleWaitMs = 100;

  // Starts measuring from now; the first wake comes 1 ms later.
  void Start(uint32_t now);
  // Stops ticking but keeps the time of the last wake, so the first period
  // after Resume spans the whole absence.
  void Suspend() { FSuspended = true; }
  void Resume(uint32_t now);
  void Stop() { FRunning = false; }

  bool Running() const { return FRunning && !FSuspended; }
  // Milliseconds the loop may wait for events before the next wake.
  uint32_t WaitMs(uint32_t now) const;
  bool Due(uint32_t now) const { return Running() && WaitMs(now) == 0; }
  // The wake: the length of the period that ends now when it gives a tick.
  // The next deadline is this wake plus the period, so ticks keep a steady
  // 15 ms rhythm and a slow tick is followed at once.
  std::optional<int32_t> Wake(uint32_t now);

 private:
  bool FRunning = false;
  bool FSuspended = false;
  uint32_t FPrevious = 0;
  uint32_t FDeadline = 0;
};

}  // namespace kest
