#pragma once
// A motion file playing on a control. The scene keeps its clock here; the
// film it steps through arrives with motion playback.

#include <cstdint>

namespace kest {

class TKestMotion {
 public:
  int32_t Elapsed = 0;  // milliseconds
  int32_t StartCountdown = 2;
  bool Finished = false;
  int32_t Frame = 0;
  int32_t LastLeft = 0;
  int32_t LastTop = 0;
};

}  // namespace kest
