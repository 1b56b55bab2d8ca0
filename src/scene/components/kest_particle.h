#pragma once
// Falling or floating particles.
#include "scene/kest_control.h"

namespace kest {

class TKestParticle : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_PARTICLE; }
};

}  // namespace kest
