#pragma once
// A slider.
#include "scene/kest_control.h"

namespace kest {

class TKestSlider : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_SLIDER; }
};

}  // namespace kest
