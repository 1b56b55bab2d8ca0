#pragma once
// Grids: squares that grow in cells of Param[0], in order of their distance
// from a corner, by column or by row; Param[1] is how long each one grows.

#include "imaging/wipes/wipe_mask.h"

namespace kest {

class TWipeGrid : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;

 protected:
  bool BuildMask() override;
  // The order key of a cell, and the span of keys.
  virtual int32_t Key(int32_t column, int32_t row) const;
  virtual int32_t KeySpan() const;
  int32_t Columns() const { return (W() + Step() - 1) / Step(); }
  int32_t Rows() const { return (H() + Step() - 1) / Step(); }
};

class TWipeGridH : public TWipeGrid {
 public:
  using TWipeGrid::TWipeGrid;

 protected:
  int32_t Key(int32_t column, int32_t row) const override;
  int32_t KeySpan() const override { return Columns(); }
  int32_t MaskHeight() const override { return std::min(std::max(Step(), 2), H()); }
};

class TWipeGridV : public TWipeGrid {
 public:
  using TWipeGrid::TWipeGrid;

 protected:
  int32_t Key(int32_t column, int32_t row) const override;
  int32_t KeySpan() const override { return Rows(); }
};

}  // namespace kest
