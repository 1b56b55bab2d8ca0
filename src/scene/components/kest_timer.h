#pragma once
// An event at a fixed interval.
#include "scene/kest_object.h"

namespace kest {

class TKestTimer : public TKestComponent {
 public:
  using TKestComponent::TKestComponent;
  TComponentKind Kind() const override { return LT_TIMER; }
};

}  // namespace kest
