#include "scene/components/kest_map_image.h"

#include <algorithm>
#include <cstring>

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/stream.h"
#include "imaging/custom_dibx.h"
#include "imaging/pexa_collection.h"
#include "imaging/pixel_access.h"
#include "scene/kest_base.h"
#include "scene/kest_base_list.h"

namespace kest {

namespace {

constexpr uint8_t kEnter = 13;
constexpr uint8_t kEscape = 27;
constexpr uint8_t kSpace = 32;
constexpr uint8_t kLeft = 37;
constexpr uint8_t kUp = 38;
constexpr uint8_t kRight = 39;
constexpr uint8_t kDown = 40;

// The frame's own coverage (its mask, else its key) kept within the
// region's runs only, or everywhere but there.
void CutMask(TDIBX& mask, const TDIBX& picture, const TDIBX* frameMask, const std::vector<TMapSpan>& spans,
             bool inside) {
  const int32_t w = picture.Width();
  const int32_t h = picture.Height();
  mask.SetSize(w, h, 8);
  const int bits = picture.StoredBitCount();
  const bool keyed = !frameMask && picture.TransparentPixel >= 0;
  const auto key = uint32_t(picture.TransparentPixel);
  auto shown = [&](uint8_t* m, int32_t y, int32_t from, int32_t to) {
    if (frameMask) {
      std::memcpy(m + from, frameMask->ScanLine(y) + from, size_t(to - from));
    } else if (!keyed) {
      std::memset(m + from, 255, size_t(to - from));
    } else {
      const uint8_t* p = picture.ScanLine(y);
      for (int32_t x = from; x < to; ++x) m[x] = LoadPixel(p, x, bits) == key ? 0 : 255;
    }
  };
  size_t s = 0;
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* m = mask.ScanLine(y);
    if (inside)
      std::memset(m, 0, size_t(w));
    else
      shown(m, y, 0, w);
    while (s < spans.size() && spans[s].Y < y) ++s;
    for (; s < spans.size() && spans[s].Y == y; ++s) {
      const int32_t left = spans[s].Left;
      const int32_t right = std::min(spans[s].Right, w);
      if (left >= right) continue;
      if (inside)
        shown(m, y, left, right);
      else
        std::memset(m + left, 0, size_t(right - left));
    }
  }
}

}  // namespace

TKestMapImage::TKestMapImage(TKestBaseList& scene) : TKestControl(scene) { scene.AddRightClickCloser(*this); }

void TKestMapImage::TLoop::Restart(const TKestImageList& list) {
  Index = 0;
  const TPexaItemFrame* frame = list.Frame(0);
  Remaining = frame ? frame->Delay + 1 : 0;
}

bool TKestMapImage::TLoop::Step(const TKestImageList& list, int32_t elapsed) {
  const int32_t count = list.Count();
  if (count <= 1) return false;
  const int32_t start = Index;
  Remaining -= elapsed;
  while (Remaining < 1) {
    Index = (Index + 1) % count;
    if (Index == 0) Remaining = 0;
    Remaining += list.Frame(Index)->Delay;
  }
  return Index != start;
}

void TKestMapImage::SetSource(std::string& field, TKestImageList& list, const std::string& source) {
  if (field == source) return;
  field = source;
  Invalidate();
  ForgetCuts();
  list.Load(Scene().Pictures(), this, source, false);
  if (&list == &FBase) {
    FBaseLoop.Restart(FBase);
    const TPexaItemFrame* frame = FBase.Frame(0);
    SetBounds(Left(), Top(), frame ? frame->Surface->Width() : 0, frame ? frame->Surface->Height() : 0);
  } else {
    FHoverLoop.Restart(FHover);
  }
  Invalidate();
}

