#include "scene/kest_base.h"

#include "scene/kest_base_list.h"

namespace kest {

// A fresh scene shows black until a script paints it.
TKestBase::TKestBase(TKestBaseList& scene, int index) : TKestControl(scene), FIndex(index) {
  StoreName(index == 0 ? "\x01"
                         "BASE0"
                       : "\x01"
                         "BASE1");
  SetColor(0);
}

void TKestBase::AddDirtyRect(const TRect& rect) { FDirty.Add(IntersectRect(rect, BoundsRect())); }

void TKestBase::SetSurfaceSize(int32_t width, int32_t height, int bitCount) {
  SetBounds(0, 0, width, height);
  FSurface.SetSize(width, height, bitCount);
  FKeySurface.SetSize(width, height, bitCount);
  FKeySurface.Fill(static_cast<uint32_t>(FKeySurface.ColorToPixel(kKeyColour)));
  InvalidateAll();
}

void TKestBase::FreeSurfaces() {
  FSurface.SetSize(0, 0, FSurface.BitCount());
  FKeySurface.SetSize(0, 0, FKeySurface.BitCount());
}

void TKestBase::DrawDirty(TCustomDIBX& target) {
  if (!Visible() || target.IsEmpty()) return;
  for (const TRect& rect : FDirty.Rects()) {
    target.ResetClip();
    target.SetClipRect(rect);
    if (Color() >= 0) {
      const TRect clip = ClipRectAbs();
      const TRect area = clip.IsEmpty() ? BoundsRect() : IntersectRect(BoundsRect(), clip);
      target.FillRect(area, static_cast<uint32_t>(target.ColorToPixel(Color())));
    }
    Draw(target);
  }
  target.ResetClip();
}

void TKestBase::ApplyCursor(TKestControl& hover) {
  std::string file = std::get<std::string>(hover.GetProp(PR_CURSOR));
  if (file.empty()) file = Scene().DefaultCursor();
  CurrentCursor = std::move(file);
}

void TKestBase::CloseRightClickMenus() {
  const std::vector<TObjectRef>& closers = Scene().RightClickClosers();
  // The newest first: a menu opened over another closes before it.
  for (auto it = closers.rbegin(); it != closers.rend(); ++it) {
    auto* control = static_cast<TKestControl*>(it->Get());
    if (!control || !control->Visible() || control->BaseScreen() != this || control->IsStopped() ||
        control->InCabinet() || !std::get<bool>(control->GetProp(PR_RCLICKSCRAP)))
      continue;
    const auto mode = std::get<int32_t>(control->GetProp(PR_IGNOREMOUSE));
    if (mode != IM_NONE && mode != IM_LCLICK) continue;
    if (control->CloseByRightClick()) {
      FRightClick = false;
      return;
    }
  }
}

void TKestBase::ProcessMouse() {
  TBaseMouseState& mouse = Scene().Input().Base(FIndex);
  FLeftClick = std::exchange(mouse.LeftClickLatch, false);
  FRightClick = std::exchange(mouse.RightClickLatch, false);
  FWheelDown = std::exchange(mouse.WheelDownLatch, false);
  FWheelUp = std::exchange(mouse.WheelUpLatch, false);
  if (FRightClick) CloseRightClickMenus();

  auto* previous = static_cast<TKestControl*>(Hover.Get());
  if (CaptureFlags != 0 && previous) {
    if ((CaptureFlags & kCaptureLeft) && !mouse.LeftHeld) {
      previous->LeftUp();
      CaptureFlags &= ~kCaptureLeft;
    } else if ((CaptureFlags & kCaptureRight) && !mouse.RightHeld) {
      previous->RightUp();
      CaptureFlags &= ~kCaptureRight;
    }
    if (mouse.MouseMoved) previous->MouseMove();
    previous->Held();
    mouse.MouseMoved = false;
    return;
  }
  const uint8_t modes = FLeftClick ? kHitLeftClick : FRightClick ? kHitRightClick : kHitHover;
  TKestControl* hit = HitTest(mouse.MouseX, mouse.MouseY, modes);
  CaptureFlags = 0;
  TObjectRef h = hit ? hit->Ref() : TObjectRef();
  auto alive = [&h] { return static_cast<TKestControl*>(h.Get()); };
  if (hit) {
    ApplyCursor(*hit);
    if (FLeftClick) {
      hit->LeftDown();
      if (TKestControl* still = alive(); still && !still->IsStopped() && still->TakesFocus()) Scene().SetFocus(still);
    } else if (FRightClick) {
      hit->RightDown();
    } else if (FWheelDown) {
      Scene().PostEvent(*hit, hit->EventReference(PR_ONWHEELDOWN), TArrayString(), PR_ONWHEELDOWN);
    } else if (FWheelUp) {
      Scene().PostEvent(*hit, hit->EventReference(PR_ONWHEELUP), TArrayString(), PR_ONWHEELUP);
    }
  } else {
    CurrentCursor = Scene().DefaultCursor();
  }
  if (previous && previous != alive()) previous->MouseOut(alive());
  if (TKestControl* now = alive(); now && (mouse.MouseMoved || now != previous)) {
    if (now != previous) now->MouseIn(previous);
    if (TKestControl* still = alive()) still->MouseMove();
  }
  Hover = h;
  mouse.MouseMoved = false;
}

}  // namespace kest
