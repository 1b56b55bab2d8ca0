#include "scene/components/kest_custom_image.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "common/save_versions.h"
#include "common/stream.h"
#include "imaging/custom_dibx.h"

namespace kest {

namespace {

bool Masked(const TPexaItemFrame* frame, const TDIBX& picture) {
  return frame && frame->Mask && frame->Mask->BitCount() == 8 && frame->Mask->Width() == picture.Width() &&
         frame->Mask->Height() == picture.Height();
}

// A coordinate worked out in doubles, kept to the int32 range.
int32_t ToCoord(double v) { return static_cast<int32_t>(std::clamp(std::floor(v), -2147483648.0, 2147483647.0)); }

// The anchor as it falls on the zoomed, mirrored picture.
int32_t PlacedAnchor(int32_t anchor, int32_t zoom, int32_t size, bool mirrored) {
  int64_t a = zoom == 256 ? anchor : int64_t{anchor} * zoom / 256;
  if (mirrored) a = int64_t{size} - a - 1;
  return static_cast<int32_t>(std::clamp<int64_t>(a, INT32_MIN, INT32_MAX));
}

}  // namespace

TPropValue TKestCustomImage::GetProp(int32_t id) const {
  const TPropertyInfo& info = *PropertyInfo(id);
  if (!Keeps(info)) return TKestControl::GetProp(id);
  switch (id) {
    case PR_ALPHA: return FAlpha;
    case PR_ZOOMX: return FZoomX;
    case PR_ZOOMY: return FZoomY;
    case PR_ANGLE: return FAngle;
    case PR_FLIPH: return FMirrorH;
    case PR_FLIPV: return FMirrorV;
    case PR_CAPTUREMASK: return FCaptureMask;
    case PR_BLURSPAN: return FBlurSpan;
    case PR_BLURDELAY: return FBlurDelay;
    case PR_ORIGWIDTH: return const_cast<TKestCustomImage*>(this)->ShownPicture() ? ImageSurface()->Width() : 0;
    case PR_ORIGHEIGHT: return const_cast<TKestCustomImage*>(this)->ShownPicture() ? ImageSurface()->Height() : 0;
    default: return TKestControl::GetProp(id);
  }
}

void TKestCustomImage::SetProp(int32_t id, TPropValue value) {
  const TPropertyInfo& info = *PropertyInfo(id);
  if (!Keeps(info) || info.ReadOnly) return TKestControl::SetProp(id, std::move(value));
  auto change = [&](auto& field, auto v) {
    if (field == v) return;
    Invalidate();
    field = v;
    Invalidate();
  };
  switch (id) {
    case PR_ALPHA: return change(FAlpha, std::get<int32_t>(value));
    case PR_ZOOMX: change(FZoomX, std::max(1, std::get<int32_t>(value))); return FitSize();
    case PR_ZOOMY: change(FZoomY, std::max(1, std::get<int32_t>(value))); return FitSize();
    case PR_ANGLE: return change(FAngle, std::get<int32_t>(value));
    case PR_FLIPH: return change(FMirrorH, std::get<bool>(value));
    case PR_FLIPV: return change(FMirrorV, std::get<bool>(value));
    case PR_CAPTUREMASK: FCaptureMask = std::get<bool>(value); return;
    case PR_BLURSPAN: FBlurSpan = std::get<int32_t>(value); return;
    case PR_BLURDELAY: FBlurDelay = std::get<int32_t>(value); return;
    case PR_ORIGWIDTH:
    case PR_ORIGHEIGHT: return;
    // An explicit size replaces the zoom on that axis.
    case PR_WIDTH: FZoomX = 0; break;
    case PR_HEIGHT: FZoomY = 0; break;
    default: break;
  }
  TKestControl::SetProp(id, std::move(value));
}

void TKestCustomImage::FitSize() {
  if (Motion() || !SizesToPicture()) return;
  const TDIBX* picture = ShownPicture();
  const int32_t w = picture ? picture->Width() : 0;
  const int32_t h = picture ? picture->Height() : 0;
  SetBounds(Left(), Top(), FZoomX > 0 ? static_cast<int32_t>(int64_t{w} * FZoomX / 256) : Width(),
            FZoomY > 0 ? static_cast<int32_t>(int64_t{h} * FZoomY / 256) : Height());
}

const TCustomDIBX* TKestCustomImage::ImageSurface() const {
  return const_cast<TKestCustomImage*>(this)->ShownPicture();
}

TRect TKestCustomImage::BoundsRect() const {
  const TCustomDIBX* picture = ImageSurface();
  if (!Angle() || !picture) return TKestControl::BoundsRect();
  // The box the rotated, zoomed picture covers around its pivot.
  const double sx = ZoomX() / 256.0, sy = ZoomY() / 256.0;
  const double theta = Angle() * 2.0 * std::numbers::pi / 256.0;
  const double c = std::cos(theta), s = std::sin(theta);
  const int32_t px = FMirrorH ? SaturatedSub(picture->Width() - 1, AnchorX()) : AnchorX();
  const int32_t py = FMirrorV ? SaturatedSub(picture->Height() - 1, AnchorY()) : AnchorY();
  const double x = double(AbsLeft()) + PlacedAnchor(AnchorX(), ZoomX(), Width(), FMirrorH);
  const double y = double(AbsTop()) + PlacedAnchor(AnchorY(), ZoomY(), Height(), FMirrorV);
  const double w = picture->Width() * sx, h = picture->Height() * sy, cx = px * sx, cy = py * sy;
  double min_x = 1e300, max_x = -1e300, min_y = 1e300, max_y = -1e300;
  for (double u : {-cx, w - cx - 1})
    for (double v : {-cy, h - cy - 1}) {
      min_x = std::min(min_x, x + u * c - v * s);
      max_x = std::max(max_x, x + u * c - v * s);
      min_y = std::min(min_y, y + u * s + v * c);
      max_y = std::max(max_y, y + u * s + v * c);
    }
  return {ToCoord(min_x), ToCoord(min_y), SaturatedAdd(ToCoord(max_x), 1), SaturatedAdd(ToCoord(max_y), 1)};
}

void TKestCustomImage::Paint(TCustomDIBX& surface) {
  const TPexaItemFrame* frame = ShownFrame();
  const TDIBX* picture = ShownPicture();
  if (!frame || !picture || FAlpha < 1 || FAlpha >= 512 || Width() < 1 || Height() < 1) return;
  const TDIBX* mask = Masked(frame, *picture) ? frame->Mask.get() : nullptr;
  const TBlit mirror = BlitIf(FMirrorH, TBlit::MirrorH) | BlitIf(FMirrorV, TBlit::MirrorV);
  const TBlit keyed = mirror | BlitIf(picture->TransparentPixel != -1, TBlit::Transparent);
  if (Angle()) {
    const int32_t px = FMirrorH ? SaturatedSub(picture->Width() - 1, AnchorX()) : AnchorX();
    const int32_t py = FMirrorV ? SaturatedSub(picture->Height() - 1, AnchorY()) : AnchorY();
    const int32_t x = SaturatedAdd(AbsLeft(), PlacedAnchor(AnchorX(), ZoomX(), Width(), FMirrorH));
    const int32_t y = SaturatedAdd(AbsTop(), PlacedAnchor(AnchorY(), ZoomY(), Height(), FMirrorV));
    if (mask)
      surface.DrawRotateMask(x, y, *picture, picture->Bounds(), px, py, Angle(), ZoomX(), ZoomY(), mirror, *mask,
                             FAlpha);
    else
      surface.DrawRotate(x, y, *picture, picture->Bounds(), px, py, Angle(), ZoomX(), ZoomY(), keyed, FAlpha);
    return;
  }
  const TRect bounds = BoundsRect();
  if (Width() == picture->Width() && Height() == picture->Height()) {
    if (picture->DrawRects.empty()) {
      TPexaCollection::DrawPicture(*picture, mask, surface, bounds.Left, bounds.Top, picture->Bounds(), FAlpha,
                                   FMirrorH, FMirrorV);
      return;
    }
    // Pictures that say where they have pixels are drawn only there.
    for (const TRect& r : picture->DrawRects) {
      const int64_t x = FMirrorH ? int64_t{bounds.Left} + picture->Width() - r.Right : int64_t{bounds.Left} + r.Left;
      const int64_t y = FMirrorV ? int64_t{bounds.Top} + picture->Height() - r.Bottom : int64_t{bounds.Top} + r.Top;
      if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) continue;
      TPexaCollection::DrawPicture(*picture, mask, surface, int32_t(x), int32_t(y), r, FAlpha, FMirrorH, FMirrorV);
    }
    return;
  }
  if (FAlpha > 255) {
    if (mask)
      surface.StretchDrawAddMask(bounds, *picture, picture->Bounds(), mirror, *mask, FAlpha - 256);
    else
      surface.StretchDrawAdd(bounds, *picture, picture->Bounds(), keyed, FAlpha - 256);
  } else if (mask) {
    surface.StretchDrawMask(bounds, *picture, picture->Bounds(), mirror, *mask, FAlpha);
  } else {
    surface.StretchDraw(bounds, *picture, picture->Bounds(), keyed, FAlpha);
  }
}

