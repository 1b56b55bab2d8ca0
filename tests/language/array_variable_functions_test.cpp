// The array and variable functions, through compiled expressions.
#include <array>

#include "language/expression_fixture.h"

namespace kest::test {
namespace {

class ArrayVariableFunctionsTest : public ExpressionTest {
 protected:
  TCustomParam& Array(std::string_view name, uint8_t type, std::initializer_list<std::string_view> items) {
    TCustomParam& a = Var(name, type);
    const std::array<int32_t, 1> sizes{static_cast<int32_t>(items.size())};
    a.SetDims(sizes);
    int32_t i = 0;
    for (std::string_view item : items) a.SetStr(i++, item);
    return a;
  }
  static std::vector<std::string> Items(const TCustomParam& a) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < a.Count(); ++i) out.push_back(a.GetStr(i));
    return out;
  }
  using Strings = std::vector<std::string>;
};

TEST_F(ArrayVariableFunctionsTest, StringToArraySplitsAtSeparatorsAndLineBreaks) {
  TCustomParam& a = Var("a", PT_STR);
  Run("StringToArray(\"a,b,\", a, \",\")");
  EXPECT_EQ(Items(a), (Strings{"a", "b"}));
  Run("StringToArray(\",a,,b\", a, \",;\")");
  EXPECT_EQ(Items(a), (Strings{"", "a", "", "b"}));
  Run("StringToArray(\"a;b,c\", a, \",;\")");
  EXPECT_EQ(Items(a), (Strings{"a", "b", "c"}));
  Var("t", PT_STR).SetAsStr("x\r\ny\rz\n\nw\r\n");
  Run("StringToArray(t, a)");
  EXPECT_EQ(Items(a), (Strings{"x", "y", "z", "", "w"}));
  EXPECT_EQ(Eval("ArrayToString(a, \"|\")"), "x|y|z||w");
  Var("j", PT_STR).SetAsStr(Utf8ToCp932("表,x"));
  Run("StringToArray(j, a, \"\\\\,\")");
  EXPECT_EQ(a.Count(), 2) << "the second byte of 表 is no separator";
  Var("d", PT_STR).SetAsStr(Utf8ToCp932("xAy、z"));
  Var("ds", PT_STR).SetAsStr(Utf8ToCp932("、"));
  Run("StringToArray(d, a, ds)");
  EXPECT_EQ(Items(a), (Strings{"xAy", "z"})) << "、 (81 41) cuts as one character, never at its A";
  Run("StringToArray(\"\", a, \",\")");
  EXPECT_TRUE(a.IsDimensionless());
  EXPECT_EQ(a.GetAsStr(), "");
}

TEST_F(ArrayVariableFunctionsTest, SortStrByTextOrByNumber) {
  TCustomParam& a = Array("a", PT_STR, {"10", "9", "100", "-1.5"});
  Run("SortStr(a)");
  EXPECT_EQ(Items(a), (Strings{"-1.5", "10", "100", "9"}));
  Run("SortStr(a, TRUE, TRUE)");
  EXPECT_EQ(Items(a), (Strings{"100", "10", "9", "-1.5"}));
  Run("SortStr(a, TRUE)");
  EXPECT_EQ(Items(a), (Strings{"9", "100", "10", "-1.5"}));
}

TEST_F(ArrayVariableFunctionsTest, IndexOfStrMatchesWholeCharacters) {
  Array("a", PT_STR, {"Apple", "banana", "ア"});
  EXPECT_EQ(Eval("IndexOfStr(a, \"apple\")"), "-1");
  EXPECT_EQ(Eval("IndexOfStr(a, \"apple\", FALSE)"), "0");
  EXPECT_EQ(Eval("IndexOfStr(a, \"NAN\", FALSE, TRUE)"), "1");
  EXPECT_EQ(Eval("IndexOfStr(a, \"A\", TRUE, TRUE)"), "0");
  EXPECT_EQ(Eval("IndexOfStr(a, \"a\", FALSE, TRUE)"), "0");
  Array("k", PT_STR, {"ア"});
  EXPECT_EQ(Eval("IndexOfStr(k, \"A\", TRUE, TRUE)"), "-1");
  EXPECT_EQ(Eval("IndexOfStr(k, \"a\", FALSE, TRUE)"), "-1");
}

