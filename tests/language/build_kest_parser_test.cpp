// The builder: what infix text compiles to, operator precedence, literal
// classification, and the texts it refuses.
#include "common/errors.h"
#include "language/expression_fixture.h"
#include "language/function_table.h"

namespace kest::test {
namespace {

// The operations as "ocMul ____0 := y, 2; ...", operand texts unclassified.
std::string Listing(std::string_view text) {
  TBuildKestParser b;
  b.Parse(Utf8ToCp932(text));
  std::string out;
  for (const TBuildOpeData& op : b.Operations()) {
    if (!out.empty()) out += "; ";
    out += std::string(OpName(op.Op)) + " " + op.ResultName + " :=";
    for (size_t k = 0; k < op.Operands.size(); ++k) out += (k ? ", " : " ") + op.Operands[k];
  }
  return Cp932ToUtf8(out);
}

// The build error text of text, converted to UTF-8; empty when it builds.
std::string BuildError(std::string_view text) {
  try {
    TBuildKestParser b;
    b.Parse(Utf8ToCp932(text));
    TByteStream out;
    b.SaveToStream(out);
  } catch (const EKestError& e) {
    return Cp932ToUtf8(e.what());
  }
  return {};
}

using BuilderTest = ExpressionTest;

TEST(BuilderListing, CompilesToThreeAddressOperations) {
  EXPECT_EQ(Listing("a = x + y * 2"), "ocMul ____0 := y, 2; ocPlus ____1 := x, ____0; ocTo a := ____1");
  EXPECT_EQ(Listing("a == 1"), "ocEqual ____0 := a, 1; ocTo ____arg := ____0");
  EXPECT_EQ(Listing("x = Length(\"abc\") + 1"),
            "ocTo ____0 := \"abc\"; ocFunc ____1 := Length, ____0; ocPlus ____2 := ____1, 1; ocTo x := ____2");
  EXPECT_EQ(Listing("(a + b) * z"), "ocPlus ____1 := a, b; ocMul ____2 := ____1, z; ocTo ____arg := ____2");
  EXPECT_EQ(Listing("a = -b"), "ocMinus ____0 := 0, b; ocTo a := ____0");
  EXPECT_EQ(Listing("x[1,2] = 5"), "ocDimTo ____d_0 := x, 1, 2; ocTo ____d_0 := 5");
  EXPECT_EQ(Listing("y = f(g(1), h(a + 1))"),
            "ocPlus ____2 := a, 1; ocFunc ____0 := h, ____2; ocFunc ____3 := g, 1; ocFunc ____4 := f, ____3, ____0; "
            "ocTo y := ____4")
      << "innermost call last-first; an argument with an operator is built into its own temporary";
  EXPECT_EQ(Listing("a[i + 1] = b[j]"),
            "ocDimTo ____d_0 := b, j; ocPlus ____3 := i, 1; ocDimTo ____d_1 := a, ____3; ocTo ____d_1 := ____d_0");
  EXPECT_EQ(Listing("(a)"), "ocTo ____0 := a; ocTo ____arg := ____0") << "a copy from a name stays";
  EXPECT_EQ(Listing(""), "ocTo ____arg := ");
  EXPECT_EQ(Listing("s = \"\""), "ocTo ____0 := \"\"; ocTo s := ____0");
}

TEST(BuilderListing, SignsAndLeadingOperators) {
  EXPECT_EQ(Listing("2 * -3"), "ocMinus ____0 := 0, 3; ocMul ____1 := 2, ____0; ocTo ____arg := ____1");
  EXPECT_EQ(Listing("- - b"), "ocMinus ____0 := 0, b; ocMinus ____1 := 0, ____0; ocTo ____arg := ____1");
  EXPECT_EQ(Listing("-a * b"), "ocMul ____0 := a, b; ocMinus ____1 := 0, ____0; ocTo ____arg := ____1");
  EXPECT_EQ(Listing("+a"), "ocPlus ____0 := 0, a; ocTo ____arg := ____0");
  EXPECT_EQ(Listing("a = +b"), "ocTo a := b");
  EXPECT_EQ(Listing("a ++ -1"), "ocMinus ____0 := 0, 1; ocComboStr ____1 := a, ____0; ocTo ____arg := ____1");
}

TEST(BuilderListing, DoubleByteTextIsWalkedByCharacter) {
  // ー ends in 0x5B and 表 in 0x5C: neither is a bracket nor an escape.
  EXPECT_EQ(Listing("ーマ = \"表\""), "ocTo ____0 := \"表\"; ocTo ーマ := ____0");
  EXPECT_EQ(Listing("x = 表[1]"), "ocDimTo ____d_0 := 表, 1; ocTo x := ____d_0");
  EXPECT_EQ(Listing("s = \"a\\\"b\\\\c\\nd\""), "ocTo ____0 := \"a\"b\\c\r\nd\"; ocTo s := ____0");
  EXPECT_EQ(Listing("s = \"C:\\new\""), "ocTo ____0 := \"C:\r\new\"; ocTo s := ____0");
  EXPECT_EQ(Listing("s = \"\\x\""), "ocTo ____0 := \"\\x\"; ocTo s := ____0");
}

TEST(BuilderErrors, RefusedTexts) {
  const std::string syntax = "構文エラー";
  for (const char* text : {"a = x = y", "a = * x", "a +", "a =", "+", "= a", "a * / b", "\"abc", "f(1", "f(1))", "a ++",
                           "x = [1]", "a + [1]", "- * b", "a = b +", "a ]", "f(x[1)"}) {
    EXPECT_EQ(BuildError(text), syntax) << text;
  }
  EXPECT_EQ(BuildError("x[ ]"), "配列の添え字が不正です");
  EXPECT_EQ(BuildError("a = Nothing(1)"), "\"Nothing\" 関数名がありません");
  EXPECT_EQ(BuildError("a = length(s)"), "\"length\" 関数名がありません") << "function names match exactly";
  EXPECT_EQ(BuildError("a = Copy(s, 1, 2, 3)"), "Copy 引数の数が不正です");
  EXPECT_EQ(BuildError("a = Copy(s)"), "Copy 引数の数が不正です");
  EXPECT_EQ(BuildError("a = PopVar(1)"), "PopVar 引数の数が不正です");
  EXPECT_EQ(BuildError("a = SetArray(x, 1, 2, 3, 4, 5, 6)"), "");
  EXPECT_EQ(BuildError("a = Copy(s, 1)"), "");
  // Deep nesting is refused, not followed down the stack.
  EXPECT_EQ(BuildError(std::string(300, '(') + "a" + std::string(300, ')')), syntax);
  EXPECT_EQ(BuildError(std::string(300, '[')), syntax);
  EXPECT_EQ(BuildError(std::string(200, '(') + "a" + std::string(200, ')')), "");
}

TEST(FunctionTable, RowsNumbersAndRanges) {
  const auto table = FuncTable();
  ASSERT_EQ(table.size(), 161u);
  int rows = 0;
  for (const TFuncInfo& f : table) rows += f.Exists() ? 1 : 0;
  EXPECT_EQ(rows, 160);
  EXPECT_EQ(FindFunc(20), nullptr);
  EXPECT_EQ(FindFunc(161), nullptr);
  EXPECT_EQ(FindFuncByName(""), -1);
  EXPECT_EQ(FindFuncByName("IntToStr"), 0);
  EXPECT_EQ(FindFuncByName("SetArray"), 21);
  EXPECT_EQ(FindFuncByName("Chr"), 152);
  EXPECT_EQ(FindFuncByName("DBGetTable"), 160);
  EXPECT_EQ(FindFuncByName("Calc"), 136);
  EXPECT_EQ(FindFunc(21)->MaxArgs, kNoArgLimit);
  EXPECT_EQ(FindFunc(138)->ResultType, PT_INT);
  EXPECT_EQ(FindFunc(139)->ResultType, PT_FLOAT);
  EXPECT_EQ(FindFunc(122)->ResultType, PT_STR);
  EXPECT_EQ(FindFunc(116)->ResultType, PT_BOOL);
  EXPECT_EQ(FindFunc(kFuncGetProp)->ResultType, PT_NONE);
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i].Exists()) {
      EXPECT_EQ(FindFuncByName(table[i].Name), static_cast<int32_t>(i)) << table[i].Name;
    }
  }
}

