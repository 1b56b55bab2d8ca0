#pragma once
// A list of items to choose from.
// A new menu has no background fill.
#include "scene/kest_control.h"

namespace kest {

class TKestMenu : public TKestControl {
 public:
  explicit TKestMenu(TKestBaseList& scene) : TKestControl(scene) { SetColor(-1); }
  TComponentKind Kind() const override { return LT_MENU; }
};

}  // namespace kest
