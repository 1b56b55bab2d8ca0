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

TUiResult TMainLoop::RunModal(TUiMessageBox& box) {
  // A start-up error can come before the window was first shown.
  window_.Show();
  window_.PushModal(&box);
  // Also while the player closes: a failed save at shut-down is reported
  // before the window goes.
  while (!box.Result()) RunOnce();
  window_.PopModal();
  return *box.Result();
}

TWindowDialogs::TWindowDialogs(TMainLoop& loop, bool japanese)
    : loop_(loop), japanese_(japanese), font_(TUiFont::Open("IPAGothic", 12)) {}

TUiResult TWindowDialogs::MessageBox(const std::string& text, const std::string& caption, TUiIcon icon,
                                     TUiButtons buttons) {
  TUiMessageBox box = TUiMessageBox::Standard(font_, caption, text, icon, buttons, japanese_);
  return loop_.RunModal(box);
}

}  // namespace kest
