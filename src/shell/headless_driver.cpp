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
  form_.HandleEvent({TInputEvent::TType::Activated});
  for (int64_t period = 1; period <= periods; ++period) {
    result.Periods = period;
    for (const TInputEvent& event : input_.EventsAt(period)) form_.HandleEvent(event);
    if (post_)
      for (const THeadlessScriptEvent& event : input_.ScriptEventsAt(period)) post_(event);
    if (form_.CloseRequested()) {
      result.Closed = true;
      result.ClosedAt = period;
      break;
    }
    clock_.Advance(static_cast<uint32_t>(delta_ms_));
    if (on_period_) on_period_(delta_ms_);
    if (!loop_.Running()) continue;
    if (auto elapsed = loop_.Wake(clock_.NowMs())) {
      form_.OnLoop(*elapsed);
      ++result.Ticks;
    }
    if (form_.CloseRequested()) {
      result.Closed = true;
      result.ClosedAt = period;
      break;
    }
  }
}

}  // namespace kest
