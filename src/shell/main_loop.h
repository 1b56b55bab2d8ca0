// The windowed player's message loop: waits for window events until the next
// tick is due, hands them to the main window, runs ticks on time, and runs
// modal boxes inside the same loop so ticks go on while one is open. A box
// opened while another is up (a script's box while the exit question is open)
// stacks above it; each is answered in turn.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/dialogs.h"

namespace kest {

class IClock;
class IWindow;
class TFormView;
class TLoopThread;

class TMainLoop {
 public:
  TMainLoop(IClock& clock, IWindow& window, TLoopThread& loop) : clock_(clock), window_(window), loop_(loop) {}
  void SetForm(TFormView* form) { form_ = form; }
  // Until the form asks to close, or `max_ticks` ticks ran (0: no limit).
  void Run(int64_t max_ticks = 0);
  void RunOnce();
  TUiResult RunModal(TUiMessageBox& box);
  int64_t Ticks() const { return ticks_; }

 private:
  IClock& clock_;
  IWindow& window_;
  TLoopThread& loop_;
  TFormView* form_ = nullptr;
  int64_t ticks_ = 0;
};

// Boxes drawn inside the main window by the loop above.
class TWindowDialogs final : public IDialogs {
 public:
  TWindowDialogs(TMainLoop& loop, bool japanese);
  TUiResult MessageBox(const std::string& text, const std::string& caption, TUiIcon icon,
                       TUiButtons buttons) override;

 private:
  TMainLoop& loop_;
  bool japanese_;
  std::shared_ptr<TUiFont> font_;
};

}  // namespace kest
