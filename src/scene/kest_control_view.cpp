// Where a control lies and how it reaches the screen: its absolute position,
// its bounds and clip, invalidation into the base screen's dirty list,
// drawing under nested clips, and hit tests.
#include <climits>
#include <cmath>

#include "imaging/custom_dibx.h"
#include "scene/kest_base.h"
#include "scene/kest_base_list.h"
#include "scene/kest_control.h"

namespace kest {

namespace {

// Positions from damaged records may be anything: sums stop at the int32 range.
int32_t Clamped(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v); }

// One axis of the absolute position; the fields are those of x or of y.
struct TAxis {
  int32_t Pos;
  int32_t Anchor;
  int32_t Size;
  int32_t Zoom;
  bool Mirrored;
  int32_t Plus;
  int32_t MotionPos;
};

// A pixel-locked child sits in the pixels of its parent's picture, which the
// parent shows zoomed: positions map through the picture's scale.
int32_t LockedPosition(const TAxis& a, int32_t imageSize, int32_t parentSize, int32_t ownImageSize) {
  const double scale = std::nearbyint(static_cast<double>(imageSize) / parentSize * 65536.0);
  const int64_t d = std::max<int64_t>(1, static_cast<int64_t>(scale));
  const int64_t n =
      a.Mirrored ? (int64_t{imageSize} + a.Anchor - a.Pos - ownImageSize) * 65536 : (int64_t{a.Pos} - a.Anchor) * 65536;
  // Truncating division: a remainder above one half rounds up; a negative
  // remainder never does, so left of the parent the position rounds toward it.
  const int64_t e = n / d;
  return Clamped(e + (n % d > 0x7FFF ? 1 : 0));
}

int32_t FreePosition(const TAxis& a, bool posZoomed, bool hasMotion) {
  int64_t anchor = a.Zoom == 256 ? a.Anchor : int64_t{a.Anchor} * a.Zoom / 256;
  if (a.Mirrored) anchor = int64_t{a.Size} - anchor - 1;
  int64_t p = posZoomed ? int64_t{a.Pos} * a.Zoom / 256 : a.Pos;
  if (hasMotion) p = a.MotionPos;
  return Clamped(p - anchor + a.Plus);
}

}  // namespace

int32_t TKestControl::AbsLeft() const {
  const TAxis axis{FLeft, FAnchorX, FWidth, ZoomX(), MirroredH(), FPlusX, FMotionX};
  if (!FParent) return FreePosition(axis, FPosZoomed, FMotion != nullptr);
  const TCustomDIBX* own = ImageSurface();
  const TCustomDIBX* parentImage = FParent->ImageSurface();
  // A parent without width would scale by infinity: such a child is placed freely.
  if (FPosZoomed && !FParent->IsBase() && parentImage && own && !FMotion && FParent->ZoomX() == ZoomX() &&
      FParent->FWidth > 0)
    return Clamped(int64_t{LockedPosition(axis, parentImage->Width(), FParent->FWidth, own->Width())} +
                   FParent->AbsLeft() + FPlusX - FParent->ScrollX());
  return Clamped(int64_t{FreePosition(axis, FPosZoomed, FMotion != nullptr)} + FParent->AbsLeft() - FParent->ScrollX());
}

int32_t TKestControl::AbsTop() const {
  const TAxis axis{FTop, FAnchorY, FHeight, ZoomY(), MirroredV(), FPlusY, FMotionY};
  if (!FParent) return FreePosition(axis, FPosZoomed, FMotion != nullptr);
  const TCustomDIBX* own = ImageSurface();
  const TCustomDIBX* parentImage = FParent->ImageSurface();
  if (FPosZoomed && !FParent->IsBase() && parentImage && own && !FMotion && FParent->ZoomY() == ZoomY() &&
      FParent->FHeight > 0)
    return Clamped(int64_t{LockedPosition(axis, parentImage->Height(), FParent->FHeight, own->Height())} +
                   FParent->AbsTop() + FPlusY - FParent->ScrollY());
  return Clamped(int64_t{FreePosition(axis, FPosZoomed, FMotion != nullptr)} + FParent->AbsTop() - FParent->ScrollY());
}

