#include "common/tp_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/errors.h"

namespace kest {
namespace {

std::vector<int32_t> DrawAll(TTpRandom& r, int32_t n) {
  r.Reset(n);
  std::vector<int32_t> out;
  for (int32_t i = 0; i < n; ++i) out.push_back(r.Draw());
  return out;
}

TEST(TpRandomTest, FirstValues) {
  TTpRandom r(1604829307u);
  EXPECT_EQ(r.State(), 0u);
  EXPECT_EQ(r.Next(), 1604829307u);
  EXPECT_EQ(r.Next(), static_cast<uint32_t>(6ull * 1604829307u));
  EXPECT_EQ(r.Next(), static_cast<uint32_t>(31ull * 1604829307u));
  EXPECT_EQ(r.Seed(), 1604829307u);
}

TEST(TpRandomTest, SeedZeroDrawsInOrder) {
  TTpRandom r(0);
  EXPECT_EQ(DrawAll(r, 5), std::vector<int32_t>({0, 1, 2, 3, 4}));
}

TEST(TpRandomTest, RemainderIsUnsigned) {
  // Seed 2^32 - 1: the first step leaves State = 2^32 - 1, and 4294967295 mod 10 = 5.
  TTpRandom r(0xFFFFFFFFu);
  r.Reset(10);
  EXPECT_EQ(r.Draw(), 5);
  EXPECT_EQ(r.State(), 0xFFFFFFFFu);
}

TEST(TpRandomTest, DrawKeepsThePoolInOrder) {
  // Seed 3: states 3, 18, 93; from 0..4 take 3 (3 mod 5), then 18 mod 4 = 2 of
  // {0,1,2,4}, then 93 mod 3 = 0 of {0,1,4}.
  TTpRandom r(3);
  r.Reset(5);
  EXPECT_EQ(r.Draw(), 3);
  EXPECT_EQ(r.Draw(), 2);
  EXPECT_EQ(r.Draw(), 0);
  EXPECT_EQ(r.Pool(), std::vector<int32_t>({1, 4}));
  EXPECT_EQ(r.PoolSize(), 5);
}

TEST(TpRandomTest, ResetContinuesTheState) {
  TTpRandom a(12341);
  const std::vector<int32_t> first = DrawAll(a, 16);
  const std::vector<int32_t> second = DrawAll(a, 16);
  EXPECT_NE(first, second);
  uint32_t state = 0;
  for (int i = 0; i < 33; ++i) state = state * 5u + 12341u;
  EXPECT_EQ(a.Next(), state);
}

TEST(TpRandomTest, DrawsArePermutations) {
  for (int32_t n : {0, 1, 2, 10000}) {
    TTpRandom r(1604829307u);
    std::vector<int32_t> drawn = DrawAll(r, n);
    std::sort(drawn.begin(), drawn.end());
    for (int32_t i = 0; i < n; ++i) ASSERT_EQ(drawn[static_cast<size_t>(i)], i) << n;
    EXPECT_TRUE(r.Pool().empty());
  }
}

TEST(TpRandomTest, DrawingFromAnEmptyPoolRaises) {
  TTpRandom r(5);
  EXPECT_THROW(r.Draw(), EKestError);
  r.Reset(1);
  EXPECT_EQ(r.Draw(), 0);
  EXPECT_THROW(r.Draw(), EKestError);
  r.Reset(-3);
  EXPECT_EQ(r.PoolSize(), -3);
  EXPECT_THROW(r.Draw(), EKestError);
}

}  // namespace
}  // namespace kest
