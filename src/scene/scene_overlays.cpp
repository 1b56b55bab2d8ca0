#include "scene/scene_overlays.h"

#include <algorithm>
#include <utility>

#include "imaging/custom_dibx.h"

namespace kest {

void TSceneOverlays::Add(ISceneOverlay& overlay) {
  if (std::find(FOverlays.begin(), FOverlays.end(), &overlay) == FOverlays.end()) FOverlays.push_back(&overlay);
}

void TSceneOverlays::Remove(ISceneOverlay& overlay) { std::erase(FOverlays, &overlay); }

void TSceneOverlays::Lift(TCustomDIBX& output) {
  const bool same = FLaidOn == &output && FLaidWidth == output.Width() && FLaidHeight == output.Height() &&
                    FLaidBits == output.BitCount();
  // Overlapping overlays come off in the reverse order they went on.
  for (auto it = FLaid.rbegin(); it != FLaid.rend() && same; ++it) {
    output.ResetClip();
    output.Draw(it->Rect.Left, it->Rect.Top, it->Beneath, it->Beneath.Bounds(), TBlit::None);
    FChanged.push_back(it->Rect);
  }
  FLaid.clear();
  FLaidOn = nullptr;
}

void TSceneOverlays::Lay(TCustomDIBX& output) {
  Lift(output);
  FLaidOn = &output;
  FLaidWidth = output.Width();
  FLaidHeight = output.Height();
  FLaidBits = output.BitCount();
  for (ISceneOverlay* overlay : FOverlays) {
    const TRect rect = IntersectRect(overlay->OverlayRect(), output.Bounds());
    if (rect.IsEmpty()) continue;
    TLaid& laid = FLaid.emplace_back();
    laid.Rect = rect;
    laid.Beneath.SetSize(rect.Right - rect.Left, rect.Bottom - rect.Top, output.BitCount());
    laid.Beneath.Draw(0, 0, output, rect, TBlit::None);
    output.ResetClip();
    output.SetClipRect(rect);
    overlay->PaintOverlay(output, rect);
    output.ResetClip();
    FChanged.push_back(rect);
  }
}

std::vector<TRect> TSceneOverlays::TakeChanged() { return std::exchange(FChanged, {}); }

}  // namespace kest
