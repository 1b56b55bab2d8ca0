#pragma once
// Drawing that narrows a surface's clip for a while (tiling, the row-offset
// proxy) hands it back exactly as it was, however that drawing ends.

#include "imaging/custom_dibx.h"

namespace kest {

class TClipKeeper {
 public:
  explicit TClipKeeper(TCustomDIBX& surface)
      : FSurface(surface), FActive(surface.ClipActive), FRect(surface.ClipRect) {}
  ~TClipKeeper() {
    FSurface.ClipActive = FActive;
    FSurface.ClipRect = FRect;
  }
  TClipKeeper(const TClipKeeper&) = delete;
  TClipKeeper& operator=(const TClipKeeper&) = delete;

 private:
  TCustomDIBX& FSurface;
  bool FActive;
  TRect FRect;
};

}  // namespace kest
