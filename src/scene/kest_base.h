#pragma once
// A base screen: the root control on which every visible object lies. The
// scene has two; the one in front is shown, the other waits for a transition.

#include "scene/kest_control.h"

namespace kest {

class TKestBase : public TKestControl {
 public:
  TKestBase(TKestBaseList& scene, int index);

  bool IsBase() const override { return true; }
  // 0 or 1: which of the scene's two screens this is, whichever is in front.
  int Index() const { return FIndex; }

 private:
  int FIndex;
};

}  // namespace kest
