// Random, Abs and the date functions, through compiled expressions.
#include "common/program_random.h"
#include "language/expression_fixture.h"

namespace kest::test {
namespace {

using DateMathFunctionsTest = ExpressionTest;

TEST_F(DateMathFunctionsTest, RandomStepsTheSharedSeedBeforeScaling) {
  ProgramRandom().SetSeed(0);
  std::vector<std::string> drawn;
  for (int i = 0; i < 5; ++i) drawn.push_back(Eval("Random(100)"));
  EXPECT_EQ(drawn, (std::vector<std::string>{"0", "3", "86", "20", "27"}));
  EXPECT_EQ(ProgramRandom().Next(1), 0);
}

TEST_F(DateMathFunctionsTest, AbsOfTheSmallestIntegerSaturates) {
  EXPECT_EQ(Eval("Abs($80000000)"), "2147483647");
  EXPECT_EQ(Eval("Abs(0 - 7)"), "7");
}

TEST_F(DateMathFunctionsTest, EncodedDatesDecodeBack) {
  EXPECT_EQ(Eval("EncodeDate(2000, 1, 1)"), "36526");
  EXPECT_EQ(Eval("GetWeek(EncodeDate(2000, 1, 1))"), "7");
  EXPECT_EQ(Eval("GetWeekStr(36526)"), "Saturday");
  EXPECT_EQ(EvalRaw("GetWeekJStr(36527)"), "\x93\xFA");
  EXPECT_EQ(Eval("GetSec(EncodeTime(0, 0, 59))"), "59");
  EXPECT_EQ(Eval("GetHour(EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59))"), "23");
  EXPECT_EQ(Eval("GetDay(EncodeDate(2024, 2, 29) + 0.9999999999)"), "1")
      << "a time rounding to midnight is the next day";
  EXPECT_EQ(Eval("GetDay(0 - 1.25) * 100 + GetHour(0 - 1.25)"), "2906");
}

TEST_F(DateMathFunctionsTest, DecodeWritesItsVariables) {
  TCustomParam& y = Var("y", PT_INT);
  TCustomParam& m = Var("m", PT_INT);
  TCustomParam& d = Var("d", PT_STR);
  Run("DecodeDate(EncodeDate(1999, 12, 31) + 0.5, y, m, d)");
  EXPECT_EQ(y.GetAsInt(), 1999);
  EXPECT_EQ(m.GetAsInt(), 12);
  EXPECT_EQ(d.GetAsStr(), "31");
  Run("DecodeTime(EncodeTime(13, 4, 5), y, m, d)");
  EXPECT_EQ(y.GetAsInt(), 13);
  EXPECT_EQ(m.GetAsInt(), 4);
  EXPECT_EQ(d.GetAsStr(), "5");
}

TEST_F(DateMathFunctionsTest, AnInvalidDateStopsTheEvaluation) {
  EXPECT_EQ(Eval("EncodeDate(2023, 2, 29)"), "<none>");
  EXPECT_EQ(Eval("EncodeDate(10000, 1, 1)"), "<none>");
  EXPECT_EQ(Eval("EncodeTime(24, 0, 0)"), "<none>");
  EXPECT_EQ(Eval("GetYear(0 - 700000)"), "<none>");
  EXPECT_EQ(Eval("GetYear(2958466)"), "<none>");
  TCustomParam& y = Var("y", PT_INT);
  y.SetAsInt(5);
  Run("DecodeDate(3000000, y, y, y)");
  EXPECT_EQ(y.GetAsInt(), 5) << "nothing is written for a date that is none";
}

}  // namespace
}  // namespace kest::test
