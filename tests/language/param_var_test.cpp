#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/param_collection.h"
#include "language/param_var.h"
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

class ParamVarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Grid = Store.AddVar(PT_INT);
    Grid->SetName("grid");
    const int32_t dims[] = {3, 4};
    Grid->Value()->SetDims(dims);
    for (int32_t i = 0; i < 12; ++i) Grid->Value()->SetInt(i, i);
  }

  TParamCollection Store;
  TParamCollectionItem* Grid = nullptr;
  TParamVar Ref{&Store};
};

TEST_F(ParamVarTest, OffsetsAreBoundedOnlyAsAWhole) {
  const int32_t a[] = {1, 2};
  Ref.SetReference("grid", a);
  EXPECT_EQ(Ref.ElementIndex(), 6);
  EXPECT_EQ(Ref.GetAsInt(), 6);
  const int32_t b[] = {0, 5};
  Ref.SetReference("grid", b);
  EXPECT_EQ(Ref.ElementIndex(), 5);
  const int32_t c[] = {2, 4};
  EXPECT_EQ(ErrorText([&] { Ref.SetReference("grid", c); }), "grid[2,4]\r\n要素数を超えています");
  const int32_t one[] = {1};
  EXPECT_EQ(ErrorText([&] { Ref.SetReference("grid", one); }), "grid[1]\r\n添え字が不正です");
  EXPECT_EQ(ErrorText([&] { Ref.SetReference("none", one); }), "none[1]\r\n添え字が不正です");
}

TEST_F(ParamVarTest, NegativeOffsetFailsOnAccess) {
  const int32_t a[] = {0, -1};
  Ref.SetReference("grid", a);
  EXPECT_EQ(ErrorText([&] { Ref.GetAsInt(); }), "[-1]:配列の添字が不正です");
}

TEST_F(ParamVarTest, ScalarOpsHitTheElementArrayOpsTheWhole) {
  const int32_t a[] = {2, 3};
  Ref.SetReference("grid", a);
  Ref.SetAsStr("77");
  EXPECT_EQ(Grid->Value()->GetInt(11), 77);
  EXPECT_EQ(Ref.Count(), 12);
  EXPECT_EQ(Ref.DimCount(), 2);
  EXPECT_EQ(Ref.GetInt(4), 4);
  EXPECT_EQ(Ref.ParamType(), PT_INT);
  EXPECT_EQ(Ref.RecordType(), PT_NONE);
  Ref.FillInt(1);
  EXPECT_EQ(Grid->Value()->GetInt(0), 1);
}

TEST_F(ParamVarTest, WithoutTargetReadsNothing) {
  EXPECT_EQ(Ref.Count(), 0);
  EXPECT_EQ(Ref.DimCount(), 0);
  EXPECT_EQ(Ref.GetAsStr(), "");
  EXPECT_EQ(Ref.ParamType(), PT_NONE);
  Ref.SetAsInt(5);
  EXPECT_EQ(ErrorText([&] { Ref.Resolve(); }), "\"\" 変数がありません");
}

TEST_F(ParamVarTest, ReadsAsEmptyWhenTheTargetHasGone) {
  const int32_t a[] = {1, 1};
  Ref.SetReference("grid", a);
  delete Grid;
  EXPECT_EQ(Ref.Target(), nullptr);
  EXPECT_EQ(Ref.GetAsInt(), 0);
  EXPECT_EQ(Ref.GetAsStr(), "0");
  EXPECT_EQ(Ref.ParamType(), PT_INT);
  EXPECT_EQ(Ref.Count(), 0);
  Ref.SetAsInt(3);
  EXPECT_EQ(ErrorText([&] { Ref.Resolve(); }), "\"grid\" 変数がありません");
}

TEST_F(ParamVarTest, ReferenceToAReferenceReachesTheSameElement) {
  TParamCollectionItem* inner = Store.AddVar(PT_NONE);
  inner->SetName("inner");
  const int32_t a[] = {2, 0};
  static_cast<TParamVar*>(inner->Value())->SetReference("grid", a);
  TParamVar outer(&Store);
  outer.SetReference("inner", a);
  outer.Resolve();
  EXPECT_EQ(outer.ElementIndex(), 8);
  EXPECT_EQ(outer.GetAsInt(), 8);
}

TEST_F(ParamVarTest, ACycleEndsInNothing) {
  TParamCollectionItem* self = Store.AddVar(PT_NONE);
  self->SetName("self");
  auto* ref = static_cast<TParamVar*>(self->Value());
  // Point it at itself through its stored form, as a damaged save could.
  TByteStream looped;
  WriteInt(looped, 0);
  WriteStr(looped, "self");
  WriteStr(looped, "self");
  WriteByte(looped, 0);
  WriteInt(looped, 0);
  looped.Seek(0);
  ref->LoadFromStream(looped);
  EXPECT_EQ(ref->Target(), self);
  EXPECT_EQ(ref->GetAsInt(), 0);
  EXPECT_EQ(ref->Count(), 0);
  ref->SetAsInt(1);
}

}  // namespace
}  // namespace kest
