#pragma once
// A gauge that fills.
#include "scene/kest_control.h"

namespace kest {

class TKestGauge : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_GAUGE; }
};

}  // namespace kest
