#pragma once
// After-images: fading copies a box or picture leaves behind as it moves.
// A control with a spawn interval and a life leaves a copy each interval in
// which it moved; the copy fades out over its life and then goes.

#include <array>

#include "scene/components/after_image_spawner.h"
#include "scene/components/kest_box.h"
#include "scene/components/kest_tile.h"

namespace kest {

// How a copy fades: from its start alpha down over its life.
struct TAfterImageFade {
  TObjectRef Source;
  int32_t Start = 0;
  int32_t Life = 1;
  int32_t Elapsed = 0;

  // One update of the copy: its alpha moves on; true when its life is over.
  bool Step(TKestControl& copy);
  // The control the copy was made from, while it exists.
  const TKestControl* SourceControl() const;
};

class TKestBlurBox : public TKestBox {
 public:
  using TKestBox::TKestBox;
  // Made from a box: its place, size, colours and frame, half its alpha.
  void Copy(TKestBox& source);
  bool Update() override { return FFade.Step(*this); }
  bool IsAfterImage() const override { return true; }
  const TKestControl* BlurSource() const override { return FFade.SourceControl(); }
  int32_t BlurAlpha() const override { return std::get<int32_t>(GetProp(PR_ALPHA)); }

 private:
  TAfterImageFade FFade;
};

// A picture kind's copy: it shows the picture its source showed when it was
// made, for as long as the source exists.
template <class TBase>
class TPictureAfterImage : public TBase {
 public:
  using TBase::TBase;
  bool Update() override { return FFade.Step(*this); }
  bool IsAfterImage() const override { return true; }
  const TKestControl* BlurSource() const override { return FFade.SourceControl(); }
  int32_t BlurAlpha() const override { return this->Alpha(); }

 protected:
  // The picture the source shows, shared, and where it came from; its alpha
  // starts at the source's with the low byte halved (additive drawing stays
  // additive).
  void Start(TKestCustomImage& source, const TPexaItemFrame& frame, std::shared_ptr<TDIBX> picture);
  const TPexaItemFrame* ShownFrame() const override { return FFade.Source.Get() ? &FFrame : nullptr; }
  const TDIBX* ShownPicture() override { return FFade.Source.Get() ? FFrame.Surface.get() : nullptr; }

 private:
  TAfterImageFade FFade;
  TPexaItemFrame FFrame;
};

class TKestBlurImage : public TPictureAfterImage<TKestCustomImage> {
 public:
  using TPictureAfterImage::TPictureAfterImage;
  void Copy(TKestCustomImage& source, const TPexaItemFrame& frame, std::shared_ptr<TDIBX> picture);

 protected:
  bool SizesToPicture() const override { return false; }
};

class TKestBlurTile : public TPictureAfterImage<TKestTile> {
 public:
  using TPictureAfterImage::TPictureAfterImage;
  void Copy(TKestTile& source, const TPexaItemFrame& frame, std::shared_ptr<TDIBX> picture);
};

// Leaves a copy of a box, or of the picture a picture control shows, beside it.
void SpawnAfterImage(TKestBox& source);
void SpawnAfterImage(TKestCustomImage& source, const TPexaItemFrame& frame, std::shared_ptr<TDIBX> picture, bool tile);

}  // namespace kest
