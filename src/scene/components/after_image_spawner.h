#pragma once
// When a box or picture leaves an after-image: each interval of frame time
// in which what places it changed.

#include <array>
#include <cstdint>
#include <optional>

namespace kest {

class TAfterImageSpawner {
 public:
  // The tick's milliseconds go by; true when a copy is due. Nothing is due while
  // the interval or the life is 0 or below.
  bool Due(int32_t elapsed, int32_t interval, int32_t life, const std::array<int32_t, 8>& placement);

 private:
  int32_t FElapsed = 0;
  std::optional<std::array<int32_t, 8>> FLast;
};

}  // namespace kest
