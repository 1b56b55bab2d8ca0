#pragma once
// A sound or piece of music.
#include "scene/kest_object.h"

namespace kest {

class TKestSound : public TKestComponent {
 public:
  using TKestComponent::TKestComponent;
  TComponentKind Kind() const override { return LT_SOUND; }
};

}  // namespace kest
