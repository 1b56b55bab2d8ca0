#include "shell/form_system_host.h"

#include "shell/form_view.h"

namespace kest {

void TFormSystemHost::SetCursorX(int32_t x) { FForm.SetCursorX(x); }
void TFormSystemHost::SetCursorY(int32_t y) { FForm.SetCursorY(y); }
bool TFormSystemHost::FullScreen() { return FForm.Screen() && FForm.Screen()->IsFullScreen(); }
void TFormSystemHost::SetFullScreen(bool on) { FForm.SetFullScreen(on); }
int32_t TFormSystemHost::DisplayModeCount() { return FForm.Screen() ? FForm.Screen()->ModeCount() : 0; }
int32_t TFormSystemHost::DisplayModeIndex() { return FForm.Screen() ? FForm.Screen()->ChosenMode() : -1; }

void TFormSystemHost::SetDisplayModeIndex(int32_t index) {
  IPlayerScreen* screen = FForm.Screen();
  if (!screen || index < -1 || index >= screen->ModeCount()) return;
  screen->SetChosenMode(index);
  FForm.RestoreScreenMode();
}

int32_t TFormSystemHost::ScreenWidth() { return FForm.Project() ? FForm.Project()->ScreenWidth() : 0; }
int32_t TFormSystemHost::ScreenHeight() { return FForm.Project() ? FForm.Project()->ScreenHeight() : 0; }
std::string TFormSystemHost::Title() { return FForm.Project() ? FForm.Project()->Title() : std::string(); }

}  // namespace kest
