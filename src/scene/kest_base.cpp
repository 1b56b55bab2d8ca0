#include "scene/kest_base.h"

namespace kest {

// A fresh scene shows black until a script paints it.
TKestBase::TKestBase(TKestBaseList& scene, int index) : TKestControl(scene), FIndex(index) {
  StoreName(index == 0 ? "\x01" "BASE0" : "\x01" "BASE1");
  SetColor(0);
}

}  // namespace kest