void TKestMapImage::SetMapSource(const std::string& source) {
  if (source == FMapSource) return;
  FMapSource = source;
  SetRegion(-1);
  FRegions.clear();
  ForgetCuts();
  IPictureFiles* files = Scene().Pictures() ? Scene().Pictures()->Files() : nullptr;
  // A map the game does not have leaves the picture without regions.
  if (files && !source.empty() && files->Exists(source)) FRegions = ReadMapFile(files->Read(source));
}

int32_t TKestMapImage::RegionAt(int32_t x, int32_t y) const {
  for (size_t i = 0; i < FRegions.size(); ++i)
    if (FRegions[i].Contains(x, y)) return static_cast<int32_t>(i);
  return -1;
}

void TKestMapImage::SetRegion(int32_t index) {
  if (index == FRegion) return;
  const int32_t old = FRegion;
  auto box = [this](int32_t i) {
    const TRect r = FRegions[size_t(i)].Bounds();
    return TRect{SaturatedAdd(r.Left, AbsLeft()), SaturatedAdd(r.Top, AbsTop()), SaturatedAdd(r.Right, AbsLeft()),
                 SaturatedAdd(r.Bottom, AbsTop())};
  };
  auto args = [this](int32_t i) {
    TArrayString a;
    a.Add(FRegions[size_t(i)].Name);
    a.Add(std::to_string(i));
    return a;
  };
  if (old >= 0 && old < int32_t(FRegions.size())) {
    Scene().PostEvent(*this, std::get<std::string>(GetProp(PR_ONMAPOUT)), args(old), PR_ONMAPOUT);
    AddDirtyRect(box(old));
  }
  FRegion = index;
  FHoverLoop.Restart(FHover);
  if (index >= 0 && index < int32_t(FRegions.size())) {
    AddDirtyRect(box(index));
    Scene().PostEvent(*this, std::get<std::string>(GetProp(PR_ONMAPIN)), args(index), PR_ONMAPIN);
  }
}

void TKestMapImage::Select() {
  const TMapRegion& region = FRegions[size_t(FRegion)];
  Scene().Select(region.Name, FRegion);
  if (!FSuppressed && !Scene().Events().IsWaiting(Ref(), PR_ONSELECT)) {
    TArrayString args;
    args.Add(region.Name);
    args.Add(std::to_string(FRegion));
    Scene().PostEvent(*this, std::get<std::string>(GetProp(PR_ONSELECT)), args, PR_ONSELECT);
  }
  if (FAutoScrap) FClosing = 100;
}

void TKestMapImage::Close() {
  Scene().Select(std::string(), -1);
  FClosing = 100;
}

void TKestMapImage::MouseMove() {
  if (FSuppressed) return;
  if (TKestBase* base = BaseScreen()) {
    const TBaseMouseState& mouse = Scene().Input().Base(base->Index());
    SetRegion(RegionAt(SaturatedSub(mouse.MouseX, AbsLeft()), SaturatedSub(mouse.MouseY, AbsTop())));
  }
  TKestControl::MouseMove();
}

void TKestMapImage::MouseOut(TKestControl* next) {
  SetRegion(-1);
  TKestControl::MouseOut(next);
}

void TKestMapImage::LeftDown() {
  if (FSuppressed) return;
  const auto mode = std::get<int32_t>(GetProp(PR_IGNOREMOUSE));
  if ((mode == IM_NONE || mode == IM_RCLICK) && !FStopped && FRegion >= 0) Select();
  TKestControl::LeftDown();
}

void TKestMapImage::KeyRepeat(const TArrayString& keys) {
  if (FSuppressed) return;
  const TKeyState& k = Scene().Input().Keys();
  const auto n = static_cast<int32_t>(FRegions.size());
  if (n > 0 && (k.RepeatThisFrame[kUp] || k.RepeatThisFrame[kLeft])) {
    SetRegion(FRegion <= 0 ? n - 1 : FRegion - 1);
  } else if (n > 0 && (k.RepeatThisFrame[kDown] || k.RepeatThisFrame[kRight])) {
    SetRegion(FRegion < 0 || FRegion >= n - 1 ? 0 : FRegion + 1);
  } else if ((k.PressedThisFrame[kEnter] || k.PressedThisFrame[kSpace]) && FRegion >= 0) {
    Select();
  } else if (FRClickScrap && k.PressedThisFrame[kEscape]) {
    Close();
  }
  TKestControl::KeyRepeat(keys);
}

