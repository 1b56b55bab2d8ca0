#pragma once
// A button with images for its states.
#include "scene/kest_control.h"

namespace kest {

class TKestButton : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_BUTTON; }
};

}  // namespace kest
