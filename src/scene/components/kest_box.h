#pragma once
// A rectangle, filled and framed, or an image source.
#include "scene/components/after_image_spawner.h"
#include "scene/kest_control.h"

namespace kest {

class TKestBox : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_BOX; }
  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  void Paint(TCustomDIBX& surface) override;
  bool Update() override;
  int32_t BorderWidth() const { return FBorderWidth; }
  int32_t BorderColor() const { return FBorderColor; }
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

 private:
  int32_t FBorderWidth = 0;
  int32_t FBorderColor = -1;
  int32_t FAlpha = 255;
  TAfterImageSpawner FAfterImages;
};

}  // namespace kest
