#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/param_collection.h"
#include "language/param_system.h"
#include "language/system_variables.h"
#include "language/typed_param.h"

namespace kest {
namespace {

std::string ErrorText(const std::function<void()>& f) {
  try {
    f();
  } catch (const EKestError& e) {
    return Cp932ToUtf8(e.what());
  }
  return "(no error)";
}

TParamCollectionItem* NewVar(TParamCollection& store, const char* name, uint8_t type, uint8_t scope, int32_t v) {
  TVarCreation made = store.CreateVar(name, type, scope);
  if (made.AssignInitial) made.Item->SetAsInt(v);
  return made.Item;
}

TEST(ParamCollection, StartsWithTheSystemVariables) {
  TParamCollection store;
  ASSERT_EQ(store.Count(), kSysVarCount);
  EXPECT_EQ(store.Items(0)->Name(), "@Result");
  EXPECT_EQ(store.Items(50)->Name(), "@StackCount");
  EXPECT_EQ(store.FindVar("@mousex"), store.Items(SV_MOUSEX));
  EXPECT_EQ(store.TextDelay, 50);
}

TEST(ParamCollection, NamesAreValidated) {
  TParamCollection store;
  EXPECT_EQ(ErrorText([&] { store.CreateVar("1abc", PT_INT, PS_GLOBAL); }), "\"1abc\"：変数名が不正です");
  EXPECT_EQ(ErrorText([&] { store.CreateVar("a b", PT_INT, PS_GLOBAL); }), "\"a b\"：変数名が不正です");
  EXPECT_EQ(ErrorText([&] { store.CreateVar("", PT_INT, PS_GLOBAL); }), "\"\"：変数名が不正です");
  EXPECT_EQ(store.Count(), kSysVarCount);
  EXPECT_NO_THROW(store.CreateVar("a1", PT_INT, PS_GLOBAL));
  EXPECT_NO_THROW(store.CreateVar("\x95\x5C", PT_INT, PS_GLOBAL));  // 表: its trail byte is "\"
}

TEST(ParamCollection, LookupIgnoresCaseOfAsciiLettersOnly) {
  TParamCollection store;
  NewVar(store, "Score", PT_INT, PS_GLOBAL, 3);
  EXPECT_EQ(store.FindVar("SCORE")->GetAsInt(), 3);
  NewVar(store, "\x83\x41", PT_INT, PS_GLOBAL, 1);  // ア
  EXPECT_EQ(store.FindVar("\x83\x61"), nullptr);
}

TEST(ParamCollection, LocalsAreSeenOnlyAtTheirDepth) {
  TParamCollection store;
  NewVar(store, "i", PT_INT, PS_GLOBAL, 100);
  store.CurrentLocalId = 1;
  NewVar(store, "i", PT_INT, PS_LOCAL, 1);
  EXPECT_EQ(store.FindVar("i")->GetAsInt(), 1);
  store.CurrentLocalId = 2;
  EXPECT_EQ(store.FindVar("i")->GetAsInt(), 100);
  NewVar(store, "i", PT_INT, PS_LOCAL, 2);
  EXPECT_EQ(store.FindVar("i")->GetAsInt(), 2);
  store.DeleteOwned(2);
  EXPECT_EQ(store.FindVar("i")->GetAsInt(), 100);
  store.CurrentLocalId = 1;
  EXPECT_EQ(store.FindVar("i")->GetAsInt(), 1);
}

TEST(ParamCollection, LocalWithoutGlobalIsNotFoundElsewhere) {
  TParamCollection store;
  store.CurrentLocalId = 1;
  NewVar(store, "j", PT_INT, PS_LOCAL, 1);
  store.CurrentLocalId = 2;
  EXPECT_EQ(store.FindVar("j"), nullptr);
  EXPECT_EQ(store.IndexOf("j"), -1);
}

TEST(ParamCollection, OldestOfEqualNamesWins) {
  TParamCollection store;
  TParamCollectionItem* first = store.AddVar(PT_INT);
  first->SetName("dup");
  first->SetAsInt(1);
  TParamCollectionItem* second = store.AddVar(PT_INT);
  second->SetName("DUP");
  second->SetAsInt(2);
  EXPECT_EQ(store.FindVar("dup"), first);
  EXPECT_EQ(store.FindScoped("dup", false), second);
}

TEST(ParamCollection, AutoDeleteVariablesGoWithTheirFrame) {
  TParamCollection store;
  store.CurrentLocalId = 3;
  TParamCollectionItem* temp = NewVar(store, "tmp", PT_STR, PS_AUTODELETE, 0);
  EXPECT_EQ(temp->OwnerId, 3);
  EXPECT_FALSE(temp->IsLocal);
  store.CurrentLocalId = 4;
  EXPECT_NE(store.FindVar("tmp"), nullptr);  // seen from deeper calls
  store.DeleteOwned(3);
  EXPECT_EQ(store.FindVar("tmp"), nullptr);
  store.DeleteOwned(-1);  // owned by nothing: globals and system variables stay
  EXPECT_EQ(store.Count(), kSysVarCount);
}

TEST(ParamCollection, PageVariablesGoWithTheirPage) {
  TParamCollection store;
  const std::string name = TParamCollection::PageVarName("title.ksb");
  NewVar(store, name.c_str(), PT_INT, PS_GLOBAL, 5);
  NewVar(store, "kept", PT_INT, PS_GLOBAL, 1);
  store.DeletePageVars("other.ksb");
  EXPECT_NE(store.FindVar(name), nullptr);
  store.DeletePageVars("title.ksb");
  EXPECT_EQ(store.FindVar(name), nullptr);
  EXPECT_NE(store.FindVar("kept"), nullptr);
}

TEST(ParamCollection, StatusVariablesKeepTheirValueAndSurviveAReset) {
  TParamCollection store;
  NewVar(store, "cleared", PT_INT, PS_STATUS, 7);
  EXPECT_EQ(store.FindVar("cleared")->GetAsInt(), 7);
  store.FindVar("cleared")->SetAsInt(9);
  NewVar(store, "cleared", PT_INT, PS_STATUS, 7);  // created again: keeps 9
  EXPECT_EQ(store.FindVar("cleared")->GetAsInt(), 9);
  NewVar(store, "g", PT_INT, PS_GLOBAL, 1);
  NewVar(store, "g", PT_INT, PS_GLOBAL, 2);  // an existing global takes the new value
  EXPECT_EQ(store.FindVar("g")->GetAsInt(), 2);
  store.TextDelay = 10;
  store.CursorName = "hand.cur";
  store.ClearGameVars();
  EXPECT_EQ(store.FindVar("g"), nullptr);
  EXPECT_EQ(store.FindVar("cleared")->GetAsInt(), 9);
  EXPECT_EQ(store.TextDelay, 50);
  EXPECT_EQ(store.CursorName, "");
  EXPECT_EQ(store.Count(), kSysVarCount + 1);
}

TEST(ParamCollection, ValueCopies) {
  TParamCollection store;
  TParamCollectionItem* a = NewVar(store, "a", PT_FLOAT, PS_GLOBAL, 0);
  const int32_t dims[] = {2, 2};
  a->Value()->SetDims(dims);
  a->Value()->SetFloat(3, 2.5L);
  TParamPtr copy = store.GetValueCopy("a");
  a->Value()->SetFloat(3, 0);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->ParamType(), PT_FLOAT);
  EXPECT_EQ(copy->Dims(), std::vector<int32_t>({2, 2}));
  EXPECT_EQ(copy->GetFloat(3), 2.5L);
  EXPECT_EQ(store.GetValueCopy("missing"), nullptr);
  store.SelIndex = 4;
  EXPECT_EQ(store.GetValueCopy("@SelIndex")->GetAsInt(), 4);
  TParamCollectionItem* ref = store.AddVar(PT_NONE);
  ref->SetName("r");
  EXPECT_EQ(ErrorText([&] { store.GetValueCopy("r"); }), "r:不正な変数です");
  EXPECT_EQ(ErrorText([&] { store.AddVar(9); }), "内部エラー");
}

}  // namespace
}  // namespace kest