TEST_F(BuilderTest, PrecedenceAndAssociativity) {
  EXPECT_EQ(Eval("2 - 3 + 4"), "3");
  EXPECT_EQ(Eval("8 / 2 * 2"), "8");
  EXPECT_EQ(Eval("1 + 2 << 1"), "6");
  EXPECT_EQ(Eval("2 * 3 + 4 * 5"), "26");
  EXPECT_EQ(Eval("10 - (4 - 1)"), "7");
  EXPECT_EQ(Eval("7 % 4 * 2"), "6");
  EXPECT_EQ(Eval("1 | 2 ^ 3 & 6"), "1") << "& binds tighter than ^, ^ tighter than |";
  EXPECT_EQ(Eval("-2 * -3"), "6");
  EXPECT_EQ(Eval("- - 5"), "5");
  EXPECT_EQ(Eval("\"x\" ++ 1 == 1"), "xTRUE") << "++ binds looser than the comparisons";
  EXPECT_EQ(Eval("1 < 2 == 1"), "TRUE");
}

TEST_F(BuilderTest, LogicalAndThroughComparisons) {
  Var("a", PT_INT).SetAsInt(1);
  Var("b", PT_INT).SetAsInt(2);
  EXPECT_EQ(Eval("a == 1 & b == 2"), "1");
  EXPECT_EQ(Eval("a == 1 & b == 3"), "0");
  EXPECT_EQ(Eval("a == 2 | b == 2"), "1");
}

