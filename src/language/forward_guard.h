#pragma once
// Values that stand for other values (references, @Result, @Temp) can be made
// to stand for themselves through a chain; a guard on each such value turns the
// second visit into "no target" instead of endless recursion.

namespace kest {

class TForwardGuard {
 public:
  explicit TForwardGuard(bool& busy) : FBusy(busy), FEntered(!busy) { busy = true; }
  TForwardGuard(const TForwardGuard&) = delete;
  TForwardGuard& operator=(const TForwardGuard&) = delete;
  ~TForwardGuard() {
    if (FEntered) FBusy = false;
  }
  bool Entered() const { return FEntered; }

 private:
  bool& FBusy;
  bool FEntered;
};

}  // namespace kest
