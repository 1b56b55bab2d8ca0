#include "common/lists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/string_lists.h"

namespace kest {
namespace {

TEST(IntListTest, SetIntGrowsWithZerosFirst) {
  TIntList list;
  list.SetInt(5, 42);
  ASSERT_EQ(list.Count(), 6);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(list.GetInt(i), 0);
  EXPECT_EQ(list.GetInt(5), 42);
  EXPECT_EQ(list.IndexOf(42), 5);
  EXPECT_EQ(list.IndexOf(7), -1);
}

TEST(IntListTest, BadIndicesRaiseTheirMessages) {
  TIntList list;
  list.Add(1);
  try {
    list.GetInt(1);
    FAIL();
  } catch (const EKestError& e) {
    EXPECT_STREQ(e.what(), "Error:TIntList.GetInt");
  }
  EXPECT_THROW(list.GetInt(-1), EKestError);
  try {
    list.SetInt(-1, 0);
    FAIL();
  } catch (const EKestError& e) {
    EXPECT_STREQ(e.what(), "Error:TIntList.SetInt");
  }
  EXPECT_EQ(list.Count(), 1);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 0);
}

TEST(ExtendedListTest, SortsBothWaysWithNaNLast) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const long double inf = std::numeric_limits<long double>::infinity();
  TExtendedList list;
  for (long double x : {3.0L, nan, -inf, 0.5L, nan, 1e4000L, -2.0L, 0.5L}) list.Add(x);
  list.Sort(false);
  std::vector<long double> up;
  for (int i = 0; i < list.Count(); ++i) up.push_back(list.Get(i));
  EXPECT_EQ(up[0], -inf);
  EXPECT_EQ(up[1], -2.0L);
  EXPECT_EQ(up[2], 0.5L);
  EXPECT_EQ(up[3], 0.5L);
  EXPECT_EQ(up[4], 3.0L);
  EXPECT_EQ(up[5], 1e4000L);
  EXPECT_TRUE(std::isnan(up[6]) && std::isnan(up[7]));
  list.Sort(true);
  EXPECT_EQ(list.Get(0), 1e4000L);
  EXPECT_EQ(list.Get(5), -inf);
  EXPECT_TRUE(std::isnan(list.Get(6)));
  EXPECT_THROW(list.Get(8), EKestError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(ExtendedListTest, SortingManyNaNsIsSafe) {
  TExtendedList list;
  for (int i = 0; i < 1000; ++i) {
    list.Add(i % 3 == 0 ? std::numeric_limits<long double>::quiet_NaN() : static_cast<long double>(1000 - i));
  }
  list.Sort(false);
  for (int i = 1; i < list.Count(); ++i) {
    const long double a = list.Get(i - 1);
    const long double b = list.Get(i);
    EXPECT_TRUE(std::isnan(b) || a <= b);
  }
}

struct TNode {
  explicit TNode(std::vector<int>& log, int id) : Log(log), Id(id) {}
  virtual ~TNode() { Log.push_back(Id); }
  std::vector<int>& Log;
  int Id;
};
struct TDerivedNode : TNode {
  using TNode::TNode;
  ~TDerivedNode() override { Log.push_back(-Id); }
};

TEST(ObjListTest, OwnsAndDestroysItsObjects) {
  std::vector<int> log;
  {
    TObjList<TNode> list;
    list.Add(std::make_unique<TNode>(log, 1));
    list.Add(std::make_unique<TDerivedNode>(log, 2));
    list.Add(std::make_unique<TNode>(log, 3));
    list.Delete(0);
    EXPECT_EQ(log, std::vector<int>({1}));
    EXPECT_EQ(list.Items(0)->Id, 2);
    std::unique_ptr<TNode> taken = list.Extract(1);
    EXPECT_EQ(taken->Id, 3);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_THROW(list.Delete(1), EKestError);
  }
  // The extracted object went with its owner; the derived one through its own destructor.
  EXPECT_EQ(log, std::vector<int>({1, 3, -2, 2}));
}

TEST(TabStringsTest, SplitsAtTheDelimiter) {
  TTabStrings t;
  t.SetLine("a\t\tb");
  ASSERT_EQ(t.Count(), 3);
  EXPECT_EQ(t.Field(0), "a");
  EXPECT_EQ(t.Field(1), "");
  EXPECT_EQ(t.Field(2), "b");
  EXPECT_EQ(t.Field(3), "");
  EXPECT_EQ(t.Field(-1), "");
  t.SetLine("a\t");
  EXPECT_EQ(t.Count(), 1);
  t.SetLine("");
  EXPECT_EQ(t.Count(), 0);
  t.SetLine("\t");
  ASSERT_EQ(t.Count(), 1);
  EXPECT_EQ(t.Field(0), "");
}

TEST(TabStringsTest, DoubleByteCharactersAreNeverSplit) {
  TTabStrings t;
  // A character whose second byte is 9 (malformed but possible) is one field.
  t.SetLine("\x81\x09x");
  ASSERT_EQ(t.Count(), 1);
  EXPECT_EQ(t.Field(0), "\x81\x09x");
  // ソ (83 5C) with a backslash delimiter; a lone lead byte at the end stays.
  TTabStrings s('\\');
  s.SetLine("\x83\x5C\\b\\\x83");
  ASSERT_EQ(s.Count(), 3);
  EXPECT_EQ(s.Field(0), "\x83\x5C");
  EXPECT_EQ(s.Field(2), "\x83");
}

}  // namespace
}  // namespace kest
