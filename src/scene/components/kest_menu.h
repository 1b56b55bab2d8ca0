#pragma once
// A list of items to choose from.
#include "scene/kest_control.h"

namespace kest {

class TKestMenu : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_MENU; }
};

}  // namespace kest
