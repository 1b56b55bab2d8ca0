#pragma once
// Pictures shown above the whole scene, as a window of their own would be:
// overlay movies. They are laid onto the output after the scene has drawn and
// lifted off again (the pixels beneath put back) before anything draws or
// reads the output, so the scene's pictures, transitions and snapshots never
// hold them.

#include <cstdint>
#include <vector>

#include "imaging/dibx.h"
#include "imaging/rect.h"

namespace kest {

class TCustomDIBX;

class ISceneOverlay {
 public:
  // Where the overlay shows on the output; empty when hidden.
  virtual TRect OverlayRect() = 0;
  // Draws the overlay into `rect` of the output (its rectangle, clipped to
  // the output), with the output clipped to it.
  virtual void PaintOverlay(TCustomDIBX& output, const TRect& rect) = 0;

 protected:
  ~ISceneOverlay() = default;
};

class TSceneOverlays {
 public:
  void Add(ISceneOverlay& overlay);
  void Remove(ISceneOverlay& overlay);
  bool Empty() const { return FOverlays.empty(); }

  // Puts back what the overlays laid last covered, unless the output was
  // made anew since then.
  void Lift(TCustomDIBX& output);
  // Keeps what each overlay covers, then draws it there, in the order they
  // were added.
  void Lay(TCustomDIBX& output);
  // The output areas lifted or laid since the last call.
  std::vector<TRect> TakeChanged();

 private:
  struct TLaid {
    TRect Rect;
    TDIBX Beneath;
  };
  std::vector<ISceneOverlay*> FOverlays;
  std::vector<TLaid> FLaid;
  const TCustomDIBX* FLaidOn = nullptr;
  int32_t FLaidWidth = 0, FLaidHeight = 0, FLaidBits = 0;
  std::vector<TRect> FChanged;
};

}  // namespace kest
