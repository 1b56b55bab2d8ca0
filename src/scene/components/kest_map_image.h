#pragma once
// A picture whose regions are chosen by a map.
#include "scene/kest_control.h"

namespace kest {

class TKestMapImage : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_MAPIMG; }
};

}  // namespace kest
