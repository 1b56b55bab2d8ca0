#include "shell/main_loop.h"

#include <vector>

#include "platform/clock.h"
#include "platform/window.h"
#include "shell/form_view.h"
#include "shell/loop_thread.h"

namespace kest {

namespace {

bool IsInput(const TInputEvent& event) {
  using T = TInputEvent::TType;
  return event.Type != T::Activated && event.Type != T::Deactivated && event.Type != T::CloseRequest;
}

}  // namespace

void TMainLoop::RunOnce() { Turn(true); }

void TMainLoop::RunOnceBehindHelper() { Turn(false); }

void TMainLoop::Turn(bool input) {
  std::vector<TInputEvent> events;
  FWindow.WaitEvents(FLoop.WaitMs(FClock.NowMs()), events);
  for (const TInputEvent& event : events) {
    if (FForm && (input || !IsInput(event))) FForm->HandleEvent(event);
  }
  const uint32_t now = FClock.NowMs();
  // A box opened from inside a tick (a script's question) holds the ticks
  // until it is answered; one opened between ticks lets them run.
  if (FForm && !FForm->InTick() && FLoop.Due(now)) {
    if (auto elapsed = FLoop.Wake(now)) {
      FForm->OnLoop(*elapsed);
      ++FTicks;
    }
  }
  FWindow.Refresh();
}

void TMainLoop::Run(int64_t maxTicks) {
  while (FForm && !FForm->CloseRequested()) {
    if (maxTicks > 0 && FTicks >= maxTicks) break;
    RunOnce();
  }
}

}  // namespace kest
