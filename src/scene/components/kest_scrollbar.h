#pragma once
// A scroll bar.
#include "scene/kest_control.h"

namespace kest {

class TKestScrollbar : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_SCROLLBAR; }
};

}  // namespace kest
