#include "common/tp_random.h"

#include "common/errors.h"

namespace kest {

void TTpRandom::Reset(int32_t n) {
  FPoolSize = n;
  FPool.clear();
  if (n <= 0) return;
  FPool.resize(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) FPool[static_cast<size_t>(i)] = i;
}

// The remainder is taken unsigned: a state of 2^32 - 1 with ten elements left
// picks position 5.
int32_t TTpRandom::Draw() {
  if (FPool.empty()) throw EKestError("Error:TTpRandom.Draw");
  Step();
  const size_t k = FState % static_cast<uint32_t>(FPool.size());
  const int32_t value = FPool[k];
  FPool.erase(FPool.begin() + static_cast<std::ptrdiff_t>(k));
  return value;
}

uint32_t TTpRandom::Next() {
  Step();
  return FState;
}

}  // namespace kest