TEST_F(BuilderTest, TypeRules) {
  TCustomParam& f = Var("f", PT_FLOAT);
  Run("f = 7 / 2");
  EXPECT_EQ(f.GetAsFloat(), 3) << "the temporary of two integers is an integer";
  Run("f = 7.0 / 2");
  EXPECT_EQ(f.GetAsFloat(), 3.5L);
  EXPECT_EQ(Eval("1 == 1.5"), "TRUE");
  EXPECT_EQ(Eval("1.5 == 1"), "FALSE");
  EXPECT_EQ(Eval("\"1\" + \"2\""), "3");
  EXPECT_EQ(Eval("\"abc\" + \"def\""), "0");
  EXPECT_EQ(Eval("\"abc\" ++ \"def\""), "abcdef");
  EXPECT_EQ(Eval("\"a\" + 1.5"), "1") << "a string left operand adds as integers";
  EXPECT_EQ(Eval("1.5 + 1"), "2.5");
  Var("a", PT_INT).SetAsInt(-7);
  EXPECT_EQ(Eval("a % 2"), "-1");
  Find("a")->SetAsInt(-1);
  EXPECT_EQ(Eval("a >> 28"), "15");
  TCustomParam& s = Var("s", PT_STR);
  Run("s = 5");
  EXPECT_EQ(s.GetAsStr(), "5");
  Run("s = 1 == 1");
  EXPECT_EQ(s.GetAsStr(), "TRUE");
}

