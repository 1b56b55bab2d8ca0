#pragma once
// Wipes that uncover the new picture in a shape: a clock hand's sweep, fans
// opening from a direction, a growing (or, reversed, shrinking) disc.

#include "imaging/wipes/wipe_mask.h"

namespace kest {

// The sector swept from the start angle (Param[0] degrees, 0 straight up) to
// the hand, clockwise (reversed: the other way).
class TWipeClockHand : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;

 protected:
  bool BuildMask() override;
  // The sectors to fill for progress p, as (from, to) angles in radians.
  virtual int Sectors(double p, double start, double (&from)[2], double (&to)[2]) const;
};

// One sector opening both ways from the start direction.
class TWipeFan : public TWipeClockHand {
 public:
  using TWipeClockHand::TWipeClockHand;

 protected:
  int Sectors(double p, double start, double (&from)[2], double (&to)[2]) const override;
};

// Two opposite sectors opening.
class TWipeWFan : public TWipeClockHand {
 public:
  using TWipeClockHand::TWipeClockHand;

 protected:
  int Sectors(double p, double start, double (&from)[2], double (&to)[2]) const override;
};

class TWipeCircle : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;

 protected:
  bool BuildMask() override;
};

}  // namespace kest
