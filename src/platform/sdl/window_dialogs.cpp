#include "platform/sdl/window_dialogs.h"

#include "platform/sdl/ui_font.h"
#include "platform/sdl/ui_message_box.h"
#include "platform/window.h"

namespace kest {

TWindowDialogs::TWindowDialogs(IWindow& window, std::function<void()> turn, bool japanese)
    : FWindow(window), FTurn(std::move(turn)), FJapanese(japanese), FFont(TUiFont::Open("IPAGothic", 12)) {}

TUiResult TWindowDialogs::MessageBox(const std::string& text, const std::string& caption, TUiIcon icon,
                                     TUiButtons buttons) {
  TUiMessageBox box = TUiMessageBox::Standard(FFont, caption, text, icon, buttons, FJapanese);
  // A start-up error can come before the window was first shown.
  FWindow.Show();
  FWindow.PushModal(&box);
  // Also while the player closes: a failed save at shut-down is reported
  // before the window goes.
  while (!box.Result()) FTurn();
  FWindow.PopModal();
  return *box.Result();
}

}  // namespace kest