bool TKestMapImage::CloseByRightClick() {
  const auto mode = std::get<int32_t>(GetProp(PR_IGNOREMOUSE));
  if (FSuppressed || (mode != IM_NONE && mode != IM_LCLICK)) return false;
  FSuppressed = true;
  Close();
  return true;
}

bool TKestMapImage::Update() {
  if (FClosing == 100) {
    FSuppressed = true;
    FClosing = 101;
    return false;
  }
  if (FClosing == 101) return true;
  if (std::get<bool>(GetProp(PR_ANIPAUSED))) return false;
  const int32_t delta = Clock().FrameDelta;
  if (FBaseLoop.Step(FBase, delta)) Invalidate();
  if (FRegion >= 0 && FHoverLoop.Step(FHover, delta)) {
    const TRect r = FRegions[size_t(FRegion)].Bounds();
    AddDirtyRect({SaturatedAdd(r.Left, AbsLeft()), SaturatedAdd(r.Top, AbsTop()), SaturatedAdd(r.Right, AbsLeft()),
                  SaturatedAdd(r.Bottom, AbsTop())});
  }
  return false;
}

void TKestMapImage::DrawMasked(TCustomDIBX& surface, TKestImageList& list, int32_t index, bool insideRegion,
                               TCut& cut) {
  const TPexaItemFrame* frame = list.Frame(index);
  const TDIBX* picture = list.Shown(index, FBrightness);
  if (!frame || !picture) return;
  const bool has_mask = frame->Mask && frame->Mask->BitCount() == 8 && frame->Mask->Width() == picture->Width() &&
                        frame->Mask->Height() == picture->Height();
  const bool region = FRegion >= 0 && FRegion < int32_t(FRegions.size());
  if (!region) {
    TPexaCollection::DrawPicture(*picture, has_mask ? frame->Mask.get() : nullptr, surface, AbsLeft(), AbsTop(),
                                 picture->Bounds(), FAlpha, false, false);
    return;
  }
  // The cached mask is shared by every control showing the picture: the cut
  // goes into a private copy.
  if (cut.Frame != frame || cut.Index != index || cut.Brightness != FBrightness || cut.Region != FRegion) {
    CutMask(cut.Mask, *picture, has_mask ? frame->Mask.get() : nullptr,
            RegionSpans(picture->Width(), picture->Height()), insideRegion);
    cut.Frame = frame;
    cut.Index = index;
    cut.Brightness = FBrightness;
    cut.Region = FRegion;
  }
  TPexaCollection::DrawPicture(*picture, &cut.Mask, surface, AbsLeft(), AbsTop(), picture->Bounds(), FAlpha, false,
                               false);
}

const std::vector<TMapSpan>& TKestMapImage::RegionSpans(int32_t width, int32_t height) {
  // The base and hover pictures may differ in size: the spans cover both.
  if (FSpansRegion == FRegion && width <= FSpansWidth && height <= FSpansHeight) return FSpans;
  if (FSpansRegion != FRegion) FSpansWidth = FSpansHeight = 0;
  FSpansWidth = std::max(FSpansWidth, width);
  FSpansHeight = std::max(FSpansHeight, height);
  FSpansRegion = FRegion;
  FSpans = FRegions[size_t(FRegion)].Spans(FSpansWidth, FSpansHeight);
  return FSpans;
}

void TKestMapImage::ForgetCuts() {
  FSpansRegion = -1;
  FSpans.clear();
  FBaseCut = TCut();
  FHoverCut = TCut();
}

