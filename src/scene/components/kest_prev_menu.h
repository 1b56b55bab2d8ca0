#pragma once
// A menu of previews read from a file.
#include "scene/kest_control.h"

namespace kest {

class TKestPrevMenu : public TKestControl {
 public:
  using TKestControl::TKestControl;
  TComponentKind Kind() const override { return LT_PREVMENU; }
};

}  // namespace kest
