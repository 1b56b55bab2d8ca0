#pragma once
// Wipes that smear or turn the pictures: one column (row) drawn out over
// the screen (sudare), a band pulled like rubber, rows (columns) turning
// over like a twisted ribbon.

#include "imaging/wipes/custom_wipe.h"

namespace kest {

class TWipeSudare : public TCustomWipe {
 public:
  TWipeSudare(TCustomDIBX& target, const TCustomDIBX& from, const TCustomDIBX& to, bool vertical, bool rubber)
      : TCustomWipe(target, from, to), FVertical(vertical), FRubber(rubber) {}

 protected:
  void Draw() override;

 private:
  bool FVertical;
  bool FRubber;
};

struct TWipeSudareH : TWipeSudare {
  TWipeSudareH(TCustomDIBX& t, const TCustomDIBX& f, const TCustomDIBX& to) : TWipeSudare(t, f, to, false, false) {}
};
struct TWipeSudareV : TWipeSudare {
  TWipeSudareV(TCustomDIBX& t, const TCustomDIBX& f, const TCustomDIBX& to) : TWipeSudare(t, f, to, true, false) {}
};
struct TWipeRubberH : TWipeSudare {
  TWipeRubberH(TCustomDIBX& t, const TCustomDIBX& f, const TCustomDIBX& to) : TWipeSudare(t, f, to, false, true) {}
};
struct TWipeRubberV : TWipeSudare {
  TWipeRubberV(TCustomDIBX& t, const TCustomDIBX& f, const TCustomDIBX& to) : TWipeSudare(t, f, to, true, true) {}
};

class TWipeTwist : public TCustomWipe {
 public:
  TWipeTwist(TCustomDIBX& target, const TCustomDIBX& from, const TCustomDIBX& to, bool vertical)
      : TCustomWipe(target, from, to), FVertical(vertical) {}

 protected:
  void Draw() override;

 private:
  // Columns of 32-bit pictures, row by row, without a blit per column.
  void DrawColumns32();

  bool FVertical;
};

struct TWipeTwistH : TWipeTwist {
  TWipeTwistH(TCustomDIBX& t, const TCustomDIBX& f, const TCustomDIBX& to) : TWipeTwist(t, f, to, false) {}
};
struct TWipeTwistV : TWipeTwist {
  TWipeTwistV(TCustomDIBX& t, const TCustomDIBX& f, const TCustomDIBX& to) : TWipeTwist(t, f, to, true) {}
};

}  // namespace kest
