#pragma once
// A download in the background.
#include "scene/kest_object.h"

namespace kest {

class TKestHttp : public TKestComponent {
 public:
  using TKestComponent::TKestComponent;
  TComponentKind Kind() const override { return LT_HTTP; }
};

}  // namespace kest
