#include "platform/sdl/fallback_dialogs.h"

#include <SDL.h>

#include <cstdio>
#include <vector>

namespace kest {

TUiResult TFallbackDialogs::MessageBox(const std::string& text, const std::string& caption, TUiIcon icon,
                                       TUiButtons buttons) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  const char* video = SDL_GetCurrentVideoDriver();
  const bool have_video = video != nullptr || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  if (!have_video) return TScriptedDialogs::DefaultAnswer(buttons);
  Uint32 flags = icon == TUiIcon::Error     ? SDL_MESSAGEBOX_ERROR
                 : icon == TUiIcon::Warning ? SDL_MESSAGEBOX_WARNING
                                            : SDL_MESSAGEBOX_INFORMATION;
  if (buttons == TUiButtons::Ok) {
    SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr);
    return TUiResult::Ok;
  }
  std::vector<SDL_MessageBoxButtonData> data;
  auto add = [&](TUiResult r, const char* label) { data.push_back({0, static_cast<int>(r), label}); };
  switch (buttons) {
    case TUiButtons::OkCancel:
      add(TUiResult::Ok, "OK");
      add(TUiResult::Cancel, "Cancel");
      break;
    case TUiButtons::YesNo:
      add(TUiResult::Yes, "Yes");
      add(TUiResult::No, "No");
      break;
    default:
      add(TUiResult::Yes, "Yes");
      add(TUiResult::No, "No");
      add(TUiResult::Cancel, "Cancel");
      break;
  }
  data.front().flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  data.back().flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  SDL_MessageBoxData box{flags,       nullptr, caption.c_str(), text.c_str(), static_cast<int>(data.size()),
                         data.data(), nullptr};
  int chosen = -1;
  if (SDL_ShowMessageBox(&box, &chosen) != 0 || chosen < 0) return TScriptedDialogs::DefaultAnswer(buttons);
  return static_cast<TUiResult>(chosen);
}

}  // namespace kest
