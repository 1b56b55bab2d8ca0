#pragma once
// A rectangle, filled and framed, or an image source.
#include "scene/kest_control.h"

namespace kest {

class TKestBox : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_BOX; }
  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  void Paint(TCustomDIBX& surface) override;
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

 private:
  int32_t FBorderWidth = 0;
  int32_t FBorderColor = -1;
  int32_t FAlpha = 255;
};

}  // namespace kest
