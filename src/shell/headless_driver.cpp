#include "shell/headless_driver.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "shell/form_view.h"
#include "shell/headless_input.h"
#include "shell/loop_thread.h"

namespace kest {

THeadlessResult THeadlessDriver::Run(int64_t periods) {
  THeadlessResult result;
  try {
    RunPeriods(periods, result);
  } catch (const TUnansweredBox&) {
    result.Unanswered = true;
  }
  return result;
}

void THeadlessDriver::RunPeriods(int64_t periods, THeadlessResult& result) {
  // The loop's clock is the count of periods: each lasts delta_ms, and a
  // period that ends a suspension of 300 ms or more gives no tick, as on a
  // real clock.
  FForm.HandleEvent({TInputEvent::TType::Activated});
  for (int64_t period = 1; period <= periods; ++period) {
    result.Periods = period;
    for (const TInputEvent& event : FInput.EventsAt(period)) FForm.HandleEvent(event);
    if (FPost)
      for (const THeadlessScriptEvent& event : FInput.ScriptEventsAt(period)) FPost(event);
    if (FRequest)
      for (const THeadlessGameRequest& request : FInput.GameRequestsAt(period)) FRequest(request);
    if (FForm.CloseRequested()) {
      result.Closed = true;
      result.ClosedAt = period;
      break;
    }
    FClock.Advance(static_cast<uint32_t>(FDeltaMs));
    if (FOnPeriod) FOnPeriod(FDeltaMs);
    if (!FLoop.Running()) continue;
    if (auto elapsed = FLoop.Wake(FClock.NowMs())) {
      FForm.OnLoop(*elapsed);
      ++result.Ticks;
    }
    if (FForm.CloseRequested()) {
      result.Closed = true;
      result.ClosedAt = period;
      break;
    }
  }
}

}  // namespace kest
