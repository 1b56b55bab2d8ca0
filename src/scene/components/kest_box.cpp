#include "scene/components/kest_box.h"

#include "common/save_versions.h"
#include "common/stream.h"
#include "imaging/custom_dibx.h"
#include "scene/components/kest_after_images.h"

namespace kest {

namespace {

// Solid colours drawn additively are scaled by the strength first.
uint32_t AddColour(int32_t colour, int32_t strength) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8)
    out |= ((static_cast<uint32_t>(colour) >> shift & 0xFF) * static_cast<uint32_t>(strength) / 256) << shift;
  return out;
}

}  // namespace

TPropValue TKestBox::GetProp(int32_t id) const {
  switch (id) {
    case PR_BORDERWIDTH: return FBorderWidth;
    case PR_BORDERCOLOR: return FBorderColor;
    case PR_ALPHA: return FAlpha;
    default: return TKestControl::GetProp(id);
  }
}

void TKestBox::SetProp(int32_t id, TPropValue value) {
  int32_t* field = id == PR_BORDERWIDTH   ? &FBorderWidth
                   : id == PR_BORDERCOLOR ? &FBorderColor
                   : id == PR_ALPHA       ? &FAlpha
                                          : nullptr;
  if (!field) return TKestControl::SetProp(id, std::move(value));
  const int32_t v = std::get<int32_t>(value);
  if (*field == v) return;
  *field = v;
  Invalidate();
}

// Alpha: 0 and below draw nothing, up to 254 blend, 255 copies, 256 to 511
// add with strength alpha - 256, above that nothing.
void TKestBox::Paint(TCustomDIBX& surface) {
  if (FAlpha <= 0 || FAlpha >= 512 || Width() <= 0 || Height() <= 0) return;
  const TRect bounds = BoundsRect();
  auto pixel = [&](int32_t colour) {
    return static_cast<uint32_t>(surface.ColorToPixel(FAlpha > 255 ? AddColour(colour, FAlpha - 256) : colour));
  };
  auto fill = [&](const TRect& r, int32_t colour) {
    if (FAlpha == 255)
      surface.FillRect(r, pixel(colour));
    else if (FAlpha < 255)
      surface.FillRectAlpha(r, pixel(colour), FAlpha);
    else
      surface.FillRectAdd(r, pixel(colour));
  };
  const int32_t w = FBorderWidth;
  if (w > 0) {
    if (FBorderColor >= 0) {
      if (FAlpha == 255)
        surface.FrameRect(bounds, w, pixel(FBorderColor));
      else if (FAlpha < 255)
        surface.FrameRectAlpha(bounds, w, pixel(FBorderColor), FAlpha);
      else
        surface.FrameRectAdd(bounds, w, pixel(FBorderColor));
    }
    const TRect inner{SaturatedAdd(bounds.Left, w), SaturatedAdd(bounds.Top, w), SaturatedSub(bounds.Right, w),
                      SaturatedSub(bounds.Bottom, w)};
    if (Color() >= 0 && !inner.IsEmpty()) fill(inner, Color());
    return;
  }
  if (Color() >= 0) fill(bounds, Color());
}

bool TKestBox::Update() {
  const int32_t interval = std::get<int32_t>(GetProp(PR_BLURSPAN));
  const int32_t life = std::get<int32_t>(GetProp(PR_BLURDELAY));
  if (FAfterImages.Due(Clock().FrameDelta, interval, life, {Left(), Top(), Width(), Height(), FBorderWidth, 0, 0, 0}))
    SpawnAfterImage(*this);
  return false;
}

void TKestBox::SaveState(TStream& stream) const {
  TKestControl::SaveState(stream);
  WriteInt(stream, FBorderWidth);
  WriteInt(stream, FBorderColor);
  WriteInt(stream, FAlpha);
  WriteStr(stream, std::get<std::string>(GetProp(PR_ONIDLE)));
  WriteStr(stream, std::get<std::string>(GetProp(PR_SOURCE)));
  WriteFlag(stream, std::get<bool>(GetProp(PR_REPEAT)));
  WriteFlag(stream, std::get<bool>(GetProp(PR_AUTOSCRAP)));
  WriteStr(stream, std::get<std::string>(GetProp(PR_ONPLAYEND)));
  WriteFlag(stream, std::get<bool>(GetProp(PR_PAUSED)));
  WriteFlag(stream, std::get<bool>(GetProp(PR_ANIPAUSED)));
  WriteInt(stream, std::get<int32_t>(GetProp(PR_BLURSPAN)));
  WriteInt(stream, std::get<int32_t>(GetProp(PR_BLURDELAY)));
}

void TKestBox::LoadState(TStream& stream, int32_t version) {
  TKestControl::LoadState(stream, version);
  FBorderWidth = ReadInt(stream);
  FBorderColor = ReadInt(stream);
  FAlpha = ReadInt(stream);
  if (version >= kSaveSinceClips) {
    TKestControl::SetProp(PR_ONIDLE, ReadStr(stream));
    TKestControl::SetProp(PR_SOURCE, ReadStr(stream));
    TKestControl::SetProp(PR_REPEAT, ReadFlag(stream));
    TKestControl::SetProp(PR_AUTOSCRAP, ReadFlag(stream));
    TKestControl::SetProp(PR_ONPLAYEND, ReadStr(stream));
    TKestControl::SetProp(PR_PAUSED, ReadFlag(stream));
    TKestControl::SetProp(PR_ANIPAUSED, ReadFlag(stream));
  }
  if (version >= kSaveSinceBlur) {
    TKestControl::SetProp(PR_BLURSPAN, ReadInt(stream));
    TKestControl::SetProp(PR_BLURDELAY, ReadInt(stream));
  }
}

}  // namespace kest
