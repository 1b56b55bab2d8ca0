#pragma once
// A wave that sways what lies under it.
#include "scene/kest_control.h"

namespace kest {

class TKestWave : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_WAVE; }
};

}  // namespace kest
