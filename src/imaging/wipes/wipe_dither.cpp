#include "imaging/wipes/wipe_dither.h"

#include "common/tp_random.h"

namespace kest {

void TWipeDither::Prepare() {
  TWipeMask::Prepare();
  TTpRandom random(12341);
  random.Reset(kTile * kTile);
  FOrder.resize(size_t(kTile) * kTile);
  for (int32_t& cell : FOrder) cell = random.Draw();
  FShown = 0;
}

bool TWipeDither::BuildMask() {
  FHardMask = true;
  if (FOrder.empty()) Prepare();
  const int32_t n = Scaled(int64_t{kTile} * kTile);
  if (n == FLastValue) return false;
  FLastValue = n;
  // Cells only ever turn on, so each build adds the cells since the last.
  if (n < FShown) {
    FMask.Fill(0);
    FShown = 0;
  }
  for (; FShown < n; ++FShown) {
    const int32_t cell = FOrder[size_t(FShown)];
    uint8_t* row = FMask.ScanLine(cell / kTile);
    for (int32_t x = cell % kTile; x < W(); x += kTile) row[x] = 255;
  }
  return true;
}

}  // namespace kest
