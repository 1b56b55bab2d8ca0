#include "imaging/wipes/wipe_blinds.h"

#include <algorithm>
#include <cstring>

namespace kest {

bool TWipeBlindH::BuildMask() {
  const int32_t s = Step();
  const int64_t b = Scaled(int64_t{Soft()} + 2 * int64_t{s} - 2);
  if (b == FLastValue) return false;
  FLastValue = b;
  FHardMask = Soft() < 2;
  uint8_t* row = FMask.ScanLine(0);
  for (int32_t x = 0; x < W(); ++x) {
    const int32_t e = (FReverse ? s - 1 - x % s : x % s) * 2;
    row[x] = Ramp(b, e, Soft());
  }
  return true;
}

bool TWipeBlindV::BuildMask() {
  const int32_t s = Step();
  const int64_t b = Scaled(int64_t{Soft()} + 2 * int64_t{s} - 2);
  if (b == FLastValue) return false;
  FLastValue = b;
  FHardMask = Soft() < 2;
  for (int32_t y = 0; y < FMask.Height(); ++y) {
    const int32_t e = (FReverse ? s - 1 - y : y) * 2;
    std::memset(FMask.ScanLine(y), Ramp(b, e, Soft()), size_t(W()));
  }
  return true;
}

void TWipeCurtainH::SetParam(int index, int32_t value) {
  // Curtains take strips as narrow as one pixel.
  if (index == 0 || index == 1) value = std::max(value, 1);
  TCustomWipe::SetParam(index, value);
}

bool TWipeCurtainH::BuildMask() {
  const int32_t s = Step();
  const int64_t strips = (int64_t{W()} + s - 1) / s;
  const int64_t b = Scaled((strips + s - 2) * 16 + Soft());
  if (b == FLastValue) return false;
  FLastValue = b;
  FHardMask = Soft() < 2;
  uint8_t* row = FMask.ScanLine(0);
  for (int32_t x = 0; x < W(); ++x) {
    const int32_t at = FReverse ? W() - 1 - x : x;
    row[x] = Ramp(b, (int64_t{at / s} + at % s) * 16, Soft());
  }
  return true;
}

bool TWipeCurtainV::BuildMask() {
  const int32_t s = Step();
  const int64_t strips = (int64_t{H()} + s - 1) / s;
  const int64_t b = Scaled((strips + s - 2) * 16 + Soft());
  if (b == FLastValue) return false;
  FLastValue = b;
  FHardMask = Soft() < 2;
  for (int32_t y = 0; y < FMask.Height(); ++y) {
    const int32_t at = FReverse ? H() - 1 - y : y;
    std::memset(FMask.ScanLine(y), Ramp(b, (int64_t{at / s} + at % s) * 16, Soft()), size_t(W()));
  }
  return true;
}

}  // namespace kest
