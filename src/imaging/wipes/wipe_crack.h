#pragma once
// The old picture breaks into chips of Param[0] (at least 16) that fall away
// one after another, Param[1] time units apart, over the new picture.

#include <vector>

#include "imaging/wipes/custom_wipe.h"

namespace kest {

class TWipeCrack : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;
  void Prepare() override;
  // The first time unit at which a chip has fallen off a screen of height h.
  static int32_t FallTime(int32_t h);

 protected:
  void Draw() override;

 private:
  struct TChip {
    TRect Area;
    int32_t Start;
    int32_t Speed;  // horizontal, hundredths of a pixel per unit
  };
  std::vector<TChip> FChips;
  int32_t FFall = 0;
};

}  // namespace kest
