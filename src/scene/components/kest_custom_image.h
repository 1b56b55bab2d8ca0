#pragma once
// The base of the picture kinds: how a frame is drawn (by alpha, zoom,
// rotation and mirroring), how the control sizes itself to it, and the hit
// test by the frame's mask.

#include "imaging/pexa_collection.h"
#include "scene/components/after_image_spawner.h"
#include "scene/kest_control.h"

namespace kest {

class TKestCustomImage : public TKestControl {
 public:
  using TKestControl::TKestControl;

  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  int32_t ZoomX() const override { return FZoomX > 0 ? FZoomX : 256; }
  int32_t ZoomY() const override { return FZoomY > 0 ? FZoomY : 256; }
  bool MirroredH() const override { return FMirrorH; }
  bool MirroredV() const override { return FMirrorV; }
  TRect BoundsRect() const override;
  const TCustomDIBX* ImageSurface() const override;
  void Paint(TCustomDIBX& surface) override;
  bool HitsSelf(int32_t x, int32_t y) override;
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

  int32_t Alpha() const { return FAlpha; }
  int32_t Angle() const { return FAngle & 0xFF; }

 protected:
  // The cache frame being shown and the picture drawn for it (the frame's
  // own, or a brightness-adjusted copy); null when there is none.
  virtual const TPexaItemFrame* ShownFrame() const { return nullptr; }
  virtual const TDIBX* ShownPicture() { return nullptr; }
  // The shown picture held for an after-image (kinds that leave them).
  virtual std::shared_ptr<TDIBX> SharedPicture() { return nullptr; }
  // Sizes the control to the picture times the zoom (an axis whose zoom the
  // script replaced by an explicit size keeps it); tiles keep their size.
  void FitSize();
  virtual bool SizesToPicture() const { return true; }
  // Leaves an after-image when one is due (called by the update of kinds
  // that show frames).
  void CheckAfterImages(int32_t index, bool tile);

 private:
  // The picture's pixel under a point of the scene, or false outside it.
  bool ImagePoint(int32_t x, int32_t y, int32_t& px, int32_t& py) const;

  int32_t FAlpha = 255;
  int32_t FZoomX = 256;
  int32_t FZoomY = 256;
  int32_t FAngle = 0;
  bool FMirrorH = false;
  bool FMirrorV = false;
  bool FCaptureMask = false;
  int32_t FBlurSpan = 0;
  int32_t FBlurDelay = 0;
  TAfterImageSpawner FAfterImages;
};

}  // namespace kest
