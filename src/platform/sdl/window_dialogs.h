// Boxes drawn inside the main window, modal over the scene. The window's
// message loop keeps turning while a box is up, so ticks go on; a box opened
// while another is up stacks above it, and each is answered in turn.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/dialogs.h"

namespace kest {

class IWindow;
class TUiFont;

class TWindowDialogs final : public IDialogs {
 public:
  // `turn` runs one round of the window's message loop: its events, and a
  // tick when one is due.
  TWindowDialogs(IWindow& window, std::function<void()> turn, bool japanese);
  TUiResult MessageBox(const std::string& text, const std::string& caption, TUiIcon icon, TUiButtons buttons) override;

 private:
  IWindow& FWindow;
  std::function<void()> FTurn;
  bool FJapanese;
  std::shared_ptr<TUiFont> FFont;
};

}  // namespace kest