bool TKestCustomImage::ImagePoint(int32_t x, int32_t y, int32_t& px, int32_t& py) const {
  const TCustomDIBX* picture = ImageSurface();
  if (!picture) return false;
  double u = double(x) - AbsLeft();
  double v = double(y) - AbsTop();
  if (Angle()) {
    // Back through the rotation around the pivot.
    const double theta = Angle() * 2.0 * std::numbers::pi / 256.0;
    const double dx = x - (double(AbsLeft()) + PlacedAnchor(AnchorX(), ZoomX(), Width(), FMirrorH));
    const double dy = y - (double(AbsTop()) + PlacedAnchor(AnchorY(), ZoomY(), Height(), FMirrorV));
    u = dx * std::cos(theta) + dy * std::sin(theta) + PlacedAnchor(AnchorX(), ZoomX(), Width(), FMirrorH);
    v = -dx * std::sin(theta) + dy * std::cos(theta) + PlacedAnchor(AnchorY(), ZoomY(), Height(), FMirrorV);
    if (u < 0 || v < 0 || u >= Width() || v >= Height()) return false;
  }
  px = ToCoord(u * picture->Width() / std::max(1, Width()));
  py = ToCoord(v * picture->Height() / std::max(1, Height()));
  if (px < 0 || py < 0 || px >= picture->Width() || py >= picture->Height()) return false;
  if (FMirrorH) px = picture->Width() - 1 - px;
  if (FMirrorV) py = picture->Height() - 1 - py;
  return px >= 0 && py >= 0 && px < picture->Width() && py < picture->Height();
}

