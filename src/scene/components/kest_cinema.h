#pragma once
// A scene of its own, shown inside the scene.
#include "scene/kest_control.h"

namespace kest {

class TKestCinema : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_CINEMA; }
};

}  // namespace kest
