#pragma once
// Square blocks of Param[0] (at least 10) turning one after another: in an
// inward clockwise spiral from the top-left, or in a random order.

#include <vector>

#include "imaging/rect.h"
#include "imaging/wipes/wipe_mask.h"

namespace kest {

class TWipeBlockCoil : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  void Prepare() override;

 protected:
  bool BuildMask() override;
  // The blocks in the order they turn.
  virtual void Order(int32_t columns, int32_t rows);

  std::vector<TRect> FBlocks;
  int32_t FFilled = -1;
};

class TWipeBlockRandom : public TWipeBlockCoil {
 public:
  using TWipeBlockCoil::TWipeBlockCoil;

 protected:
  void Order(int32_t columns, int32_t rows) override;
};

}  // namespace kest
