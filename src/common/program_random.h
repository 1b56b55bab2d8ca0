#pragma once
// The one general-purpose generator of the whole player: the script function
// Random and the transitions that lay blocks or chips in a random order draw
// from it, so a script that seeds nothing still sees one stream. One step is
// seed := seed * 134775813 + 1 (mod 2^32); a draw below n is the upper half of
// the 64-bit product of the new seed and n.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kest {

class TProgramRandom {
 public:
  uint32_t Seed() const { return FSeed; }
  void SetSeed(uint32_t seed) { FSeed = seed; }
  // Seeds from the UTC time of day in milliseconds, as the player does when
  // its window is created.
  void SeedFromClock();

  // 0 .. n-1 for n above 0; n is read as unsigned 32 bits, so a negative n
  // answers the bit pattern of that wider range.
  int32_t Next(int32_t n);

  // A uniform order of the items, drawn from this stream.
  template <typename T>
  void Shuffle(std::vector<T>& items) {
    for (size_t i = items.size(); i > 1; --i) {
      std::swap(items[i - 1], items[static_cast<size_t>(Next(static_cast<int32_t>(i)))]);
    }
  }

 private:
  uint32_t FSeed = 0;
};

TProgramRandom& ProgramRandom();

}  // namespace kest
