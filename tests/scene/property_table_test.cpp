#include "scene/property_table.h"

#include <gtest/gtest.h>

#include <map>
#include <span>
#include <string>

#include "common/errors.h"
#include "language/typed_param.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"

namespace kest {
namespace {

// A value of the property's type that no property holds at creation.
TPropValue Distinct(const TPropertyInfo& info, const TPropValue& current) {
  switch (info.Type) {
    case TPropType::Int: return int32_t{4};
    case TPropType::Float: return 2.5L;
    case TPropType::Bool: return !std::get<bool>(current);
    case TPropType::Str: break;
  }
  return std::string("v");
}

// Every id answers in its type; a fresh object holds the default (or its
// own creation value); what the kind keeps round-trips, the rest is ignored,
// and read-only ids refuse quietly.
void CheckEveryId(TKestObject& object, const std::map<int32_t, TPropValue>& creation) {
  for (const TPropertyInfo& info : Properties()) {
    SCOPED_TRACE(info.Name);
    if (info.Id == PR_APPEARX || info.Id == PR_APPEARY) {
      EXPECT_THROW(WriteProperty(object, info.Id, int32_t{1}), EKestError);
      EXPECT_EQ(ReadProperty(object, info.Id), TPropValue(int32_t{0}));
      continue;
    }
    const TPropValue before = ReadProperty(object, info.Id);
    ASSERT_EQ(before.index(), static_cast<size_t>(info.Type));
    auto own = creation.find(info.Id);
    EXPECT_EQ(before, own != creation.end() ? own->second : DefaultValue(info));
    if (info.Id == PR_NAME || info.Id == PR_PARENT) continue;
    const TPropValue wanted = Distinct(info, before);
    WriteProperty(object, info.Id, wanted);
    const bool kept = object.Keeps(info) && !info.ReadOnly;
    EXPECT_EQ(ReadProperty(object, info.Id), kept ? wanted : before);
  }
}

// What a creating command gives: every applied id once, name and parent
// first and the picture before the size; the values of the types.
TEST(PropertyTable, CreationColumns) {
  const std::span<const int32_t> order = CreationOrder();
  ASSERT_GE(order.size(), 4u);
  EXPECT_EQ(order[0], PR_NAME);
  EXPECT_EQ(order[1], PR_PARENT);
  EXPECT_EQ(order[2], PR_SOURCE);
  std::map<int32_t, size_t> at;
  for (size_t i = 0; i < order.size(); ++i) EXPECT_TRUE(at.emplace(order[i], i).second) << order[i];
  EXPECT_LT(at[PR_ZOOMX], at[PR_WIDTH]) << "the size, given after the zoom, wins";
  EXPECT_LT(at[PR_WIDTH], at[PR_LEFT]);
  for (const TPropertyInfo& info : Properties()) {
    SCOPED_TRACE(info.Name);
    EXPECT_EQ(at.contains(info.Id), info.ApplyRank >= 0);
    const TPropValue value = CreationValue(info);
    ASSERT_EQ(value.index(), static_cast<size_t>(info.Type));
    if (info.Type == TPropType::Bool) {
      EXPECT_TRUE(info.Creation == 0 || info.Creation == 1);
    } else if (info.Type != TPropType::Int) {
      EXPECT_EQ(info.Creation, 0);
    }
  }
  EXPECT_EQ(CreationValue(*PropertyInfo(PR_ALPHA)), TPropValue(int32_t{255}));
  EXPECT_EQ(CreationValue(*PropertyInfo(PR_VISIBLE)), TPropValue(true));
  EXPECT_LT(PropertyInfo(PR_CARETX)->ApplyRank, 0) << "the caret is never given";
}

TEST(PropertyTable, EveryIdOnAControl) {
  TKestBaseList scene;
  TKestObject& box = *scene.CreateByKind(LT_BOX);
  // A new box fills nothing: its colour starts at -1, not the table's default.
  CheckEveryId(box, {{PR_NAME, std::string("object0")},
                     {PR_VISIBLE, true},
                     {PR_COLOR, int32_t{-1}},
                     {PR_COMPOTYPE, int32_t{LT_BOX}}});
}

TEST(PropertyTable, EveryIdOnABaseScreen) {
  TKestBaseList scene;
  CheckEveryId(scene.FrontBase(), {{PR_NAME, std::string("\x01"
                                                         "BASE0")},
                                   {PR_VISIBLE, true},
                                   {PR_COLOR, 0}});
}

TEST(PropertyTable, EveryIdOnANonVisualObject) {
  TKestBaseList scene;
  TKestObject& timer = *scene.CreateByKind(LT_TIMER);
  CheckEveryId(timer, {{PR_NAME, std::string("object0")}, {PR_COMPOTYPE, int32_t{LT_TIMER}}});
}

TEST(PropertyTable, IdsOutsideTheTableAreErrors) {
  TKestBaseList scene;
  TKestObject& box = *scene.CreateByKind(LT_BOX);
  TParamInt value;
  for (int32_t id : {-1, 165, 1000}) {
    EXPECT_THROW(GetProperty(box, id, value), EKestError);
    EXPECT_THROW(SetProperty(box, id, value), EKestError);
  }
}

TEST(PropertyTable, SpecialValues) {
  TKestBaseList scene;
  TKestObject& label = *scene.CreateByKind(LT_LABEL);
  WriteProperty(label, 17, int32_t{5});
  EXPECT_EQ(ReadProperty(label, 17), TPropValue(int32_t{5}));
  WriteProperty(label, 17, int32_t{16});
  EXPECT_EQ(ReadProperty(label, 17), TPropValue(int32_t{0}));
  WriteProperty(label, 48, int32_t{7});  // the column count is kept by nobody
  EXPECT_EQ(ReadProperty(label, 48), TPropValue(int32_t{0}));
  // Values convert as variables do.
  TParamStr text;
  text.SetAsStr("12");
  SetProperty(label, PR_LEFT, text);
  TParamStr out;
  GetProperty(label, PR_LEFT, out);
  EXPECT_EQ(out.GetAsStr(), "12");
}

TEST(PropertyTable, ParentsAreNamedAsScriptsNameThem) {
  TKestBaseList scene;
  TKestObject& a = *scene.CreateByKind(LT_BOX);
  TKestObject& b = *scene.CreateByKind(LT_BOX);
  EXPECT_EQ(ReadProperty(a, PR_PARENT), TPropValue(std::string()));
  WriteProperty(a, PR_PARENT, std::string("\x01"));
  EXPECT_EQ(a.AsControl()->Parent(), &scene.BackBase());
  EXPECT_EQ(ReadProperty(a, PR_PARENT), TPropValue(std::string("\x01")));
  WriteProperty(b, PR_PARENT, std::string("object0"));
  EXPECT_EQ(ReadProperty(b, PR_PARENT), TPropValue(std::string("object0")));
  // Unknown names, the object itself and its descendants are ignored.
  WriteProperty(a, PR_PARENT, std::string("object1"));
  WriteProperty(b, PR_PARENT, std::string("nobody"));
  EXPECT_EQ(ReadProperty(a, PR_PARENT), TPropValue(std::string("\x01")));
  EXPECT_EQ(ReadProperty(b, PR_PARENT), TPropValue(std::string("object0")));
  // Base screens keep their place.
  WriteProperty(scene.FrontBase(), PR_PARENT, std::string("object0"));
  EXPECT_EQ(scene.FrontBase().Parent(), nullptr);
}

TEST(PropertyTable, PriorityResortsSiblingsAndClearsTheOffset) {
  TKestBaseList scene;
  TKestObject& low = *scene.CreateByKind(LT_BOX);
  TKestObject& high = *scene.CreateByKind(LT_BOX);
  low.AsControl()->SetParent(&scene.FrontBase());
  high.AsControl()->SetParent(&scene.FrontBase());
  low.SetPriorityOffset(3);
  WriteProperty(low, PR_PRIORITY, int32_t{10});
  EXPECT_EQ(low.PriorityOffset(), 0);
  EXPECT_EQ(scene.FrontBase().Child(1), low.AsControl());
  WriteProperty(high, PR_PRIORITY, int32_t{11});
  EXPECT_EQ(scene.FrontBase().Child(1), high.AsControl());
}

}  // namespace
}  // namespace kest
