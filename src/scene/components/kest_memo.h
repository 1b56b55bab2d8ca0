#pragma once
// A multi-line text box.
#include "scene/kest_control.h"

namespace kest {

class TKestMemo : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_MEMO; }
};

}  // namespace kest
