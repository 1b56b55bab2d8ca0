// Millisecond clocks. The frame loop reads time only through IClock, so the
// headless player and the tests can drive it by hand.
#pragma once

#include <cstdint>

namespace kest {

class IClock {
 public:
  virtual ~IClock() = default;
  // A monotonic millisecond count; differences are taken with wrap-around.
  virtual uint32_t NowMs() = 0;
  // Sleeps (or, for a manual clock, advances) for the given milliseconds.
  virtual void SleepMs(uint32_t ms) = 0;
};

class TSteadyClock final : public IClock {
 public:
  uint32_t NowMs() override;
  void SleepMs(uint32_t ms) override;
};

class TManualClock final : public IClock {
 public:
  explicit TManualClock(uint32_t start = 0) : FNow(start) {}
  uint32_t NowMs() override { return FNow; }
  void SleepMs(uint32_t ms) override { FNow += ms; }
  void Advance(uint32_t ms) { FNow += ms; }

 private:
  uint32_t FNow;
};

}  // namespace kest
