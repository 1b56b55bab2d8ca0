#pragma once
// An animated picture.
#include "scene/kest_control.h"

namespace kest {

class TKestImages : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_IMAGES; }
};

}  // namespace kest
