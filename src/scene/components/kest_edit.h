#pragma once
// A single-line text box.
// A new text box stays hidden until a script shows it.
#include "scene/kest_control.h"

namespace kest {

class TKestEdit : public TKestControl {
 public:
  explicit TKestEdit(TKestBaseList& scene) : TKestControl(scene) { SetProp(PR_VISIBLE, false); }
  TComponentKind Kind() const override { return LT_EDIT; }
};

}  // namespace kest
