// The window's mouse cursor: a colour cursor made from the scene's picture.
#include <SDL.h>

#include "platform/sdl/sdl_window.h"

namespace kest {

void TSdlWindow::SetCursor(const TCursorPicture* picture) {
  std::shared_ptr<SDL_Cursor> made;
  if (picture && picture->Width > 0 && picture->Height > 0 &&
      picture->Pixels.size() == size_t(picture->Width) * size_t(picture->Height)) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(picture->Pixels.data()), picture->Width,
                                           picture->Height, 32, picture->Width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface) {
      if (SDL_Cursor* cursor = SDL_CreateColorCursor(surface, picture->HotX, picture->HotY))
        made.reset(cursor, SDL_FreeCursor);
      SDL_FreeSurface(surface);
    }
  }
  // The arrow where there is no picture or the system refused it.
  SDL_SetCursor(made ? made.get() : SDL_GetDefaultCursor());
  FCursor = std::move(made);
}

}  // namespace kest
