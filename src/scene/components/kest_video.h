#pragma once
// A movie.
#include "scene/kest_control.h"

namespace kest {

class TKestVideo : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_VIDEO; }
};

}  // namespace kest
