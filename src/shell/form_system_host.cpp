#include "shell/form_system_host.h"

#include "shell/form_view.h"

namespace kest {

void TFormSystemHost::SetCursorX(int32_t x) { form_.SetCursorX(x); }
void TFormSystemHost::SetCursorY(int32_t y) { form_.SetCursorY(y); }
bool TFormSystemHost::FullScreen() { return form_.Screen() && form_.Screen()->IsFullScreen(); }
void TFormSystemHost::SetFullScreen(bool on) { form_.SetFullScreen(on); }
int32_t TFormSystemHost::DisplayModeCount() { return form_.Screen() ? form_.Screen()->ModeCount() : 0; }
int32_t TFormSystemHost::DisplayModeIndex() { return form_.Screen() ? form_.Screen()->ChosenMode() : -1; }

void TFormSystemHost::SetDisplayModeIndex(int32_t index) {
  IPlayerScreen* screen = form_.Screen();
  if (!screen || index < -1 || index >= screen->ModeCount()) return;
  screen->SetChosenMode(index);
  form_.RestoreScreenMode();
}

int32_t TFormSystemHost::ScreenWidth() { return form_.Project() ? form_.Project()->ScreenWidth() : 0; }
int32_t TFormSystemHost::ScreenHeight() { return form_.Project() ? form_.Project()->ScreenHeight() : 0; }
std::string TFormSystemHost::Title() { return form_.Project() ? form_.Project()->Title() : std::string(); }

}  // namespace kest
