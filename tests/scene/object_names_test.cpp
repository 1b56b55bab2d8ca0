#include "scene/object_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/sjis.h"

namespace kest {
namespace {

TNameTaken In(const std::set<std::string>& names) {
  return [&names](std::string_view name) { return names.contains(std::string(name)); };
}

TEST(ObjectNames, CollisionNamesCountFromAProperSuffix) {
  const std::set<std::string> names{"a", "a_2", "pic_5", "a_1", "x_0", "_5"};
  EXPECT_EQ(CollisionName("a", In(names)), "a_3");
  EXPECT_EQ(CollisionName("pic_5", In(names)), "pic_6");
  EXPECT_EQ(CollisionName("a_1", In(names)), "a_1_2");
  EXPECT_EQ(CollisionName("x_0", In(names)), "x_0_2");
  // An underscore in the first character does not count.
  EXPECT_EQ(CollisionName("_5", In(names)), "_5_2");
  EXPECT_EQ(CollisionName("b_99999999999", In(names)), "b_99999999999_2");
}

TEST(ObjectNames, CollisionNamesWalkCharactersNotBytes) {
  // The second byte of ダ is 0x5F, the byte of "_".
  const std::string name = Utf8ToCp932("アダ3");
  const std::set<std::string> names{name};
  EXPECT_EQ(CollisionName(name, In(names)), name + "_2");
}

TEST(ObjectNames, AutomaticNamesTakeTheFirstFreeCounter) {
  EXPECT_EQ(AutomaticName(In({})), "object0");
  EXPECT_EQ(AutomaticName(In({"object0", "object1", "object3"})), "object2");
}

}  // namespace
}  // namespace kest
