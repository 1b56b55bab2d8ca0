// Expression records assembled by hand from the record layout: reading,
// writing back byte for byte, and what the evaluator does with them.
#include <array>
#include <climits>
#include <cmath>

#include "common/errors.h"
#include "language/expression_fixture.h"
#include "language/function_table.h"
#include "language/typed_param.h"

namespace kest::test {
namespace {

constexpr uint8_t kFloat15[10] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F};  // 1.5

// a = x + y * 2, as the builder lays it out.
RecordBytes SumRecord() {
  RecordBytes r;
  r.Int(3);
  RecordBytes mul = OpHead(ocMul, "____0", 2);
  IntOperand(RefOperand(mul, "y"), 2);
  RecordBytes plus = OpHead(ocPlus, "____1", 2);
  RefOperand(RefOperand(plus, "x"), "____0");
  RecordBytes to = OpHead(ocTo, "a", 1);
  RefOperand(to, "____1");
  return r.Append(mul).Append(plus).Append(to);
}

// One operation into result from two operands given as records.
RecordBytes Single(uint8_t op, std::string_view result, const RecordBytes& operands, int32_t count = 2) {
  RecordBytes r;
  r.Int(1);
  r.Append(OpHead(op, result, count));
  return r.Append(operands);
}

RecordBytes Ints(int32_t a, int32_t b) {
  RecordBytes r;
  IntOperand(r, a);
  return IntOperand(r, b);
}

using KestParserTest = ExpressionTest;

TEST_F(KestParserTest, HandAssembledRecordRunsAndWritesBackExactly) {
  Var("x", PT_INT).SetAsInt(1);
  Var("y", PT_INT).SetAsInt(3);
  Var("a", PT_STR);
  const RecordBytes record = SumRecord();
  TKestParser p = Load(record.Bytes());
  ASSERT_EQ(p.Operations().size(), 3u);
  EXPECT_EQ(p.Operations()[1].Operands[1].Name(), "____0");
  EXPECT_EQ(Save(p), record.Bytes());
  EXPECT_EQ(Compiled("a = x + y * 2"), record.Bytes());
  const int32_t before = Store.Count();
  p.Execute(Store, Funcs);
  EXPECT_EQ(Find("a")->GetAsStr(), "7");
  EXPECT_EQ(p.Result(), nullptr);
  EXPECT_EQ(Store.Count(), before) << "temporaries leave the store";
  Find("y")->SetAsInt(10);
  p.Execute(Store, Funcs);
  EXPECT_EQ(Find("a")->GetAsStr(), "21") << "every run looks the names up anew";
}

TEST_F(KestParserTest, LiteralsOfEveryTagAndUnknownTags) {
  RecordBytes r;
  r.Int(2);
  r.Append(OpHead(ocPlus, "____0", 2));
  r.Byte(2).Raw({kFloat15[0], kFloat15[1], kFloat15[2], kFloat15[3], kFloat15[4], kFloat15[5], kFloat15[6], kFloat15[7],
                 kFloat15[8], kFloat15[9]});
  FlagOperand(r, true);
  r.Append(OpHead(ocTo, "____arg", 1));
  RefOperand(r, "____0");
  TKestParser p = Load(r.Bytes());
  EXPECT_EQ(Save(p), r.Bytes());
  p.Execute(Store, Funcs);
  ASSERT_NE(p.Result(), nullptr);
  EXPECT_EQ(p.Result()->ParamType(), PT_FLOAT);
  EXPECT_EQ(p.Result()->GetAsFloat(), 2.5L);

  // A tag beyond 4 names a variable, and is written back as one.
  RecordBytes odd;
  odd.Int(1).Append(OpHead(ocTo, "____arg", 1)).Byte(9).Str("v");
  Var("v", PT_STR).SetAsStr("hi");
  TKestParser q = Load(odd.Bytes());
  q.Execute(Store, Funcs);
  ASSERT_NE(q.Result(), nullptr);
  EXPECT_EQ(q.Result()->GetAsStr(), "hi");
  std::vector<uint8_t> expected = odd.Bytes();
  expected[4 + 1 + 4 + 7 + 4] = 0;
  EXPECT_EQ(Save(q), expected);
}

TEST_F(KestParserTest, ArithmeticFollowsTheResultAndComparisonsTheLeftOperand) {
  TCustomParam& f = Var("f", PT_FLOAT);
  Load(Single(ocDiv, "f", Ints(7, 2)).Bytes()).Execute(Store, Funcs);
  EXPECT_EQ(f.GetAsFloat(), 3.5L) << "a float result divides as floats";
  TCustomParam& i = Var("i", PT_INT);
  Load(Single(ocDiv, "i", Ints(-7, 2)).Bytes()).Execute(Store, Funcs);
  EXPECT_EQ(i.GetAsInt(), -3);
  TCustomParam& s = Var("s", PT_STR);
  RecordBytes strs;
  StrOperand(StrOperand(strs, "1"), "2");
  Load(Single(ocPlus, "s", strs).Bytes()).Execute(Store, Funcs);
  EXPECT_EQ(s.GetAsStr(), "3");
  Load(Single(ocComboStr, "s", strs).Bytes()).Execute(Store, Funcs);
  EXPECT_EQ(s.GetAsStr(), "12");

  TCustomParam& b = Var("b", PT_BOOL);
  RecordBytes mixed;
  IntOperand(mixed, 1).Byte(2).Raw({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F});
  Load(Single(ocEqual, "b", mixed).Bytes()).Execute(Store, Funcs);
  EXPECT_TRUE(b.GetAsFlag()) << "1 == 1.5 compares as integers";
  RecordBytes swapped;
  swapped.Byte(2).Raw({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F});
  IntOperand(swapped, 1);
  Load(Single(ocEqual, "b", swapped).Bytes()).Execute(Store, Funcs);
  EXPECT_FALSE(b.GetAsFlag()) << "1.5 == 1 compares as floats";
}

TEST_F(KestParserTest, StringsCompareByUnsignedBytesWithPrefixesSmaller) {
  TCustomParam& b = Var("b", PT_BOOL);
  auto compare = [&](uint8_t op, std::string_view l, std::string_view r) {
    RecordBytes o;
    StrOperand(StrOperand(o, l), r);
    Load(Single(op, "b", o).Bytes()).Execute(Store, Funcs);
    return b.GetAsFlag();
  };
  EXPECT_TRUE(compare(ocBig, "a", "B"));
  EXPECT_TRUE(compare(ocBig, "\x81\x40", "z"));
  EXPECT_TRUE(compare(ocSmall, "ab", "abc"));
  EXPECT_TRUE(compare(ocESmall, "abc", "abc"));
  EXPECT_FALSE(compare(ocEqual, "abc", "ABC"));
  EXPECT_TRUE(compare(ocNEqual, "abc", "ABC"));
  EXPECT_FALSE(compare(ocEBig, "", "a"));
}

TEST_F(KestParserTest, IntegerEdgesWrapInsteadOfTrapping) {
  TCustomParam& i = Var("i", PT_INT);
  auto run = [&](uint8_t op, int32_t a, int32_t b) {
    i.SetAsInt(12345);
    TKestParser p = Load(Single(op, "i", Ints(a, b)).Bytes());
    p.Execute(Store, Funcs);
    return p.LastError().empty() ? std::to_string(i.GetAsInt()) : "error";
  };
  EXPECT_EQ(run(ocDiv, INT_MIN, -1), std::to_string(INT_MIN));
  EXPECT_EQ(run(ocMod, INT_MIN, -1), "0");
  EXPECT_EQ(run(ocMod, -7, 2), "-1");
  EXPECT_EQ(run(ocPlus, INT_MAX, 1), std::to_string(INT_MIN));
  EXPECT_EQ(run(ocMul, 65536, 65536), "0");
  EXPECT_EQ(run(ocDiv, 1, 0), "error");
  EXPECT_EQ(run(ocMod, 1, 0), "error");
  EXPECT_EQ(i.GetAsInt(), 12345) << "a failed operation writes nothing";
  EXPECT_EQ(run(ocShiftL, 1, 31), std::to_string(INT_MIN));
  EXPECT_EQ(run(ocShiftL, 1, 32), "1");
  EXPECT_EQ(run(ocShiftL, 1, -1), std::to_string(INT_MIN));
  EXPECT_EQ(run(ocShiftR, -1, 28), "15");
  EXPECT_EQ(run(ocShiftR, 256, 36), "16");
  EXPECT_EQ(run(ocXor, 6, 3), "5");
}

TEST_F(KestParserTest, FloatDivisionByZeroAndOverflowEndTheEvaluation) {
  TCustomParam& f = Var("f", PT_FLOAT);
  f.SetAsFloat(1);
  Load(Single(ocDiv, "f", Ints(1, 0)).Bytes()).Execute(Store, Funcs);
  EXPECT_EQ(f.GetAsFloat(), 1);
  RecordBytes huge;
  // The largest extended value, twice.
  for (int k = 0; k < 2; ++k) huge.Byte(2).Raw({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x7F});
  TKestParser p = Load(Single(ocMul, "f", huge).Bytes());
  p.Execute(Store, Funcs);
  EXPECT_FALSE(p.LastError().empty());
  EXPECT_EQ(f.GetAsFloat(), 1);
}

TEST_F(KestParserTest, FirstErrorStopsSilentlyWithEarlierWritesDone) {
  Var("a", PT_INT);
  Var("c", PT_INT);
  RecordBytes r;
  r.Int(3);
  IntOperand(r.Append(OpHead(ocTo, "a", 1)), 5);
  RefOperand(r.Append(OpHead(ocTo, "c", 1)), "missing");
  IntOperand(r.Append(OpHead(ocTo, "____arg", 1)), 9);
  TKestParser p = Load(r.Bytes());
  Find("c")->SetAsInt(1);
  p.Execute(Store, Funcs);
  EXPECT_EQ(Find("a")->GetAsInt(), 5);
  EXPECT_EQ(Find("c")->GetAsInt(), 1);
  EXPECT_EQ(p.Result(), nullptr);
  EXPECT_EQ(p.LastError(), "\"missing\" " + Utf8ToCp932("変数がありません"));
}

TEST_F(KestParserTest, InvalidCodesAndShortOperandListsEndTheEvaluation) {
  Var("a", PT_INT);
  for (uint8_t code : {uint8_t{ocNone}, uint8_t{21}, uint8_t{255}}) {
    RecordBytes r;
    r.Int(1);
    IntOperand(IntOperand(r.Append(OpHead(code, "____0", 2)), 4), 5);
    TKestParser p = Load(r.Bytes());
    EXPECT_EQ(Save(p), r.Bytes());
    p.Execute(Store, Funcs);
    EXPECT_TRUE(p.LastError().starts_with(Utf8ToCp932("不正な式\r\n\r\n代入先:____0演算タイプ:"))) << int{code};
    EXPECT_TRUE(p.LastError().ends_with("\r\n4\r\n5"));
  }
  RecordBytes shortPlus;
  shortPlus.Int(1);
  IntOperand(shortPlus.Append(OpHead(ocPlus, "a", 1)), 4);
  TKestParser p = Load(shortPlus.Bytes());
  p.Execute(Store, Funcs);
  EXPECT_FALSE(p.LastError().empty());
}

TEST_F(KestParserTest, FunctionNumbersDispatchThroughTheTable) {
  RecordBytes r;
  r.Int(2);
  StrOperand(r.Append(OpHead(ocFunc, "____0", 1, 5)), "abcd");
  RefOperand(r.Append(OpHead(ocTo, "____arg", 1)), "____0");
  TKestParser p = Load(r.Bytes());
  EXPECT_EQ(Save(p), r.Bytes());
  p.Execute(Store, Funcs);
  ASSERT_NE(p.Result(), nullptr);
  EXPECT_EQ(p.Result()->ParamType(), PT_INT);
  EXPECT_EQ(p.Result()->GetAsInt(), 4);

  // Number 20 has no row, 161 is beyond the table, 19 has its body taken away.
  Funcs.Register(19, nullptr);
  for (uint8_t id : {20, 161, 19}) {
    Var("a", PT_INT).SetAsInt(0);
    RecordBytes q;
    q.Int(2);
    IntOperand(q.Append(OpHead(ocTo, "a", 1)), 1);
    StrOperand(q.Append(OpHead(ocFunc, "____0", 1, id)), "x");
    TKestParser f = Load(q.Bytes());
    EXPECT_EQ(Save(f), q.Bytes());
    f.Execute(Store, Funcs);
    EXPECT_EQ(Find("a")->GetAsInt(), 1);
    EXPECT_FALSE(f.LastError().empty()) << int{id};
  }
}

TEST_F(KestParserTest, StoredCallsWithTheWrongArgumentCountAreRefused) {
  RecordBytes prop;
  prop.Int(1);
  StrOperand(prop.Append(OpHead(ocFunc, "____0", 1, kFuncGetProp)), "name");
  TKestParser getProp = Load(prop.Bytes());
  getProp.Execute(Store, Funcs);
  EXPECT_EQ(getProp.LastError(), "GetProp" + Utf8ToCp932(" 引数の数が不正です"));
  for (int32_t count : {0, 2}) {
    RecordBytes r;
    r.Int(1);
    r.Append(OpHead(ocFunc, "____0", count, 5));
    for (int32_t k = 0; k < count; ++k) StrOperand(r, "abc");
    TKestParser p = Load(r.Bytes());
    p.Execute(Store, Funcs);
    EXPECT_EQ(p.LastError(), "Length" + Utf8ToCp932(" 引数の数が不正です"));
  }
}

// A stored call may write its result straight into a store variable, which
// the nested text of Calc can destroy (PopVar making it again with another
// type): the flag must not land in the freed variable. A dimension counted
// from the last by the smallest integer must not overflow.
TEST_F(KestParserTest, CallsWhoseArgumentsDestroyOrOverflowStaySafe) {
  Var("x", PT_STR).SetAsStr("kept");
  Run("PushVar(\"x\")");
  Store.Delete(Store.IndexOf("x"));
  Var("x", PT_INT);
  RecordBytes calc;
  calc.Int(1);
  StrOperand(calc.Append(OpHead(ocFunc, "x", 1, kFuncCalc)), "PopVar()");
  TKestParser p = Load(calc.Bytes());
  p.Execute(Store, Funcs);
  EXPECT_TRUE(p.LastError().empty()) << p.LastError();
  EXPECT_EQ(Find("x")->GetAsStr(), "kept") << "the popped variable is the one left";

  TCustomParam& a = Var("a", PT_INT);
  const std::array<int32_t, 2> dims{3, 4};
  a.SetDims(dims);
  Var("n", PT_INT);
  Run("n = GetArraySize(a, $80000000)");
  EXPECT_EQ(Find("n")->GetAsInt(), 1) << "a dimension out of range counts 1";
}

TEST_F(KestParserTest, GetPropTakesThePropertyTypeAndRefusesBadNumbers) {
  struct TTypes : IPropertyTypes {
    uint8_t PropertyType(int32_t property) override { return property == 7 ? PT_INT : PT_BOOL; }
  } types;
  Funcs.PropertyTypes = &types;
  Funcs.Register(kFuncGetProp, [](TFuncCall& c) { c.Result.SetAsStr("12"); });
  for (int32_t property : {7, 8, 165, -1}) {
    RecordBytes r;
    r.Int(2);
    IntOperand(StrOperand(r.Append(OpHead(ocFunc, "____0", 2, kFuncGetProp)), "img"), property);
    RefOperand(r.Append(OpHead(ocTo, "____arg", 1)), "____0");
    TKestParser p = Load(r.Bytes());
    p.Execute(Store, Funcs);
    if (property == 7) {
      ASSERT_NE(p.Result(), nullptr);
      EXPECT_EQ(p.Result()->ParamType(), PT_INT);
      EXPECT_EQ(p.Result()->GetAsInt(), 12);
    } else if (property == 8) {
      ASSERT_NE(p.Result(), nullptr);
      EXPECT_EQ(p.Result()->ParamType(), PT_BOOL);
    } else {
      EXPECT_EQ(p.LastError(), Utf8ToCp932("GetPropの引数が違います")) << property;
    }
  }
}

TEST_F(KestParserTest, BodiesRegisteredLaterAreCalledWithoutEvaluatorChanges) {
  Funcs.Register(19, [](TFuncCall& c) { c.Result.SetAsFlag(c.Str(0) == "yes"); });
  RecordBytes r;
  r.Int(2);
  StrOperand(r.Append(OpHead(ocFunc, "____0", 1, 19)), "yes");
  RefOperand(r.Append(OpHead(ocTo, "____arg", 1)), "____0");
  TKestParser p = Load(r.Bytes());
  p.Execute(Store, Funcs);
  ASSERT_NE(p.Result(), nullptr);
  EXPECT_EQ(p.Result()->ParamType(), PT_BOOL);
  EXPECT_TRUE(p.Result()->GetAsFlag());
}

TEST_F(KestParserTest, ElementReferencesWriteIntoTheArray) {
  TCustomParam& x = Var("x", PT_INT);
  const int32_t dims[] = {3, 4};
  x.SetDims(dims);
  RecordBytes r;
  r.Int(2);
  IntOperand(IntOperand(RefOperand(r.Append(OpHead(ocDimTo, "____d_0", 3)), "x"), 1), 2);
  IntOperand(r.Append(OpHead(ocTo, "____d_0", 1)), 5);
  TKestParser p = Load(r.Bytes());
  p.Execute(Store, Funcs);
  EXPECT_TRUE(p.LastError().empty()) << p.LastError();
  EXPECT_EQ(x.GetInt(6), 5);
  EXPECT_EQ(x.Count(), 12);

  // An index beyond the array stops the evaluation.
  RecordBytes bad;
  bad.Int(2);
  IntOperand(IntOperand(RefOperand(bad.Append(OpHead(ocDimTo, "____d_0", 3)), "x"), 3), 0);
  IntOperand(bad.Append(OpHead(ocTo, "____d_0", 1)), 7);
  TKestParser q = Load(bad.Bytes());
  q.Execute(Store, Funcs);
  EXPECT_FALSE(q.LastError().empty());
}

TEST_F(KestParserTest, AssignCopiesEveryOperation) {
  Var("x", PT_INT).SetAsInt(2);
  Var("y", PT_INT).SetAsInt(3);
  Var("a", PT_INT);
  TKestParser original = Load(SumRecord().Bytes());
  TKestParser copy;
  copy.Assign(original);
  original.Clear();
  EXPECT_EQ(Save(copy), SumRecord().Bytes());
  copy.Execute(Store, Funcs);
  EXPECT_EQ(Find("a")->GetAsInt(), 8);
}

TEST_F(KestParserTest, DamagedRecordsAreRefusedBeforeAllocating) {
  const std::vector<std::vector<uint8_t>> damaged = {
      RecordBytes().Int(-1).Bytes(),
      RecordBytes().Int(0x7FFFFFFF).Bytes(),
      RecordBytes().Int(1).Byte(ocTo).Str("a").Int(0x40000000).Bytes(),
      RecordBytes().Int(1).Byte(ocTo).Str("a").Int(-5).Bytes(),
      RecordBytes().Int(1).Byte(ocTo).Str("a").Int(1).Byte(4).Int(1000).Bytes(),
      RecordBytes().Int(1).Byte(ocTo).Int(100).Bytes(),
      RecordBytes().Int(1).Byte(ocFunc).Str("a").Int(0).Bytes(),
      RecordBytes().Int(1).Byte(ocTo).Str("a").Int(1).Byte(2).Raw({1, 2, 3}).Bytes(),
  };
  for (const auto& bytes : damaged) {
    TKestParser p = Load(SumRecord().Bytes());
    TByteStream in{std::span<const uint8_t>(bytes)};
    EXPECT_THROW(p.LoadFromStream(in), EReadError);
    EXPECT_EQ(Save(p), SumRecord().Bytes()) << "a refused record leaves the parser as it was";
  }
}

TEST_F(KestParserTest, ReentrantRunsKeepTheirOwnTemporaries) {
  // A body (of an integer function) that runs the very expression it is
  // called from, once.
  static TKestParser* self = nullptr;
  Funcs.Register(142, [](TFuncCall& c) {
    if (c.Funcs.Nesting() < 2) self->Execute(c.Store, c.Funcs);
    c.Result.SetAsInt(10);
  });
  Var("n", PT_INT).SetAsInt(0);
  RecordBytes r;
  r.Int(4);
  IntOperand(RefOperand(r.Append(OpHead(ocPlus, "____0", 2)), "n"), 1);
  StrOperand(r.Append(OpHead(ocFunc, "____1", 1, 142)), "");
  RefOperand(RefOperand(r.Append(OpHead(ocPlus, "____2", 2)), "____0"), "____1");
  RefOperand(r.Append(OpHead(ocTo, "n", 1)), "____2");
  TKestParser p = Load(r.Bytes());
  self = &p;
  p.Execute(Store, Funcs);
  // The inner run sets n to 11; the outer one still adds its own n + 1 = 1.
  EXPECT_EQ(Find("n")->GetAsInt(), 11) << p.LastError();
  EXPECT_EQ(Funcs.Nesting(), 0);
  self = nullptr;
}

}  // namespace
}  // namespace kest::test
