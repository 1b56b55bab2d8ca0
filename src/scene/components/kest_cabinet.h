#pragma once
// An invisible container that keeps controls aside.
#include "scene/kest_control.h"

namespace kest {

class TKestCabinet : public TKestControl {
 public:
  using TKestControl::TKestControl;
  // Never shown: its children are stored, not drawn.
  bool Visible() const override { return false; }
  TComponentKind Kind() const override { return LT_CABINET; }
};

}  // namespace kest