void TKestMapImage::Paint(TCustomDIBX& surface) {
  if (FAlpha < 1 || FAlpha >= 512) return;
  DrawMasked(surface, FBase, FBaseLoop.Index, false, FBaseCut);
  if (FRegion >= 0) DrawMasked(surface, FHover, FHoverLoop.Index, true, FHoverCut);
}

TPropValue TKestMapImage::GetProp(int32_t id) const {
  switch (id) {
    case PR_SOURCE: return FSource;
    case PR_HOVERSOURCE: return FHoverSource;
    case PR_MAPSOURCE: return FMapSource;
    case PR_ALPHA: return FAlpha;
    case PR_BRIGHTNESS: return FBrightness;
    case PR_AUTOSCRAP: return FAutoScrap;
    case PR_RCLICKSCRAP: return FRClickScrap;
    case PR_PAUSED: return FStopped;
    default: return TKestControl::GetProp(id);
  }
}

void TKestMapImage::SetProp(int32_t id, TPropValue value) {
  switch (id) {
    case PR_SOURCE: SetSource(FSource, FBase, std::get<std::string>(value)); return FBase.RaiseIfDamaged();
    case PR_HOVERSOURCE: SetSource(FHoverSource, FHover, std::get<std::string>(value)); return FHover.RaiseIfDamaged();
    case PR_MAPSOURCE: return SetMapSource(std::get<std::string>(value));
    case PR_ALPHA: FAlpha = std::get<int32_t>(value); return Invalidate();
    case PR_BRIGHTNESS: FBrightness = std::get<int32_t>(value); return Invalidate();
    case PR_AUTOSCRAP: FAutoScrap = std::get<bool>(value); return;
    case PR_RCLICKSCRAP: FRClickScrap = std::get<bool>(value); return;
    case PR_PAUSED: FStopped = std::get<bool>(value); return;
    default: TKestControl::SetProp(id, std::move(value));
  }
}

void TKestMapImage::SaveState(TStream& stream) const {
  TKestControl::SaveState(stream);
  WriteStr(stream, FSource);
  WriteStr(stream, FHoverSource);
  WriteStr(stream, FMapSource);
  WriteInt(stream, FAlpha);
  WriteInt(stream, FBrightness);
  WriteStr(stream, std::get<std::string>(GetProp(PR_ONMAPIN)));
  WriteStr(stream, std::get<std::string>(GetProp(PR_ONMAPOUT)));
  WriteFlag(stream, FAutoScrap);
  WriteFlag(stream, FRClickScrap);
  WriteStr(stream, std::get<std::string>(GetProp(PR_ONIDLE)));
  WriteFlag(stream, FStopped);
  WriteStr(stream, std::get<std::string>(GetProp(PR_ONSELECT)));
  WriteInt(stream, FClosing);
}

void TKestMapImage::LoadState(TStream& stream, int32_t version) {
  TKestControl::LoadState(stream, version);
  const std::string source = ReadStr(stream);
  const std::string hover = ReadStr(stream);
  const std::string map = ReadStr(stream);
  FAlpha = ReadInt(stream);
  FBrightness = ReadInt(stream);
  TKestControl::SetProp(PR_ONMAPIN, ReadStr(stream));
  TKestControl::SetProp(PR_ONMAPOUT, ReadStr(stream));
  FAutoScrap = ReadFlag(stream);
  FRClickScrap = ReadFlag(stream);
  if (version >= kSaveSinceClips) {
    TKestControl::SetProp(PR_ONIDLE, ReadStr(stream));
    FStopped = ReadFlag(stream);
    TKestControl::SetProp(PR_ONSELECT, ReadStr(stream));
  }
  if (version >= kSaveSinceMapClosing) FClosing = ReadInt(stream);
  SetSource(FSource, FBase, source);
  SetSource(FHoverSource, FHover, hover);
  // A map the record names but the game has lost leaves no regions.
  try {
    SetMapSource(map);
  } catch (const EReadError&) {
    FRegions.clear();
  }
}

}  // namespace kest
