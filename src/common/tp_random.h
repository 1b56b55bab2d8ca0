#pragma once
// The small deterministic generator behind reproducible permutations (picture
// protection, the dithered transition) and the archive index masks. Stored
// pictures and archives depend on its exact sequence: one step is
// State := State * 5 + Seed (mod 2^32), and a draw removes its element keeping
// the order of the rest.

#include <cstdint>
#include <vector>

namespace kest {

class TTpRandom {
 public:
  explicit TTpRandom(uint32_t seed) : FSeed(seed) {}

  uint32_t Seed() const { return FSeed; }
  uint32_t State() const { return FState; }
  int32_t PoolSize() const { return FPoolSize; }
  const std::vector<int32_t>& Pool() const { return FPool; }

  // Fills the pool with 0 .. n-1; the state goes on from where it was.
  void Reset(int32_t n);
  // The next element of the permutation; n draws after Reset(n) give each of
  // 0 .. n-1 once. Raises EKestError on an empty pool.
  int32_t Draw();
  // The next value of the stream: the state after one step.
  uint32_t Next();

 private:
  void Step() { FState = FState * 5u + FSeed; }

  uint32_t FSeed;
  uint32_t FState = 0;
  std::vector<int32_t> FPool;
  int32_t FPoolSize = 0;
};

}  // namespace kest
