#include "scene/components/kest_after_images.h"

#include <cmath>

#include "scene/kest_base_list.h"

namespace kest {

namespace {

// The copy's name: the source's followed by the first free number.
std::string CopyName(TKestBaseList& scene, const std::string& source) {
  for (int64_t n = 0;; ++n) {
    std::string name = source + std::to_string(n);
    if (!scene.NameTaken(name)) return name;
  }
}

// Where a copy goes: beside its source, just beneath it.
void PlaceCopy(TKestControl& copy, TKestControl& source) {
  copy.SetName(CopyName(copy.Scene(), source.Name()));
  copy.SetParent(source.Parent());
  copy.SetPriority(source.Priority() - 1);
  for (int32_t id : {PR_LEFT, PR_TOP, PR_OFFSETX, PR_OFFSETY, PR_CLIPLEFT, PR_CLIPTOP, PR_CLIPWIDTH, PR_CLIPHEIGHT})
    copy.SetProp(id, source.GetProp(id));
  copy.SetBounds(source.Left(), source.Top(), source.Width(), source.Height());
}

}  // namespace

bool TAfterImageSpawner::Due(int32_t elapsed, int32_t interval, int32_t life, const std::array<int32_t, 8>& placement) {
  if (interval <= 0 || life <= 0) return false;
  FElapsed += elapsed;
  if (FElapsed < interval) return false;
  FElapsed = 0;
  const bool moved = !FLast || *FLast != placement;
  FLast = placement;
  return moved;
}

bool TAfterImageFade::Step(TKestControl& copy) {
  Elapsed += copy.Clock().FrameDelta;
  if (Elapsed >= Life) return true;
  copy.SetProp(PR_ALPHA, Start - static_cast<int32_t>(std::nearbyint(double(Elapsed) / Life * (Start % 256))));
  return false;
}

const TKestControl* TAfterImageFade::SourceControl() const {
  TKestObject* source = Source.Get();
  return source ? source->AsControl() : nullptr;
}

void TKestBlurBox::Copy(TKestBox& source) {
  PlaceCopy(*this, source);
  for (int32_t id : {PR_COLOR, PR_BORDERWIDTH, PR_BORDERCOLOR}) SetProp(id, source.GetProp(id));
  FFade.Source = source.Ref();
  FFade.Start = std::get<int32_t>(source.GetProp(PR_ALPHA)) / 2;
  FFade.Life = std::get<int32_t>(source.GetProp(PR_BLURDELAY));
  SetProp(PR_ALPHA, FFade.Start);
}

template <class TBase>
void TPictureAfterImage<TBase>::Start(TKestCustomImage& source, const TPexaItemFrame& frame,
                                      std::shared_ptr<TDIBX> picture) {
  FFrame = frame;
  FFrame.Surface = std::move(picture);
  PlaceCopy(*this, source);
  FFade.Source = source.Ref();
  FFade.Start = source.Alpha() / 256 * 256 + source.Alpha() % 256 / 2;
  FFade.Life = std::get<int32_t>(source.GetProp(PR_BLURDELAY));
  this->SetProp(PR_ALPHA, FFade.Start);
}

template class TPictureAfterImage<TKestCustomImage>;
template class TPictureAfterImage<TKestTile>;

void TKestBlurImage::Copy(TKestCustomImage& source, const TPexaItemFrame& frame, std::shared_ptr<TDIBX> picture) {
  Start(source, frame, std::move(picture));
  for (int32_t id : {PR_ANGLE, PR_ZOOMX, PR_ZOOMY, PR_FLIPH, PR_FLIPV}) SetProp(id, source.GetProp(id));
  SetBounds(source.Left(), source.Top(), source.Width(), source.Height());
}

void TKestBlurTile::Copy(TKestTile& source, const TPexaItemFrame& frame, std::shared_ptr<TDIBX> picture) {
  Start(source, frame, std::move(picture));
  for (int32_t id : {PR_ZOOMX, PR_ZOOMY, PR_FLIPH, PR_FLIPV, PR_SCROLLX, PR_SCROLLY, PR_DISTANCEX, PR_DISTANCEY})
    SetProp(id, source.GetProp(id));
}

// --- spawning

void SpawnAfterImage(TKestBox& source) { source.Scene().Create<TKestBlurBox>().Copy(source); }

void SpawnAfterImage(TKestCustomImage& source, const TPexaItemFrame& frame, std::shared_ptr<TDIBX> picture, bool tile) {
  if (tile)
    source.Scene().Create<TKestBlurTile>().Copy(static_cast<TKestTile&>(source), frame, std::move(picture));
  else
    source.Scene().Create<TKestBlurImage>().Copy(source, frame, std::move(picture));
}

void TKestCustomImage::CheckAfterImages(int32_t index, bool tile) {
  const std::array<int32_t, 8> placement{Left(), Top(), index, FAngle, FZoomX, FZoomY, ScrollX(), ScrollY()};
  if (!FAfterImages.Due(Clock().FrameDelta, FBlurSpan, FBlurDelay, placement)) return;
  const TPexaItemFrame* frame = ShownFrame();
  std::shared_ptr<TDIBX> picture = SharedPicture();
  if (frame && picture) SpawnAfterImage(*this, *frame, std::move(picture), tile);
}

}  // namespace kest
