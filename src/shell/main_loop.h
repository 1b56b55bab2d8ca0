// The windowed player's message loop: waits for window events until the next
// tick is due, hands them to the main window and runs ticks on time. A box
// drawn in the window turns the same loop until it is answered, so ticks go
// on while one is open.
#pragma once

#include <cstdint>

namespace kest {

class IClock;
class IWindow;
class TFormView;
class TLoopThread;

class TMainLoop {
 public:
  TMainLoop(IClock& clock, IWindow& window, TLoopThread& loop) : FClock(clock), FWindow(window), FLoop(loop) {}
  void SetForm(TFormView* form) { FForm = form; }
  // Until the form asks to close, or `max_ticks` ticks ran (0: no limit).
  void Run(int64_t maxTicks = 0);
  void RunOnce();
  // One round while a helper program's window (a file dialog) is in front:
  // the window is drawn and ticks run as behind a box, but its input is
  // dropped, as a modal dialog would take it; closing and activation pass.
  void RunOnceBehindHelper();
  int64_t Ticks() const { return FTicks; }

 private:
  void Turn(bool input);

  IClock& FClock;
  IWindow& FWindow;
  TLoopThread& FLoop;
  TFormView* FForm = nullptr;
  int64_t FTicks = 0;
};

}  // namespace kest
