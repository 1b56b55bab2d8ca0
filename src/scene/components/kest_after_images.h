#pragma once
// After-images: fading copies a box or picture leaves behind as it moves.
// A control with a spawn interval and a life leaves a copy each interval in
// which it moved; the copy fades out over its life and then goes.

#include <array>
#include <optional>

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
  // The alpha now, or nothing when the life is over.
  std::optional<int32_t> Step();
};

class TKestBlurBox : public TKestBox {
 public:
  using TKestBox::TKestBox;
  // Made from a box: its place, size, colours and frame, half its alpha.
  void Copy(TKestBox& source);
  bool Update() override;
  bool IsAfterImage() const override { return true; }
  const TKestControl* BlurSource() const override;
  int32_t BlurAlpha() const override { return std::get<int32_t>(GetProp(PR_ALPHA)); }

 private:
  TAfterImageFade FFade;
};

// The picture a copy shows: the source's at the time it was made.
class TKestBlurImage : public TKestCustomImage {
 public:
  using TKestCustomImage::TKestCustomImage;
  void Copy(TKestCustomImage& source, const TPexaItemFrame& frame, const TDIBX& picture);
  bool Update() override;
  bool IsAfterImage() const override { return true; }
  const TKestControl* BlurSource() const override;
  int32_t BlurAlpha() const override { return Alpha(); }

 protected:
  // Nothing shows once the source is gone.
  const TPexaItemFrame* ShownFrame() const override;
  const TDIBX* ShownPicture() override;
  bool SizesToPicture() const override { return false; }

 private:
  TAfterImageFade FFade;
  TPexaItemFrame FFrame;
};

class TKestBlurTile : public TKestTile {
 public:
  using TKestTile::TKestTile;
  void Copy(TKestTile& source, const TPexaItemFrame& frame, const TDIBX& picture);
  bool Update() override;
  bool IsAfterImage() const override { return true; }
  const TKestControl* BlurSource() const override;
  int32_t BlurAlpha() const override { return Alpha(); }

 protected:
  const TPexaItemFrame* ShownFrame() const override;
  const TDIBX* ShownPicture() override;

 private:
  TAfterImageFade FFade;
  TPexaItemFrame FFrame;
};

// Leaves a copy of a box, or of the picture a picture control shows, beside it.
void SpawnAfterImage(TKestBox& source);
void SpawnAfterImage(TKestCustomImage& source, const TPexaItemFrame& frame, const TDIBX& picture, bool tile);

}  // namespace kest
