#include "shell/main_loop.h"

#include <vector>

#include "platform/clock.h"
#include "platform/window.h"
#include "shell/form_view.h"
#include "shell/loop_thread.h"

namespace kest {

void TMainLoop::RunOnce() {
  std::vector<TInputEvent> events;
  window_.WaitEvents(loop_.WaitMs(clock_.NowMs()), events);
  for (const TInputEvent& event : events) {
    if (form_) form_->HandleEvent(event);
  }
  const uint32_t now = clock_.NowMs();
  // A box opened from inside a tick (a script's question) holds the ticks
  // until it is answered; one opened between ticks lets them run.
  if (form_ && !form_->InTick() && loop_.Due(now)) {
    if (auto elapsed = loop_.Wake(now)) {
      form_->OnLoop(*elapsed);
      ++ticks_;
    }
  }
  window_.Refresh();
}

void TMainLoop::Run(int64_t max_ticks) {
  while (form_ && !form_->CloseRequested()) {
    if (max_ticks > 0 && ticks_ >= max_ticks) break;
    RunOnce();
  }
}

}  // namespace kest
