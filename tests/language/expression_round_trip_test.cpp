// Two hundred expressions: each compiles, decompiles to text that compiles to
// the same bytes, and evaluates to the value stated beside it.
#include "language/expression_decompiler.h"
#include "language/expression_fixture.h"
#include "language/param_convert.h"

namespace kest::test {
namespace {

struct TCase {
  const char* Text;
  const char* Expected;  // the Result, or for an assignment the target's value
  const char* Target;    // the variable an assignment writes, or nothing
};

// a 3, b 4, c -2, n 0; f 1.5, g 0.25; s "abc", e "", t "表ー"; k TRUE, h FALSE;
// x a 3x4 integer array holding 10 i + j; r, rf, rs, rb take assignments.
const TCase kCases[] = {
    // Integer arithmetic and precedence.
    {"1 + 2", "3", nullptr},
    {"a + b * 2", "11", nullptr},
    {"(a + b) * 2", "14", nullptr},
    {"a * b + c", "10", nullptr},
    {"a - b - c", "1", nullptr},
    {"a - (b - c)", "-3", nullptr},
    {"2 - 3 + 4", "3", nullptr},
    {"8 / 2 * 2", "8", nullptr},
    {"8 / (2 * 2)", "2", nullptr},
    {"7 / 2", "3", nullptr},
    {"0 - 7 / 2", "-3", nullptr},
    {"7 % 3", "1", nullptr},
    {"c % 3", "-2", nullptr},
    {"b % a * 5", "5", nullptr},
    {"1 + 2 << 1", "6", nullptr},
    {"1 << 2 + 1", "8", nullptr},
    {"256 >> 4", "16", nullptr},
    {"c >> 30", "3", nullptr},
    {"1 << 31", "-2147483648", nullptr},
    {"1 << 32", "1", nullptr},
    {"a & 1", "1", nullptr},
    {"a | b", "7", nullptr},
    {"a ^ 1", "2", nullptr},
    {"6 & 3 | 8", "10", nullptr},
    {"1 | 6 ^ 3", "5", nullptr},
    {"12 & (3 | 4)", "4", nullptr},
    {"a * a * a", "27", nullptr},
    {"((a))", "3", nullptr},
    {"(a + 1) * (b - 1)", "12", nullptr},
    {"2147483647 + 1", "-2147483648", nullptr},
    {"65536 * 65536", "0", nullptr},
    {"a * -b", "-12", nullptr},
    {"-a", "-3", nullptr},
    {"- - a", "3", nullptr},
    {"-a * b", "-12", nullptr},
    {"-a + b", "1", nullptr},
    {"b - -a", "7", nullptr},
    {"+a", "3", nullptr},
    {"a + +b", "7", nullptr},
    {"-(a + b)", "-7", nullptr},
    {"a * (b + (c * (a - 1)))", "0", nullptr},
    {"(100 / a) / 3", "11", nullptr},
    {"100 / (a / 3)", "100", nullptr},
    {"1 + (2)", "3", nullptr},
    {"(1) + 2", "3", nullptr},
    {"a + (b * 2)", "11", nullptr},
    {"(a * b) + (c * 2)", "8", nullptr},
    {"a - (b) - (c)", "1", nullptr},
    // Literals.
    {"$1F", "31", nullptr},
    {"0x1F", "31", nullptr},
    {"x1F", "31", nullptr},
    {"$ff + 1", "256", nullptr},
    {"$FFFFFFFF", "-1", nullptr},
    {"$7FFFFFFF", "2147483647", nullptr},
    {"1.5", "1.5", nullptr},
    {"0.1 + 0.2", "0.3", nullptr},
    {"1E3", "1000", nullptr},
    {"2.5E2 * 2", "500", nullptr},
    {"0.000001", "1E-6", nullptr},
    {"12345678901234567890.0", "1.23456789012346E19", nullptr},
    {"TRUE", "TRUE", nullptr},
    {"FALSE", "FALSE", nullptr},
    {"\"abc\"", "abc", nullptr},
    {"\"\"", "", nullptr},
    {"\"a\\\"b\"", "a\"b", nullptr},
    {"\"a\\\\b\"", "a\\b", nullptr},
    {"\"x\\ny\"", "x\r\ny", nullptr},
    {"\"a+b=c\"", "a+b=c", nullptr},
    {"\"(1, 2)[3]\"", "(1, 2)[3]", nullptr},
    {"\"表\"", "表", nullptr},
    {"\"ー\" ++ \"表\"", "ー表", nullptr},
    {"\"\\q\"", "\\q", nullptr},
    // Floats.
    {"f * 2", "3", nullptr},
    {"f + g", "1.75", nullptr},
    {"f - 2", "-0.5", nullptr},
    {"f / 2", "0.75", nullptr},
    {"7.0 / 2", "3.5", nullptr},
    {"1 / 3.0", "0.333333333333333", nullptr},
    {"2 / 3.0", "0.666666666666667", nullptr},
    {"f * f * f", "3.375", nullptr},
    {"g * 4 + 1", "2", nullptr},
    {"1.5 == 1", "FALSE", nullptr},
    {"1 == 1.5", "TRUE", nullptr},
    {"f > 1", "TRUE", nullptr},
    {"1 > f", "FALSE", nullptr},
    {"g < f", "TRUE", nullptr},
    {"f % 2", "1", nullptr},
    {"f & 1", "1", nullptr},
    {"1E20 * 10", "1E21", nullptr},
    {"0.0001", "0.0001", nullptr},
    {"0.00001", "1E-5", nullptr},  // Strings.
    {"s ++ \"def\"", "abcdef", nullptr},
    {"\"1\" + \"2\"", "3", nullptr},
    {"\"abc\" + \"def\"", "0", nullptr},
    {"s + 1", "1", nullptr},
    {"s ++ 1", "abc1", nullptr},
    {"1 ++ 2", "12", nullptr},
    {"s ++ e ++ s", "abcabc", nullptr},
    {"\"10\" - 4", "6", nullptr},
    {"\"$10\" * 2", "32", nullptr},
    {"s ++ a + b", "abc7", nullptr},
    {"(s ++ a) + b", "4", nullptr},
    {"t ++ s", "表ーabc", nullptr},
    {"s ++ k", "abcTRUE", nullptr},
    {"\"x\" ++ 1 == 1", "xTRUE", nullptr},
    {"\" 12\" + 1", "13", nullptr},
    {"\"12 \" + 1", "1", nullptr},
    {"s ++ (1 + 2)", "abc3", nullptr},
    {"s ++ f", "abc1.5", nullptr},  // Comparisons and logic.
    {"a == 3", "TRUE", nullptr},
    {"a <> 3", "FALSE", nullptr},
    {"a > b", "FALSE", nullptr},
    {"a < b", "TRUE", nullptr},
    {"a >= 3", "TRUE", nullptr},
    {"a <= 2", "FALSE", nullptr},
    {"a == 3 & b == 4", "1", nullptr},
    {"a == 3 & b == 5", "0", nullptr},
    {"a == 1 | b == 4", "1", nullptr},
    {"a == 1 ^ b == 4", "1", nullptr},
    {"(a == 3) == (b == 4)", "TRUE", nullptr},
    {"a + 1 == b", "TRUE", nullptr},
    {"a * 2 > b + 1", "TRUE", nullptr},
    {"s == \"abc\"", "TRUE", nullptr},
    {"s == \"ABC\"", "FALSE", nullptr},
    {"s > \"abb\"", "TRUE", nullptr},
    {"s < \"abcd\"", "TRUE", nullptr},
    {"\"a\" > \"B\"", "TRUE", nullptr},
    {"\"10\" < \"9\"", "TRUE", nullptr},
    {"10 < \"9\"", "FALSE", nullptr},
    {"k == TRUE", "TRUE", nullptr},
    {"h < k", "TRUE", nullptr},
    {"k == 5", "TRUE", nullptr},
    {"e == \"\"", "TRUE", nullptr},
    {"c < n", "TRUE", nullptr},
    {"1 << 2 == 4", "TRUE", nullptr},
    {"a <> b <> k", "FALSE", nullptr},
    {"(a > 1) & (a < 5)", "1", nullptr},
    {"a == 3 == TRUE", "TRUE", nullptr},
    // Functions.
    {"Length(s)", "3", nullptr},
    {"Length(s) + 1", "4", nullptr},
    {"Length(\"abc\" ++ s)", "6", nullptr},
    {"JLength(t)", "2", nullptr},
    {"Length(t)", "4", nullptr},
    {"Copy(s, 2)", "bc", nullptr},
    {"Copy(s, 1, 2) ++ Copy(s, 3, 1)", "abc", nullptr},
    {"JCopy(t, 2, 1)", "ー", nullptr},
    {"IntToStr(a, 3)", "003", nullptr},
    {"IntToStr(a * b)", "12", nullptr},
    {"IntToHex(255, 4)", "00FF", nullptr},
    {"Pos(\"c\", s)", "3", nullptr},
    {"Pos(\"bc\", s ++ s)", "2", nullptr},
    {"Max(a, b) * Min(a, b)", "12", nullptr},
    {"Max(Min(a, 2), Min(b, 5))", "4", nullptr},
    {"Abs(c) + Abs(a)", "5", nullptr},
    {"Int(f * 3)", "4", nullptr},
    {"Float(a) / 2", "1.5", nullptr},
    {"Hypot(a, b)", "5", nullptr},
    {"Fmax(f, g)", "1.5", nullptr},
    {"Length(IntToStr(a + b))", "1", nullptr},
    {"StrToIntDef(\"x\", a + 1)", "4", nullptr},
    {"Copy(s, Length(s), 1)", "c", nullptr},
    {"Chr(65) ++ Chr(66)", "AB", nullptr},
    {"Ord(s)", "97", nullptr},
    {"UpperCase(s)", "ABC", nullptr},
    {"Trim(\"  x  \")", "x", nullptr},
    {"StringOfChar(\"-\", a)", "---", nullptr},
    {"AddDelimiter(\",\", s)", "abc,", nullptr},
    {"Length((s))", "3", nullptr},
    {"Copy(s, (1 + 1), 1)", "b", nullptr},
    {"CompareStr(s, \"ab\")", "1", nullptr},
    {"Min(a, -1)", "-1", nullptr},
    {"IntToStr(Length(s), Length(s) - 1)", "03", nullptr},
    // Arrays.
    {"x[1, 2]", "12", nullptr},
    {"x[2, 3] + 1", "24", nullptr},
    {"x[a - 1, b - 1]", "23", nullptr},
    {"x[0, x[0, 1]]", "1", nullptr},
    {"x[(1), (2)]", "12", nullptr},
    {"Length(IntToStr(x[1, 1]))", "2", nullptr},
    {"x[Length(s) - 1, 0] * 2", "40", nullptr},
    {"x[1, 1] == 11", "TRUE", nullptr},
    {"x [2, 0]", "20", nullptr},  // Assignments.
    {"r = a + b * 2", "11", "r"},
    {"r = -b", "-4", "r"},
    {"r = (a)", "3", "r"},
    {"rf = 7 / 2", "3", "rf"},
    {"rf = f * 3", "4.5", "rf"},
    {"rs = s ++ \"!\"", "abc!", "rs"},
    {"rs = 1 + 2", "3", "rs"},
    {"rb = a == 3", "TRUE", "rb"},
    {"rb = \"TRUE\"", "TRUE", "rb"},
    {"rb = 2", "TRUE", "rb"},
    {"r = f", "1", "r"},
    {"rs = f", "1.5", "rs"},
    {"r = Length(s) * 10", "30", "r"},
    {"r = x[1, 2] + x[2, 1]", "33", "r"},
    {"r = Calc(\"rb = 1\")", "0", "r"},
    {"rs = Calc(\"r = 5\")", "TRUE", "rs"},
    {"rf = -f", "-1.5", "rf"},
    {"r=a*2", "6", "r"},
    {"r = a * (b + c) - 1", "5", "r"},
};

class RoundTripTest : public ExpressionTest {
 protected:
  void SetUp() override {
    Var("a", PT_INT).SetAsInt(3);
    Var("b", PT_INT).SetAsInt(4);
    Var("c", PT_INT).SetAsInt(-2);
    Var("n", PT_INT);
    Var("f", PT_FLOAT).SetAsFloat(1.5);
    Var("g", PT_FLOAT).SetAsFloat(0.25);
    Var("s", PT_STR).SetAsStr("abc");
    Var("e", PT_STR);
    Var("t", PT_STR).SetAsStr(Utf8ToCp932("表ー"));
    Var("k", PT_BOOL).SetAsFlag(true);
    Var("h", PT_BOOL);
    TCustomParam& x = Var("x", PT_INT);
    const int32_t dims[] = {3, 4};
    x.SetDims(dims);
    for (int32_t i = 0; i < 12; ++i) x.SetInt(i, i / 4 * 10 + i % 4);
    Var("r", PT_INT);
    Var("rf", PT_FLOAT);
    Var("rs", PT_STR);
    Var("rb", PT_BOOL);
  }
};

TEST_F(RoundTripTest, TwoHundredExpressions) {
  EXPECT_EQ(std::size(kCases), 200u);
  for (const TCase& c : kCases) {
    SCOPED_TRACE(c.Text);
    const std::string text = Utf8ToCp932(c.Text);
    const std::vector<uint8_t> record = Compiled(text);
    TKestParser parser = Load(record);
    const std::optional<std::string> back = DecompileExpression(parser);
    if (!back) {
      ADD_FAILURE() << "no text";
      continue;
    }
    EXPECT_EQ(Compiled(*back), record) << Cp932ToUtf8(*back);
    parser.Execute(Store, Funcs);
    EXPECT_EQ(parser.LastError(), "");
    if (c.Target) {
      EXPECT_EQ(Cp932ToUtf8(Find(c.Target)->GetAsStr()), c.Expected);
    } else {
      EXPECT_EQ(parser.Result() ? Cp932ToUtf8(parser.Result()->GetAsStr()) : "<none>", c.Expected);
    }
  }
}

TEST_F(RoundTripTest, RecordsNoTextSpellsAreRefused) {
  // A temporary used twice, a negative float, and an operation into a
  // variable that is not the last one.
  RecordBytes twice;
  twice.Int(2);
  IntOperand(IntOperand(twice.Append(OpHead(ocPlus, "____0", 2)), 1), 2);
  RefOperand(RefOperand(twice.Append(OpHead(ocMul, "____arg", 2)), "____0"), "____0");
  EXPECT_FALSE(DecompileExpression(Load(twice.Bytes())).has_value());
  TKestParser negative;
  {
    TByteStream out;
    WriteInt(out, 1);
    WriteByte(out, ocTo);
    WriteStr(out, "____arg");
    WriteInt(out, 1);
    TOperand::FloatValue(-1.5L).SaveToStream(out);
    out.Seek(0);
    negative.LoadFromStream(out);
  }
  EXPECT_FALSE(DecompileExpression(negative).has_value());
  RecordBytes early;
  early.Int(2);
  IntOperand(early.Append(OpHead(ocTo, "a", 1)), 1);
  IntOperand(early.Append(OpHead(ocTo, "b", 1)), 2);
  EXPECT_FALSE(DecompileExpression(Load(early.Bytes())).has_value());
}

TEST(LiteralText, FloatsComeBackToTheSameBytes) {
  for (long double x : {0.1L, 1.0L / 3, 1e-300L, 1e300L, 123456789.125L, 0.0L, 1.189731495357231765e4932L}) {
    const TOperand o = TOperand::FloatValue(x);
    const std::optional<std::string> text = LiteralText(o);
    ASSERT_TRUE(text.has_value()) << static_cast<double>(x);
    long double back = 0;
    ASSERT_TRUE(TryStrToFloat(*text, back)) << *text;
    EXPECT_EQ(ExtendedFromLongDouble(back), o.FloatBytes()) << *text;
    int32_t i = 0;
    EXPECT_FALSE(TryStrToInt(*text, i)) << *text;
  }
  EXPECT_EQ(LiteralText(TOperand::FloatValue(3)), "3.0");
  EXPECT_EQ(LiteralText(TOperand::Int(-5)), "$FFFFFFFB");
  EXPECT_EQ(LiteralText(TOperand::Str("a\"b\\c\r\nd")), "\"a\\\"b\\\\c\\nd\"");
}

}  // namespace
}  // namespace kest::test
