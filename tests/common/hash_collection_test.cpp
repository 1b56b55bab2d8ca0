#include "common/hash_collection.h"

#include <gtest/gtest.h>

#include <string>

#include "common/errors.h"

namespace kest {
namespace {

// A derived item as the subsystems make them: a field of its own, a name rule
// of its own, and a record of its destruction.
class TCountedItem : public THashCollectionItem {
 public:
  ~TCountedItem() override { ++Destroyed; }
  void SetName(std::string_view value) override { THashCollectionItem::SetName(value.empty() ? "unnamed" : value); }
  void Assign(const THashCollectionItem& source) override {
    THashCollectionItem::Assign(source);
    if (auto* from = dynamic_cast<const TCountedItem*>(&source)) Value = from->Value;
  }

  int Value = 0;
  static inline int Destroyed = 0;
};

using TCountedCollection = TTypedHashCollection<TCountedItem>;

void ExpectConsistent(const THashCollection& c) {
  for (int32_t i = 0; i < c.Count(); ++i) {
    EXPECT_EQ(c[i]->CachedIndex(), i);
    EXPECT_EQ(c[i]->Collection(), &c);
  }
}

TEST(HashCollectionTest, LookupIgnoresAsciiCaseOnly) {
  THashCollection c;
  c.AddNamed("Bg\\Title.PXA");
  c.AddNamed("\x83\x61");  // ヂ
  c.AddNamed("\x82\x60");  // Ａ
  EXPECT_EQ(c.IndexOf("bg\\title.pxa"), 0);
  EXPECT_EQ(c.IndexOf("BG\\TITLE.PXA"), 0);
  EXPECT_EQ(c.IndexOf("\x83\x61"), 1);
  EXPECT_EQ(c.IndexOf("\x83\x41"), -1);  // ア
  EXPECT_EQ(c.IndexOf("\x82\x60"), 2);
  EXPECT_EQ(c.IndexOf("A"), -1);
  EXPECT_EQ(c.IndexOf("\x82\x81"), -1);  // ａ
  EXPECT_EQ(c.IndexOf(""), -1);
  EXPECT_EQ(c.IndexOf("missing"), -1);
}

TEST(HashCollectionTest, TheNameLinkedLastWins) {
  THashCollection c;
  c.AddNamed("Result");
  c.AddNamed("RESULT");
  EXPECT_EQ(c.IndexOf("result"), 1);
  // Renaming the first to another spelling links it again, in front.
  c[0]->SetName("result");
  EXPECT_EQ(c.IndexOf("Result"), 0);
  EXPECT_EQ(c.IndexOf("RESULT"), 0);
  // Setting the same bytes again is no change and keeps the order.
  c[1]->SetName("RESULT");
  EXPECT_EQ(c.IndexOf("result"), 0);
  // Renaming away uncovers the other.
  c[0]->SetName("other");
  EXPECT_EQ(c.IndexOf("result"), 1);
  EXPECT_EQ(c.IndexOf("OTHER"), 0);
}

TEST(HashCollectionTest, EmptyNamesAndAdd) {
  THashCollection c;
  THashCollectionItem* a = c.Add();
  EXPECT_EQ(a->Name(), "");
  EXPECT_EQ(a->CachedIndex(), 0);
  EXPECT_EQ(a->DisplayName(), "THashCollectionItem");
  a->SetName("x");
  EXPECT_EQ(a->DisplayName(), "x");
  EXPECT_EQ(c.IndexOf("X"), 0);
}

TEST(HashCollectionTest, RemovalKeepsOrderAndPositions) {
  THashCollection c;
  c.AddNamed("a");
  c.AddNamed("b");
  c.AddNamed("c");
  delete c[0];
  ASSERT_EQ(c.Count(), 2);
  EXPECT_EQ(c.IndexOf("a"), -1);
  EXPECT_EQ(c.IndexOf("b"), 0);
  EXPECT_EQ(c.IndexOf("c"), 1);
  c.AddNamed("d");
  c.Delete(1);
  EXPECT_EQ(c[0]->Name(), "b");
  EXPECT_EQ(c[1]->Name(), "d");
  EXPECT_EQ(c.IndexOf("d"), 1);
  ExpectConsistent(c);
  EXPECT_THROW(c.Delete(2), EKestError);
}

TEST(HashCollectionTest, RemovingTheNewerOfEqualNamesUncoversTheOlder) {
  THashCollection c;
  c.AddNamed("x");
  c.AddNamed("y");
  c.AddNamed("X");
  delete c[2];
  EXPECT_EQ(c.IndexOf("x"), 0);
  delete c[0];
  EXPECT_EQ(c.IndexOf("x"), -1);
  EXPECT_EQ(c.IndexOf("y"), 0);
}

TEST(HashCollectionTest, ManyNamesStayFindableThroughGrowth) {
  THashCollection c;
  for (int i = 0; i < 5000; ++i) c.AddNamed("bg\\bg" + std::to_string(i) + ".pxa");
  // Equal names added early and late must keep their order when chains are rebuilt.
  c.AddNamed("BG\\BG7.PXA");
  for (int i = 0; i < 5000; ++i) c.AddNamed("f" + std::to_string(i));
  EXPECT_GT(c.BucketCount(), 256);
  EXPECT_EQ(c.IndexOf("bg\\bg7.pxa"), 5000);
  for (int i = 0; i < 5000; i += 37) {
    const std::string name = "BG\\BG" + std::to_string(i) + ".PXA";
    EXPECT_EQ(c.IndexOf(name), i == 7 ? 5000 : i) << name;
    EXPECT_EQ(c.IndexOf("F" + std::to_string(i)), 5001 + i);
  }
  // Every item is in the chain of its own name.
  for (int32_t i = 0; i < c.Count(); i += 101) {
    const THashKey key(c[i]->Name());
    bool found = false;
    for (THashCollectionItem* it = c.ChainHead(key); it; it = it->NextInChain()) found |= it == c[i];
    EXPECT_TRUE(found) << c[i]->Name();
  }
  ExpectConsistent(c);
}

TEST(HashCollectionTest, DerivedCollectionsMakeTheirOwnItems) {
  TCountedItem::Destroyed = 0;
  {
    TCountedCollection c;
    TCountedItem* a = c.AddNamed("");
    EXPECT_EQ(a->Name(), "unnamed");  // the derived name rule applies to AddNamed
    a->Value = 7;
    c.AddNamed("b")->Value = 8;
    TCountedCollection copy;
    copy.AddNamed("gone");
    copy.Assign(c);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.Find("B")->Value, 8);
    EXPECT_EQ(copy.Items(0)->Value, 7);
    EXPECT_EQ(TCountedItem::Destroyed, 1);
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(TCountedItem::Destroyed, 3);
  }
  EXPECT_EQ(TCountedItem::Destroyed, 5);
}

TEST(HashCollectionTest, ItemsWithArgumentsComeThroughAdopt) {
  struct TArgItem : THashCollectionItem {
    explicit TArgItem(int v) : Value(v) {}
    int Value;
  };
  TTypedHashCollection<TArgItem> c;
  EXPECT_THROW(c.Add(), EKestError);
  auto item = std::make_unique<TArgItem>(5);
  item->SetName("five");
  c.Adopt(std::move(item));
  EXPECT_EQ(c.Find("FIVE")->Value, 5);
}

TEST(HashCollectionTest, SetIndexMovesAndRenumbers) {
  THashCollection c;
  for (const char* n : {"a", "b", "c", "d"}) c.AddNamed(n);
  c[0]->SetIndex(2);  // b c a d
  EXPECT_EQ(c[2]->Name(), "a");
  EXPECT_EQ(c.IndexOf("a"), 2);
  EXPECT_EQ(c.IndexOf("b"), 0);
  c[3]->SetIndex(0);  // d b c a
  EXPECT_EQ(c.IndexOf("d"), 0);
  EXPECT_EQ(c.IndexOf("a"), 3);
  ExpectConsistent(c);
  EXPECT_THROW(c[0]->SetIndex(4), EKestError);
}

}  // namespace
}  // namespace kest