bool TKestCustomImage::HitsSelf(int32_t x, int32_t y) {
  int32_t px = 0;
  int32_t py = 0;
  if (Angle() && !ImagePoint(x, y, px, py)) return false;
  if (!FCaptureMask) return true;
  const TPexaItemFrame* frame = ShownFrame();
  const TDIBX* picture = ShownPicture();
  if (!picture || !Masked(frame, *picture)) return true;
  if (!ImagePoint(x, y, px, py)) return false;
  return frame->Mask->ScanLine(py)[px] > 127;
}

void TKestCustomImage::SaveState(TStream& stream) const {
  TKestControl::SaveState(stream);
  WriteInt(stream, FAlpha);
  WriteInt(stream, FZoomX);
  WriteInt(stream, FAngle);
  WriteFlag(stream, FMirrorH);
  WriteFlag(stream, FMirrorV);
  WriteFlag(stream, FCaptureMask);
  WriteInt(stream, FZoomY);
  WriteInt(stream, FBlurSpan);
  WriteInt(stream, FBlurDelay);
}

void TKestCustomImage::LoadState(TStream& stream, int32_t version) {
  TKestControl::LoadState(stream, version);
  FAlpha = ReadInt(stream);
  FZoomX = ReadInt(stream);
  FAngle = ReadInt(stream);
  FMirrorH = ReadFlag(stream);
  FMirrorV = ReadFlag(stream);
  FCaptureMask = ReadFlag(stream);
  if (version >= kSaveSinceClips) FZoomY = ReadInt(stream);
  if (version >= kSaveSinceBlur) {
    FBlurSpan = ReadInt(stream);
    FBlurDelay = ReadInt(stream);
  }
}

}  // namespace kest
