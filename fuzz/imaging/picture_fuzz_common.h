#pragma once
// What both picture fuzzers do with a picture that decoded: convert it into
// the formats the player draws on and blit it, so that every size and format
// a file can produce also goes through conversion and clipping.

#include "imaging/dibx.h"

namespace kest::fuzz {

inline void ExercisePicture(const TDIBX& picture, const TDIBX* alpha) {
  TDIBX screen(37, 23, 32);
  screen.Draw(-3, -2, picture, picture.Bounds(), TBlit::MirrorV);
  screen.DrawAlpha(5, 4, picture, picture.Bounds(), TBlit::Transparent | TBlit::MirrorH, 100);
  if (alpha && !alpha->IsEmpty()) screen.DrawMask(1, 1, picture, picture.Bounds(), TBlit::None, *alpha);
  screen.StretchDraw({2, 2, 30, 20}, picture, picture.Bounds(), TBlit::None, 255);
  TDIBX low(9, 7, 16);
  low.Draw(0, 0, picture, picture.Bounds(), TBlit::None);
}

}  // namespace kest::fuzz
