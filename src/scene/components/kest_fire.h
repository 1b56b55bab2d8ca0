#pragma once
// A burning fire effect.
#include "scene/kest_control.h"

namespace kest {

class TKestFire : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_FIRE; }
};

}  // namespace kest
