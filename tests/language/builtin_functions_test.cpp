// The string and number functions that need nothing but the store.
#include "language/expression_fixture.h"

namespace kest::test {
namespace {

using FunctionsTest = ExpressionTest;

TEST_F(FunctionsTest, StringsByBytesAndByCharacters) {
  EXPECT_EQ(Eval("IntToStr(5, 3)"), "005");
  EXPECT_EQ(Eval("IntToStr(0 - 5, 3)"), "-005");
  EXPECT_EQ(Eval("IntToStr(42)"), "42");
  EXPECT_EQ(Eval("IntToStr(5, \"x\")"), "<none>") << "a digit count that is no number is refused";
  EXPECT_EQ(Eval("IntToHex(255, 4)"), "00FF");
  EXPECT_EQ(Eval("IntToHex(0 - 1, 2)"), "FFFFFFFF");
  EXPECT_EQ(Eval("Copy(\"abcdef\", 3)"), "cdef");
  EXPECT_EQ(Eval("Copy(\"abcdef\", 2, 3)"), "bcd");
  EXPECT_EQ(Eval("Copy(\"abcdef\", 0, 3)"), "ab");
  EXPECT_EQ(Eval("Copy(\"abc\", 5)"), "");
  EXPECT_EQ(Eval("JCopy(\"あい\", 2, 1)"), "い");
  EXPECT_EQ(Eval("Length(\"あい\")"), "4");
  EXPECT_EQ(Eval("JLength(\"あいx\")"), "3");
  EXPECT_EQ(Eval("Pos(\"cd\", \"abcdcd\")"), "3");
  EXPECT_EQ(Eval("Pos(\"\", \"abc\")"), "0");
  EXPECT_EQ(Eval("JPos(\"い\", \"あい\")"), "2");
  EXPECT_EQ(Eval("CompareStr(\"abc\", \"ab\")"), "1");
  EXPECT_EQ(Eval("CompareStr(\"a\", \"c\")"), "-2");
  EXPECT_EQ(Eval("CompareStr(\"x\", \"x\")"), "0");
  EXPECT_EQ(Eval("\"[\" ++ Trim(\"  a b \") ++ \"]\""), "[a b]");
  EXPECT_EQ(Eval("\"[\" ++ JTrim(\"　a　\") ++ \"]\""), "[a]");
  EXPECT_EQ(Eval("AddDelimiter(\",\", \"\")"), "");
  EXPECT_EQ(Eval("AddDelimiter(\",\", \"x\")"), "x,");
  EXPECT_EQ(Eval("StringOfChar(\"ab\", 3)"), "ababab");
  EXPECT_EQ(Eval("StringOfChar(\"ab\", 0)"), "");
  EXPECT_EQ(Eval("StringOfChar(\"ab\", 1000000000)"), "<none>") << "a string beyond the limit ends the evaluation";
  EXPECT_EQ(Eval("UpperCase(\"abヂ\")"), "ABヂ");
  EXPECT_EQ(Eval("LowerCase(\"ABア\")"), "abア");
  EXPECT_EQ(Eval("StrToIntDef(\"$10\", 7)"), "16");
  EXPECT_EQ(Eval("StrToIntDef(\"12 \", 7)"), "7");
  EXPECT_EQ(Eval("StrToFloatDef(\"1,5\", 2.5)"), "2.5");
  EXPECT_EQ(Eval("Ord(\"A\")"), "65");
  EXPECT_EQ(Eval("Ord(\"\")"), "0");
  EXPECT_EQ(Eval("Chr(321)"), "A");
  EXPECT_EQ(Eval("HanToZen(\"A1\")"), "Ａ１");
  EXPECT_EQ(Eval("ZenToHan(\"Ａ１\")"), "A1");
}

TEST_F(FunctionsTest, FixStrDropsAnIncompleteLastCharacter) {
  TCustomParam& s = Var("s", PT_STR);
  s.SetAsStr("ab\x82");
  EXPECT_EQ(EvalRaw("FixStr(s)"), "ab");
  s.SetAsStr("a\x82\xA0");
  EXPECT_EQ(EvalRaw("FixStr(s)"), "a\x82\xA0");
}

TEST_F(FunctionsTest, InPlaceEditsChangeTheVariableAndLeaveTheResult) {
  TCustomParam& s = Var("s", PT_STR);
  TCustomParam& r = Var("r", PT_STR);
  s.SetAsStr("abcdef");
  r.SetAsStr("keep");
  Run("r = Delete(s, 2, 3)");
  EXPECT_EQ(s.GetAsStr(), "aef");
  EXPECT_EQ(r.GetAsStr(), "") << "the call's temporary was never written";
  Run("Insert(\"XY\", s, 2)");
  EXPECT_EQ(s.GetAsStr(), "aXYef");
  Run("Delete(s, 3)");
  EXPECT_EQ(s.GetAsStr(), "aX");
  Run("Insert(\"!\", s, 99)");
  EXPECT_EQ(s.GetAsStr(), "aX!");
  s.SetAsStr(Utf8ToCp932("あいう"));
  Run("JDelete(s, 2, 1)");
  EXPECT_EQ(Cp932ToUtf8(s.GetAsStr()), "あう");
  Run("JInsert(\"x\", s, 0)");
  EXPECT_EQ(Cp932ToUtf8(s.GetAsStr()), "xあう");
  EXPECT_EQ(Eval("Delete(\"abc\", 1)"), "") << "a literal is never written";
}

TEST_F(FunctionsTest, Numbers) {
  EXPECT_EQ(Eval("Int(0 - 2.7)"), "-2");
  EXPECT_EQ(Eval("Int(3000000000.0)"), "-1294967296");
  EXPECT_EQ(Eval("Float(3) / 2"), "1.5");
  EXPECT_EQ(Eval("Hypot(3, 4)"), "5");
  EXPECT_EQ(Eval("Abs(0 - 5)"), "5");
  EXPECT_EQ(Eval("Abs($80000000)"), "2147483647");
  EXPECT_EQ(Eval("Min(3, 0 - 4)"), "-4");
  EXPECT_EQ(Eval("Max(3, 0 - 4)"), "3");
  EXPECT_EQ(Eval("Fmax(1.25, 0.5)"), "1.25");
  EXPECT_EQ(Eval("Fabs(0 - 1.5)"), "1.5");
  EXPECT_EQ(Eval("Sin(0)"), "0");
  EXPECT_EQ(Eval("Cos(0)"), "1");
  EXPECT_EQ(Eval("ArcTan2(1, 1) * 4"), "3.14159265358979");
  EXPECT_EQ(Eval("ArcSin(2)"), "<none>") << "a result that is not a number ends the evaluation";
  EXPECT_EQ(Eval("Int(7.9) + 1"), "8");
}

}  // namespace
}  // namespace kest::test
