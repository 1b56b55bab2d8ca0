#pragma once
// The wipes that draw through an 8-bit mask: 0 shows the old picture, 255
// the new one, values between mix them. A mask shorter than the target
// repeats down it. Each kind builds its mask for the position and says
// whether it changed; an unchanged mask draws nothing new.

#include "imaging/wipes/custom_wipe.h"

namespace kest {

class TWipeMask : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;
  // Mask kinds need a step of at least 2 and a softness of at least 1.
  void SetParam(int index, int32_t value) override;
  void Prepare() override;
  const TDIBX& Mask() const { return FMask; }

 protected:
  void Draw() override;
  virtual bool BuildMask() = 0;
  virtual int32_t MaskHeight() const { return H(); }
  // The mask value (b - e) * 255 / soft of the ramp kinds, clamped.
  static uint8_t Ramp(int64_t b, int64_t e, int32_t soft);
  int32_t Step() const { return FParam[0]; }
  int32_t Soft() const { return FParam[1]; }

  TDIBX FMask;
  int64_t FLastValue = -1;
  bool FHardMask = false;
};

}  // namespace kest