TRect TKestControl::BoundsRect() const { return MakeRect(AbsLeft(), AbsTop(), FWidth, FHeight); }

TRect TKestControl::ClipRectAbs() const {
  if (FClipWidth < 1 || FClipHeight < 1) return {};
  return MakeRect(SaturatedAdd(AbsLeft(), FClipLeft), SaturatedAdd(AbsTop(), FClipTop), FClipWidth, FClipHeight);
}

void TKestControl::Invalidate() {
  if (!Visible() || !BaseScreen()) return;
  TRect r = BoundsRect();
  if (FParent) {
    r = IntersectRect(r, FParent->BoundsRect());
    if (r.IsEmpty()) return;
  }
  const TRect clip = ClipRectAbs();
  if (!clip.IsEmpty()) {
    r = IntersectRect(r, clip);
    if (r.IsEmpty()) return;
  }
  if (FParent)
    FParent->AddDirtyRect(r);
  else
    AddDirtyRect(r);
}

void TKestControl::AddDirtyRect(const TRect& rect) {
  if (FParent) FParent->AddDirtyRect(rect);
}

void TKestControl::ChangeGeometry(int32_t& field, int32_t value) {
  if (field == value) return;
  Invalidate();
  field = value;
  Invalidate();
}

void TKestControl::NotifyPosition() {
  PositionChanged();
  for (TKestControl* child : FChildren) child->NotifyPosition();
}

void TKestControl::NotifyClip() {
  ClipChanged();
  for (TKestControl* child : FChildren) child->NotifyClip();
}

void TKestControl::SetColor(int32_t color) {
  if (FColor == color) return;
  FColor = color;
  Invalidate();
}

void TKestControl::SetVisible(bool visible) {
  if (FVisible == visible) return;
  if (!visible) Invalidate();
  FVisible = visible;
  if (visible) Invalidate();
  Scene().VisibilityChanged(*this);
}

void TKestControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  Invalidate();
  if (left != FLeft) FMotionX = 0;
  if (top != FTop) FMotionY = 0;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  Invalidate();
  NotifyPosition();
}

void TKestControl::SetSelectionMark(bool on) {
  if (FSelectionMark == on) return;
  FSelectionMark = on;
  Invalidate();
}

void TKestControl::Draw(TCustomDIBX& surface) {
  Paint(surface);
  const bool clipped = surface.ClipActive;
  const TRect outer = surface.ClipRect;
  const TRect r = IntersectRect(BoundsRect(), clipped ? outer : surface.Bounds());
  if (!r.IsEmpty()) DrawChildren(surface, r);
  surface.ResetClip();
  if (clipped) surface.SetClipRect(outer);
  // Half-blended, so the control stays visible under its mark.
  if (FSelectionMark && Kind() != LT_VIDEO)
    surface.FillPatternZoom(BoundsRect(), Scene().Surfaces().SelRectDIB, 0, 0, TBlit::None, 256, 256, 128);
}

void TKestControl::DrawChildren(TCustomDIBX& surface, const TRect& r) {
  for (TKestControl* child : FChildren) {
    if (child->Name().empty() || !child->Visible()) continue;
    const TRect rc = child->ClipRectAbs();
    const TRect area = rc.IsEmpty() ? r : IntersectRect(r, rc);
    if (area.IsEmpty()) continue;
    surface.ResetClip();
    surface.SetClipRect(area);
    child->Draw(surface);
  }
}

bool TKestControl::HitsPoint(int32_t x, int32_t y) {
  const TRect b = BoundsRect();
  return x >= b.Left && y >= b.Top && x < b.Right && y < b.Bottom;
}

TKestControl* TKestControl::HitTest(int32_t x, int32_t y, uint8_t modes) {
  if (!Visible() || !HitsPoint(x, y)) return nullptr;
  TKestControl* hit = FIgnoreMouse < 8 && ((modes >> FIgnoreMouse) & 1) && HitsSelf(x, y) ? this : nullptr;
  for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it) {
    if ((*it)->Name().empty()) continue;
    if (TKestControl* child = (*it)->HitTest(x, y, modes)) return child;
  }
  return hit;
}

}  // namespace kest
