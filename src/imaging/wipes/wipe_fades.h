#pragma once
// Wipes drawn straight from the two pictures: the cross-fade with a slide,
// fades through white or black, the flash, and the scrolls.

#include "imaging/wipes/custom_wipe.h"

namespace kest {

// The new picture fades in, sliding from (Param[0], Param[1]) to its place.
class TWipeFade : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void Draw() override;
};

// Through white: the old picture whitens, then the new one comes out of white.
class TWipeWhite : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void Draw() override;
  virtual int32_t Sign() const { return 1; }
};

class TWipeBlack : public TWipeWhite {
 public:
  using TWipeWhite::TWipeWhite;

 protected:
  int32_t Sign() const override { return -1; }
};

// The new picture shows white and fades to itself.
class TWipeFlash : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void Draw() override;
};

class TWipeScrollH : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void Draw() override;
};

class TWipeScrollV : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

 protected:
  void Draw() override;
};

}  // namespace kest
