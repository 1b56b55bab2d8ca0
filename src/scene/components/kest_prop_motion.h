#pragma once
// A motion of property values over time: one numeric property of another
// object moved towards a target value along a curve.

#include <string>

#include "scene/kest_object.h"

namespace kest {

class TKestPropMotion : public TKestComponent {
 public:
  using TKestComponent::TKestComponent;
  TComponentKind Kind() const override { return LT_PROPMOTION; }
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

  // What the creating command sets; the motion itself plays from them.
  std::string Target;
  int32_t PropertyId = 0;
  long double TargetValue = 0;
  int32_t Length = 0;  // milliseconds
  int32_t Curve = 0;
  long double StartValue = 0;
  int32_t Elapsed = 0;
  bool Stopped = false;
};

}  // namespace kest
