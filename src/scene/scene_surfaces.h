#pragma once
// The small pictures the scene draws with: the checker a tool lays over a
// selected control, and the grey squares shown behind transitions.

#include "imaging/dibx.h"

namespace kest {

struct TSceneSurfaces {
  TSceneSurfaces();

  // 2 x 2: black, white at (0,0) and (1,1).
  TDIBX SelRectDIB;
  // 32 x 32 in 16-pixel squares: grey, light grey top-left and bottom-right.
  TDIBX TransBGDIB;
};

}  // namespace kest
