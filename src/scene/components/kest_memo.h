#pragma once
// A multi-line text box.
#include "scene/components/kest_text_input.h"

namespace kest {

class TKestMemo : public TKestTextInput {
 public:
  explicit TKestMemo(TKestBaseList& scene) : TKestTextInput(scene, true) { TakeKeys(); }
  TComponentKind Kind() const override { return LT_MEMO; }
};

}  // namespace kest
