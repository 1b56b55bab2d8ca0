#pragma once
// Wipes that scale the pictures: the old one shrinks away or the new one
// grows in (turning by Param[0]), a zoom into a point, and the mosaic.

#include "imaging/wipes/custom_wipe.h"

namespace kest {

class TWipeSmall : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void Draw() override;
};

class TWipeBig : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void Draw() override;
};

// Into point (Param[0], Param[1]) of the old picture, then out of the new one.
class TWipeZoomin : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void Draw() override;
};

// Pixelate the old picture, cross-fade in blocks, de-pixelate the new one.
class TWipeMosaic : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void Draw() override;

 private:
  TDIBX FSmall;
  TDIBX FSmallTo;
};

}  // namespace kest
