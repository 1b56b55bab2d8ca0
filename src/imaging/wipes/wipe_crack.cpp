#include "imaging/wipes/wipe_crack.h"

#include <algorithm>

#include "common/program_random.h"

namespace kest {

namespace {

// A chip's drop after t units: it rises a little, then falls ever faster.
int64_t Drop(int64_t t) { return (5 * t * t - 1500 * t) / 1000; }

}  // namespace

int32_t TWipeCrack::FallTime(int32_t h) {
  int32_t t = 0;
  while (Drop(t) < h) ++t;
  return t;
}

void TWipeCrack::Prepare() {
  const int32_t size = std::max(16, FParam[0]);
  FFall = FallTime(std::max(H(), 0));
  FChips.clear();
  for (int32_t y = 0; y < H(); y += size)
    for (int32_t x = 0; x < W(); x += size)
      FChips.push_back({TRect{x, y, std::min(x + size, W()), std::min(y + size, H())}, 0, 0});
  TProgramRandom& random = ProgramRandom();
  random.Shuffle(FChips);
  for (size_t j = 0; j < FChips.size(); ++j) {
    FChips[j].Start = static_cast<int32_t>(j) * FParam[1];
    FChips[j].Speed = random.Next(200) - 100;
  }
}

void TWipeCrack::Draw() {
  if (FChips.empty() && W() > 0 && H() > 0) Prepare();
  const int64_t units = FFall + int64_t(std::max<size_t>(FChips.size(), 1) - 1) * FParam[1];
  const int64_t b = Scaled(units);
  FTarget.Draw(0, 0, FTo, FTo.Bounds(), TBlit::None);
  for (const TChip& chip : FChips) {
    const int64_t t = b - chip.Start;
    if (t <= 0) {
      FTarget.Draw(chip.Area.Left, chip.Area.Top, FFrom, chip.Area, TBlit::None);
      continue;
    }
    const int64_t y = chip.Area.Top + Drop(t);
    if (y >= H()) continue;
    const int64_t x = chip.Area.Left + t * chip.Speed / 100;
    if (x < -W() || x > 2 * int64_t{W()}) continue;
    FTarget.Draw(int32_t(x), int32_t(y), FFrom, chip.Area, TBlit::None);
  }
}

}  // namespace kest
