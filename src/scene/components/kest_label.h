#pragma once
// A caption of text.
#include "scene/kest_control.h"

namespace kest {

class TKestLabel : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_LABEL; }
};

}  // namespace kest