TEST_F(BuilderTest, LiteralClassification) {
  EXPECT_EQ(Eval("$1F"), "31");
  EXPECT_EQ(Eval("0x1F"), "31");
  EXPECT_EQ(Eval("x1F"), "31");
  EXPECT_EQ(Eval("$FFFFFFFF"), "-1");
  EXPECT_EQ(Eval("1E3"), "1000");
  EXPECT_EQ(Eval("TRUE"), "TRUE");
  Var("x1", PT_STR).SetAsStr("variable");
  Var("True", PT_STR).SetAsStr("variable");
  Var("inf", PT_INT).SetAsInt(4);
  EXPECT_EQ(Eval("x1"), "1") << "a name that reads as a number is the number";
  EXPECT_EQ(Eval("True"), "variable") << "only upper-case TRUE is a flag";
  EXPECT_EQ(Eval("inf"), "4");
  EXPECT_EQ(Eval("1.5E-7"), "<none>") << "the exponent's sign splits the token";
}

TEST_F(BuilderTest, ArraysThroughElementReferences) {
  TCustomParam& x = Var("x", PT_INT);
  const int32_t dims[] = {3, 4};
  x.SetDims(dims);
  Run("x[1,2] = 5");
  EXPECT_EQ(x.GetInt(6), 5);
  Var("i", PT_INT).SetAsInt(1);
  Run("x[i + 1, i * 3] = x[1, 2] * 2");
  EXPECT_EQ(x.GetInt(11), 10);
  EXPECT_EQ(Eval("x[(1), Length(\"ab\")] + 1"), "6");
  Run("x = 5");
  EXPECT_EQ(x.Count(), 1);
  EXPECT_EQ(x.GetAsInt(), 5);
}

TEST_F(BuilderTest, MissingVariablesStopSilently) {
  Var("a", PT_INT);
  TKestParser p = TBuildKestParser::Compile("a = 3 + missing");
  p.Execute(Store, Funcs);
  EXPECT_EQ(p.Result(), nullptr);
  EXPECT_EQ(Find("a")->GetAsInt(), 0);
  EXPECT_EQ(Eval("missing == 1"), "<none>");
}

// The nested text builds temporaries named like the outer ones; each
// evaluation keeps its own, so neither sees the other's.
TEST_F(BuilderTest, NestedEvaluationHasItsOwnTemporaries) {
  Var("b", PT_FLOAT);
  Var("c", PT_FLOAT).SetAsFloat(0.5);
  TCustomParam& y = Var("y", PT_FLOAT);
  Run("y = 1.5 * 2 + Calc(\"b = c * 3\")");
  EXPECT_EQ(Find("b")->GetAsFloat(), 1.5L);
  EXPECT_EQ(y.GetAsFloat(), 3) << "Calc gives TRUE, which reads as 0";
  TCustomParam& s = Var("s", PT_STR);
  Run("s = Calc(\"c = 2\")");
  EXPECT_EQ(s.GetAsStr(), "TRUE");
  Run("s = Calc(\"c = \")");
  EXPECT_EQ(s.GetAsStr(), "") << "a text that does not build leaves the result alone";
}

TEST_F(BuilderTest, CalcRecursionIsBounded) {
  Var("t", PT_STR).SetAsStr("n = n + Length(Calc(t))");
  TCustomParam& n = Var("n", PT_INT);
  Run("Calc(t)");
  EXPECT_EQ(Funcs.Nesting(), 0);
  EXPECT_GT(n.GetAsInt(), 0);
  EXPECT_LE(n.GetAsInt(), TSysFuncMan::kMaxNesting * 4);
}

TEST_F(BuilderTest, EvalTextAssignsByText) {
  TCustomParam& r = Var("r", PT_STR);
  EXPECT_TRUE(EvalText("  r = \"va\\\"l\"  ", Store, Funcs));
  EXPECT_EQ(r.GetAsStr(), "va\"l");
  EXPECT_FALSE(EvalText("   ", Store, Funcs));
  EXPECT_FALSE(EvalText("r = ", Store, Funcs));
  EXPECT_TRUE(EvalText("r = missing", Store, Funcs)) << "it built and ran, whatever the run did";
}

}  // namespace
}  // namespace kest::test
