// Runs the player without a window: a fixed tick length and no wall-clock
// reads, so the same game and inputs give the same ticks and trace.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kest {

class TFormView;
class TManualClock;
class THeadlessInput;
struct THeadlessGameRequest;
struct THeadlessScriptEvent;
class TLoopThread;

struct THeadlessResult {
  int64_t Periods = 0;      // loop periods run
  int64_t Ticks = 0;        // periods that gave a tick
  bool Closed = false;      // the game or the user closed the player
  int64_t ClosedAt = 0;     // the period it closed in
  bool Unanswered = false;  // a question found no scripted answer: the run ended
};

class THeadlessDriver {
 public:
  // The form must read `clock`, which this driver advances by delta_ms a period.
  THeadlessDriver(TFormView& form, TLoopThread& loop, TManualClock& clock, const THeadlessInput& input, int32_t deltaMs)
      : FForm(form), FLoop(loop), FClock(clock), FInput(input), FDeltaMs(deltaMs) {}
  // Ends early when the player closes or a question finds no answer.
  THeadlessResult Run(int64_t periods);
  // Called after every period with its length (the silent sound device
  // takes that much sound).
  void SetOnPeriod(std::function<void(int32_t)> onPeriod) { FOnPeriod = std::move(onPeriod); }
  // Receives the script's events before the tick of their period.
  void SetOnScriptEvent(std::function<void(const THeadlessScriptEvent&)> post) { FPost = std::move(post); }
  // Receives the save and load requests before the tick of their period.
  void SetOnGameRequest(std::function<void(const THeadlessGameRequest&)> request) { FRequest = std::move(request); }

 private:
  void RunPeriods(int64_t periods, THeadlessResult& result);

  TFormView& FForm;
  TLoopThread& FLoop;
  TManualClock& FClock;
  const THeadlessInput& FInput;
  int32_t FDeltaMs;
  std::function<void(int32_t)> FOnPeriod;
  std::function<void(const THeadlessScriptEvent&)> FPost;
  std::function<void(const THeadlessGameRequest&)> FRequest;
};

}  // namespace kest
