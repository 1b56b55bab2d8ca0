#pragma once
// A caption drawn from an image font.
#include "scene/kest_control.h"

namespace kest {

class TKestCGLabel : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_CGLABEL; }
};

}  // namespace kest
