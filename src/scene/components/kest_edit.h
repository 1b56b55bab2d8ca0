#pragma once
// A single-line text box.
// A new text box stays hidden until a script shows it.
#include "scene/components/kest_text_input.h"

namespace kest {

class TKestEdit : public TKestTextInput {
 public:
  explicit TKestEdit(TKestBaseList& scene) : TKestTextInput(scene, false) {
    TakeKeys();
    SetProp(PR_VISIBLE, false);
  }
  TComponentKind Kind() const override { return LT_EDIT; }
};

}  // namespace kest
