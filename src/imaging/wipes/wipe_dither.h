#pragma once
// A random dissolve: the cells of a 64 x 64 tile change in an order fixed by
// the permutation generator (seed 12341), the tile repeated over the screen.

#include <vector>

#include "imaging/wipes/wipe_mask.h"

namespace kest {

class TWipeDither : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  void Prepare() override;
  static constexpr int32_t kTile = 64;

 protected:
  bool BuildMask() override;
  int32_t MaskHeight() const override { return kTile; }

 private:
  std::vector<int32_t> FOrder;
  int32_t FShown = 0;
};

}  // namespace kest
