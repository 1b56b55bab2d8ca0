#include "platform/sdl/sdl_display.h"

#include <SDL.h>

namespace kest {
namespace {

// The bits a pixel of this format takes in memory, as the system reports
// them: 5-5-5 and 5-6-5 are 16, 24-bit colour in 32-bit pixels is 32.
int32_t StorageBits(Uint32 format) {
  const int bytes = SDL_BYTESPERPIXEL(format);
  if (bytes == 2) return 16;
  if (bytes == 3) return 24;
  if (bytes >= 4) return 32;
  return SDL_BITSPERPIXEL(format);
}

}  // namespace

std::vector<TDisplayMode> TSdlDisplay::Modes() {
  std::vector<TDisplayMode> modes;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
    modes.push_back({m.w, m.h, StorageBits(m.format), m.refresh_rate});
  }
  return modes;
}

bool TSdlDisplay::DesktopFormat(TDisplayFormat& format) {
  SDL_DisplayMode m;
  if (SDL_GetDesktopDisplayMode(0, &m) != 0) return false;
  int bpp = 0;
  Uint32 r = 0, g = 0, b = 0, a = 0;
  if (!SDL_PixelFormatEnumToMasks(m.format, &bpp, &r, &g, &b, &a)) return false;
  format.Bits = StorageBits(m.format);
  format.RedMask = r;
  format.GreenMask = g;
  format.BlueMask = b;
  return true;
}

}  // namespace kest
