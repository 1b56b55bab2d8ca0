#include "imaging/wipes/wipe_grids.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kest {

int32_t TWipeGrid::Key(int32_t column, int32_t row) const {
  if (FReverse) {
    column = Columns() - 1 - column;
    row = Rows() - 1 - row;
  }
  return static_cast<int32_t>(std::nearbyint(std::hypot(row, column)));
}

int32_t TWipeGrid::KeySpan() const {
  return static_cast<int32_t>(std::nearbyint(std::hypot(Rows() - 1, Columns() - 1)));
}

int32_t TWipeGridH::Key(int32_t column, int32_t) const { return FReverse ? Columns() - 1 - column : column; }

int32_t TWipeGridV::Key(int32_t, int32_t row) const { return FReverse ? Rows() - 1 - row : row; }

bool TWipeGrid::BuildMask() {
  const int32_t s = Step();
  const int64_t e = Scaled(int64_t{Soft()} + 4 * int64_t{KeySpan()} - 4);
  if (e == FLastValue) return false;
  FLastValue = e;
  FHardMask = Soft() < 2;
  FMask.Fill(0);
  const int32_t rows = std::min(Rows(), (FMask.Height() + s - 1) / s);
  for (int32_t row = 0; row < rows; ++row)
    for (int32_t column = 0; column < Columns(); ++column) {
      const int64_t k = 4 * int64_t{Key(column, row)};
      if (e < k) continue;
      const uint8_t v = Ramp(e, k, Soft());
      const auto side = static_cast<int32_t>(std::min<int64_t>(s, s * (e - k) / Soft()));
      // The square lies in the middle of its cell.
      const int32_t left = column * s + (s - side) / 2;
      const int32_t top = row * s + (s - side) / 2;
      FMask.FillRect(MakeRect(left, top, side, side), v);
    }
  return true;
}

}  // namespace kest
