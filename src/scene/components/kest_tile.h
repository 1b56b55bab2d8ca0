#pragma once
// A picture repeated as tiles.
#include "scene/kest_control.h"

namespace kest {

class TKestTile : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_TILE; }
};

}  // namespace kest
