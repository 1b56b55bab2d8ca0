#include "scene/components/kest_tile.h"

#include "common/stream.h"
#include "imaging/custom_dibx.h"
#include "scene/kest_base_list.h"

namespace kest {

void TKestTile::SetSource(const std::string& source) {
  if (source == FSource) return;
  FSource = source;
  FList.Load(Scene().Pictures(), this, source, false);
  ShowFrame(FList.Count() > 0 ? 0 : -1);
}

int32_t TKestTile::AbsLeft() const {
  const int32_t own = Motion() ? TKestControl::AbsLeft() : Left();
  if (!Parent()) return own;
  return SaturatedSub(SaturatedAdd(Parent()->AbsLeft(), own), Parent()->ScrollX());
}

int32_t TKestTile::AbsTop() const {
  const int32_t own = Motion() ? TKestControl::AbsTop() : Top();
  if (!Parent()) return own;
  return SaturatedSub(SaturatedAdd(Parent()->AbsTop(), own), Parent()->ScrollY());
}

void TKestTile::Paint(TCustomDIBX& surface) {
  const TPexaItemFrame* frame = ShownFrame();
  const TDIBX* picture = ShownPicture();
  const int32_t alpha = Alpha();
  if (!frame || !picture || picture->IsEmpty() || alpha < 1 || alpha >= 512 || Width() < 1 || Height() < 1) return;
  const TDIBX* mask = frame->Mask && frame->Mask->BitCount() == 8 && frame->Mask->Width() == picture->Width() &&
                              frame->Mask->Height() == picture->Height()
                          ? frame->Mask.get()
                          : nullptr;
  const TRect bounds = BoundsRect();
  const TBlit mirror = BlitIf(MirroredH(), TBlit::MirrorH) | BlitIf(MirroredV(), TBlit::MirrorV);
  const bool keyed = picture->TransparentPixel != -1;
  // Spacing under half the picture's size still tiles as one pattern.
  const bool spaced = FSpaceX * 2 >= picture->Width() || FSpaceY * 2 >= picture->Height();
  if (!spaced) {
    if (ZoomX() == 256 && ZoomY() == 256 && !keyed && !mask && alpha == 255)
      surface.FillPattern(bounds, *picture, FScrollX, FScrollY, mirror);
    else if (mask)
      surface.FillPatternZoomMask(bounds, *picture, FScrollX, FScrollY, mirror, ZoomX(), ZoomY(), *mask, alpha);
    else
      surface.FillPatternZoom(bounds, *picture, FScrollX, FScrollY, mirror | BlitIf(keyed, TBlit::Transparent), ZoomX(),
                              ZoomY(), alpha);
    return;
  }
  const TRect src = picture->Bounds();
  const TBlit flags = mirror | BlitIf(keyed, TBlit::Transparent);
  if (alpha > 255) {
    if (mask)
      surface.TileDrawAddMask(bounds, *picture, src, *mask, FScrollX, FScrollY, FSpaceX, FSpaceY, alpha - 256);
    else
      surface.TileDrawAdd(bounds, *picture, src, FScrollX, FScrollY, FSpaceX, FSpaceY, alpha - 256);
  } else if (alpha < 255) {
    if (mask)
      surface.TileDrawAlphaMask(bounds, *picture, src, *mask, FScrollX, FScrollY, FSpaceX, FSpaceY, alpha);
    else
      surface.TileDrawAlpha(bounds, *picture, src, flags, FScrollX, FScrollY, FSpaceX, FSpaceY, alpha);
  } else if (mask) {
    surface.TileDrawMask(bounds, *picture, src, *mask, FScrollX, FScrollY, FSpaceX, FSpaceY);
  } else {
    surface.TileDraw(bounds, *picture, src, flags, FScrollX, FScrollY, FSpaceX, FSpaceY);
  }
}

bool TKestTile::Update() {
  StepFrames();
  CheckAfterImages(Index(), true);
  return false;
}

TPropValue TKestTile::GetProp(int32_t id) const {
  switch (id) {
    case PR_SOURCE: return FSource;
    case PR_SCROLLX: return FScrollX;
    case PR_SCROLLY: return FScrollY;
    case PR_DISTANCEX: return FSpaceX;
    case PR_DISTANCEY: return FSpaceY;
    default: return TKestCustomImages::GetProp(id);
  }
}

void TKestTile::SetProp(int32_t id, TPropValue value) {
  auto scroll = [&](int32_t& field) {
    const int32_t v = std::get<int32_t>(value);
    if (field == v) return;
    field = v;
    // The children scroll too.
    Invalidate();
  };
  switch (id) {
    case PR_SOURCE: SetSource(std::get<std::string>(value)); return FList.RaiseIfDamaged();
    case PR_SCROLLX: return scroll(FScrollX);
    case PR_SCROLLY: return scroll(FScrollY);
    case PR_DISTANCEX: return scroll(FSpaceX);
    case PR_DISTANCEY: return scroll(FSpaceY);
    default: TKestCustomImages::SetProp(id, std::move(value));
  }
}

void TKestTile::SaveState(TStream& stream) const {
  TKestCustomImages::SaveState(stream);
  WriteInt(stream, FScrollX);
  WriteInt(stream, FScrollY);
  WriteStr(stream, FSource);
  WriteStr(stream, std::get<std::string>(GetProp(PR_ONIDLE)));
  WriteInt(stream, FSpaceX);
  WriteInt(stream, FSpaceY);
}

void TKestTile::LoadState(TStream& stream, int32_t version) {
  TKestCustomImages::LoadState(stream, version);
  const int32_t index = Index();
  const int32_t remaining = Remaining();
  FScrollX = ReadInt(stream);
  FScrollY = ReadInt(stream);
  const std::string source = ReadStr(stream);
  TKestCustomImages::SetProp(PR_ONIDLE, ReadStr(stream));
  FSpaceX = ReadInt(stream);
  FSpaceY = ReadInt(stream);
  FSource.clear();
  SetSource(source);
  if (index >= 0 && index < FList.Count()) RestoreFrame(index, remaining);
}

}  // namespace kest
