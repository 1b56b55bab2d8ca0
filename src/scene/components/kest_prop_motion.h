#pragma once
// A motion of property values over time.
#include "scene/kest_object.h"

namespace kest {

class TKestPropMotion : public TKestComponent {
 public:
  using TKestComponent::TKestComponent;
  TComponentKind Kind() const override { return LT_PROPMOTION; }
};

}  // namespace kest
