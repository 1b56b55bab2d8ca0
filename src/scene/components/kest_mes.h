#pragma once
// A message window that plays story text.
#include "scene/kest_control.h"

namespace kest {

class TKestMes : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_MES; }
};

}  // namespace kest
