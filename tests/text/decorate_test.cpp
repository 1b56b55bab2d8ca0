#include <gtest/gtest.h>

#include "text/decorate.h"

namespace kest {
namespace {

TEST(DecorateList, InternsCountsAndChangesRecords) {
  TDecorateList list;
  TDecorateValues bold;
  bold.Style = kStyleBold;
  TDecorate* a = list.Acquire({});
  EXPECT_EQ(list.Acquire({}), a);
  TDecorate* b = list.Acquire(bold);
  EXPECT_EQ(a->RefCount, 2);
  EXPECT_EQ(list.Count(), 2);

  // Re-point to an equal record.
  EXPECT_EQ(list.Change(a, bold), b);
  EXPECT_EQ(a->RefCount, 1);
  EXPECT_EQ(b->RefCount, 2);
  // Split off when others share it.
  TDecorateValues red;
  red.FontColor = 0xFF;
  TDecorate* c = list.Change(b, red);
  EXPECT_NE(c, b);
  EXPECT_EQ(b->RefCount, 1);
  EXPECT_EQ(list.Count(), 3);
  // Edit in place for the only user; the record is found by its new values.
  red.FontSize = 30;
  EXPECT_EQ(list.Change(c, red), c);
  EXPECT_EQ(list.Acquire(red), c);
  EXPECT_EQ(c->RefCount, 2);
  // Gone at 0.
  list.Release(a);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.IndexOf(c), 1);
  EXPECT_EQ(list.Acquire({})->RefCount, 1) << "a new record once the old one went";
}

}  // namespace
}  // namespace kest
