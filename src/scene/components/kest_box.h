#pragma once
// A rectangle, filled and framed, or an image source.
#include "scene/kest_control.h"

namespace kest {

class TKestBox : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_BOX; }
};

}  // namespace kest
