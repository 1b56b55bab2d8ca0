#include "imaging/wipes/wipe_blocks.h"

#include <algorithm>

#include "common/program_random.h"

namespace kest {

void TWipeBlockCoil::Prepare() {
  TWipeMask::Prepare();
  const int32_t q = std::max(1, std::min({std::max(10, FParam[0]), W(), H()}));
  FParam[0] = q;
  FBlocks.clear();
  Order((W() + q - 1) / q, (H() + q - 1) / q);
  FFilled = -1;
}

void TWipeBlockCoil::Order(int32_t columns, int32_t rows) {
  const int32_t q = FParam[0];
  auto block = [&](int32_t c, int32_t r) { FBlocks.push_back(MakeRect(c * q, r * q, q, q)); };
  // Around the edge of what is left, then inward.
  int32_t left = 0, top = 0, right = columns - 1, bottom = rows - 1;
  while (left <= right && top <= bottom) {
    for (int32_t c = left; c <= right; ++c) block(c, top);
    for (int32_t r = top + 1; r <= bottom; ++r) block(right, r);
    if (top < bottom)
      for (int32_t c = right - 1; c >= left; --c) block(c, bottom);
    if (left < right)
      for (int32_t r = bottom - 1; r > top; --r) block(left, r);
    ++left;
    ++top;
    --right;
    --bottom;
  }
}

void TWipeBlockRandom::Order(int32_t columns, int32_t rows) {
  const int32_t q = FParam[0];
  for (int32_t r = 0; r < rows; ++r)
    for (int32_t c = 0; c < columns; ++c) FBlocks.push_back(MakeRect(c * q, r * q, q, q));
  ProgramRandom().Shuffle(FBlocks);
}

bool TWipeBlockCoil::BuildMask() {
  if (FBlocks.empty()) Prepare();
  const auto high = static_cast<int64_t>(FBlocks.size()) - 1;
  const int64_t n = FReverse ? high - Scaled(high) : Scaled(high);
  if (n == FLastValue) return false;
  FLastValue = n;
  FHardMask = true;
  // Reversed, the blocks from the last back to n are the new picture.
  FMask.Fill(0);
  const int64_t first = FReverse ? n : 0;
  const int64_t last = FReverse ? high : n;
  for (int64_t i = first; i <= last; ++i) FMask.FillRect(FBlocks[size_t(i)], 255);
  return true;
}

}  // namespace kest
