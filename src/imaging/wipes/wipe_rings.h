#pragma once
// Wipes spreading from the centre: a bright ring (spotlight) and a ripple
// that bends the new picture as it passes.

#include <vector>

#include "imaging/wipes/custom_wipe.h"

namespace kest {

class TWipeSpot : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;
  void Prepare() override;

 protected:
  void Draw() override;

 private:
  std::vector<int32_t> FDistance;
  int32_t FReach = 0;
};

class TWipeRipple : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;
  void Prepare() override;

 protected:
  void Draw() override;

 private:
  std::vector<int32_t> FDistance;
  std::vector<int32_t> FCos;  // 16.16
  std::vector<int32_t> FSin;
  std::vector<int32_t> FProfile;
  int32_t FReach = 0;
};

}  // namespace kest
