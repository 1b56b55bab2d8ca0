#pragma once
// A value that stands for another one (a reference to an element, @Result,
// @Temp) and passes operations on to it. Such values can be made to stand for
// themselves through a chain; a guard on each turns the second visit into
// "no target" instead of endless recursion.

#include "language/custom_param.h"

namespace kest {

class TForwardingParam : public TCustomParam {
 protected:
  // The value operations go to now, or nothing.
  virtual TCustomParam* ForwardTarget() const = 0;

  // Calls f with the target, or answers none without one (or on a cycle).
  template <typename R, typename F>
  R Forward(R none, F&& f) const {
    TGuard guard(FBusy);
    TCustomParam* target = guard.Entered() ? ForwardTarget() : nullptr;
    return target ? f(*target) : none;
  }
  template <typename F>
  void ForwardWrite(F&& f) const {
    TGuard guard(FBusy);
    if (TCustomParam* target = guard.Entered() ? ForwardTarget() : nullptr) f(*target);
  }

 private:
  class TGuard {
   public:
    explicit TGuard(bool& busy) : FBusy(busy), FEntered(!busy) { busy = true; }
    TGuard(const TGuard&) = delete;
    TGuard& operator=(const TGuard&) = delete;
    ~TGuard() {
      if (FEntered) FBusy = false;
    }
    bool Entered() const { return FEntered; }

   private:
    bool& FBusy;
    bool FEntered;
  };

  mutable bool FBusy = false;
};

}  // namespace kest