TEST_F(ArrayVariableFunctionsTest, DeleteArrayKeepsAtLeastOneElement) {
  TCustomParam& a = Array("a", PT_INT, {"1", "2", "3", "4"});
  EXPECT_EQ(Eval("DeleteArray(a, 1, 0 - 5)"), "4");
  EXPECT_EQ(Items(a), (Strings{"1", "2", "3", "4"}));
  EXPECT_EQ(Eval("DeleteArray(a, 0, 4)"), "<none>");
  EXPECT_EQ(Items(a), (Strings{"1", "2", "3", "4"}));
  EXPECT_EQ(Eval("DeleteArray(a, 0 - 3, 1)"), "3");
  EXPECT_EQ(Items(a), (Strings{"2", "3", "4"}));
  EXPECT_EQ(Eval("DeleteArray(a, 1, 99)"), "1");
  EXPECT_EQ(Items(a), (Strings{"2"}));
}

TEST_F(ArrayVariableFunctionsTest, AddAndInsertTakeTheSourceBeforeGrowing) {
  TCustomParam& a = Array("a", PT_INT, {"1", "2"});
  EXPECT_EQ(Eval("AddArray(a, a)"), "4");
  EXPECT_EQ(Items(a), (Strings{"1", "2", "1", "2"}));
  EXPECT_EQ(Eval("InsertArray(a, 1, a)"), "8");
  EXPECT_EQ(Items(a), (Strings{"1", "1", "2", "1", "2", "2", "1", "2"}));
  Array("s", PT_STR, {"7", "x"});
  EXPECT_EQ(Eval("InsertArray(a, 99, s)"), "10");
  EXPECT_EQ(a.GetInt(8), 7);
  EXPECT_EQ(Eval("AddArray(a, 5)"), "11");
  TCustomParam& m = Var("m", PT_INT);
  const std::array<int32_t, 2> grid{2, 2};
  m.SetDims(grid);
  EXPECT_EQ(Eval("AddArray(m, a)"), "4") << "a two-dimensional array does not grow";
  EXPECT_EQ(Eval("GetArraySize(m, 1)"), "2");
  const std::array<int32_t, 2> wide{3, 4};
  m.SetDims(wide);
  EXPECT_EQ(Eval("GetArraySize(m, 0)"), "4");
  EXPECT_EQ(Eval("GetArraySize(m, 1)"), "3");
  EXPECT_EQ(Eval("GetArraySize(m)"), "12");
}

TEST_F(ArrayVariableFunctionsTest, WholeArrayCopies) {
  TCustomParam& a = Array("a", PT_STR, {"1", "2", "3"});
  TCustomParam& f = Var("f", PT_FLOAT);
  EXPECT_EQ(Eval("CopyArray(f, a)"), "TRUE");
  EXPECT_EQ(f.Count(), 3);
  EXPECT_EQ(f.GetFloat(2), 3);
  EXPECT_EQ(Eval("ArrayToString(f)"), "1\r\n2\r\n3");
  Run("FillMem(a, 5)");
  EXPECT_EQ(Items(a), (Strings{"5", "5", "5"}));
  EXPECT_EQ(Eval("CopyMem(f, a)"), "<none>") << "another type is refused";
  TCustomParam& b = Var("b", PT_STR);
  Run("CopyMem(b, a)");
  EXPECT_EQ(Items(b), (Strings{"5", "5", "5"}));
  EXPECT_EQ(Eval("FillMem(3, 1)"), "<none>") << "a literal is no variable";
}

TEST_F(ArrayVariableFunctionsTest, VariablesByName) {
  Var("v", PT_INT).SetAsInt(1);
  Var("w", PT_STR);
  EXPECT_EQ(Eval("VarExists(\"v\")"), "TRUE");
  EXPECT_EQ(Eval("VarExists(\"nothing\")"), "FALSE");
  EXPECT_EQ(Eval("GetVarType(v)"), "1");
  EXPECT_EQ(Eval("GetVarType(w)"), "4");
  EXPECT_EQ(Eval("AssignTemp(\"nothing\")"), "FALSE");
  EXPECT_EQ(Eval("AssignTemp(\"v\")"), "TRUE");
  EXPECT_EQ(Store.TempTarget, "v");
  EXPECT_EQ(Eval("PushVar(\"v\", \"nothing\")"), "TRUE");
  Run("v = 9");
  EXPECT_EQ(Eval("PopVar()"), "TRUE");
  EXPECT_EQ(Find("v")->GetAsInt(), 1);
  EXPECT_EQ(Store.PushStackCount(), 0);
}

}  // namespace
}  // namespace kest::test
