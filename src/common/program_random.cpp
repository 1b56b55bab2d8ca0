#include "common/program_random.h"

#include <chrono>

namespace kest {

void TProgramRandom::SeedFromClock() {
  using namespace std::chrono;
  const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  FSeed = static_cast<uint32_t>(sinceEpoch % (24LL * 60 * 60 * 1000));
}

int32_t TProgramRandom::Next(int32_t n) {
  FSeed = FSeed * 134775813u + 1u;
  const uint64_t product = static_cast<uint64_t>(FSeed) * static_cast<uint32_t>(n);
  return static_cast<int32_t>(static_cast<uint32_t>(product >> 32));
}

TProgramRandom& ProgramRandom() {
  static TProgramRandom generator;
  return generator;
}

}  // namespace kest
