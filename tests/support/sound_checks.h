#pragma once
// What the tests that play real sounds share: the extension library, loaded
// once for the process, and the level of what came out.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "kestlib/kestlib_loader.h"
#include "platform/system.h"

namespace kest::test {

inline const TKestLib& SoundLib() {
  // Kept for the process: its media libraries hold process-wide state.
  static const TKestLibLoad load = LoadKestLib(ProgramFolder() + "/libkest.so");
  if (!load.lib) std::abort();
  return *load.lib;
}

inline double Rms(const std::vector<int16_t>& samples) {
  double sum = 0;
  for (int16_t v : samples) sum += double(v) * v;
  return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

}  // namespace kest::test
