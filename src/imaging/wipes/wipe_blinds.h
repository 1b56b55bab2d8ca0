#pragma once
// Blinds and curtains: slats or staggered strips that open across or down.

#include "imaging/wipes/wipe_mask.h"

namespace kest {

// Slats of width Param[0] open across; Param[1] softens their edge.
class TWipeBlindH : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;

 protected:
  bool BuildMask() override;
  int32_t MaskHeight() const override { return 1; }
};

// Slats of height Param[0] open downward.
class TWipeBlindV : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;

 protected:
  bool BuildMask() override;
  int32_t MaskHeight() const override { return std::max(Step(), 2); }
};

// Strips of width Param[0] open one after another, staggered.
class TWipeCurtainH : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  void SetParam(int index, int32_t value) override;

 protected:
  bool BuildMask() override;
  int32_t MaskHeight() const override { return 1; }
};

class TWipeCurtainV : public TWipeCurtainH {
 public:
  using TWipeCurtainH::TWipeCurtainH;

 protected:
  bool BuildMask() override;
  int32_t MaskHeight() const override { return H(); }
};

}  // namespace kest
