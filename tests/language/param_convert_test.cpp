#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <variant>

#include "language/typed_param.h"

namespace kest {
namespace {

using Expected = std::variant<int32_t, long double, bool, std::string>;

struct ReadCase {
  const char* Label;
  TParamPtr (*Make)();
  Expected Want;
};

template <typename P, auto V>
TParamPtr Make() {
  auto p = std::make_unique<P>();
  if constexpr (std::is_same_v<P, TParamStr>) {
    p->SetAsStr(V);
  } else if constexpr (std::is_same_v<P, TParamFlag>) {
    p->SetAsFlag(V);
  } else {
    p->SetAsInt(V);
  }
  return p;
}

template <int N, int D = 1>
TParamPtr Float() {
  auto p = std::make_unique<TParamFloat>();
  p->SetAsFloat(static_cast<long double>(N) / D);
  return p;
}

TParamPtr FloatOf(long double x) {
  auto p = std::make_unique<TParamFloat>();
  p->SetAsFloat(x);
  return p;
}

template <const char* S>
TParamPtr Str() {
  auto p = std::make_unique<TParamStr>();
  p->SetAsStr(S);
  return p;
}

void CheckRead(const ReadCase& c) {
  SCOPED_TRACE(c.Label);
  const TParamPtr p = c.Make();
  std::visit(
      [&](const auto& want) {
        using T = std::decay_t<decltype(want)>;
        if constexpr (std::is_same_v<T, int32_t>) {
          EXPECT_EQ(p->GetAsInt(), want);
          EXPECT_EQ(p->GetInt(0), want);
        } else if constexpr (std::is_same_v<T, long double>) {
          EXPECT_EQ(p->GetAsFloat(), want);
          EXPECT_EQ(p->GetFloat(0), want);
        } else if constexpr (std::is_same_v<T, bool>) {
          EXPECT_EQ(p->GetAsFlag(), want);
          EXPECT_EQ(p->GetFlag(0), want);
        } else {
          EXPECT_EQ(p->GetAsStr(), want);
          EXPECT_EQ(p->GetStr(0), want);
        }
      },
      c.Want);
}

constexpr char kSpace12[] = " 12";
constexpr char k12Space[] = "12 ";
constexpr char kDollar1F[] = "$1F";
constexpr char k0x1f[] = "0x1f";
constexpr char kX10[] = "X10";
constexpr char kMinusHex[] = "-$10";
constexpr char kAllF[] = "$FFFFFFFF";
constexpr char kNineHex[] = "$100000000";
constexpr char kIntMax[] = "2147483647";
constexpr char kIntOver[] = "2147483648";
constexpr char kIntMin[] = "-2147483648";
constexpr char kEmpty[] = "";
constexpr char kPlus5[] = "+5";
constexpr char kTab5[] = "\t5";
constexpr char kDecimal[] = "1.5";
constexpr char kSpaced25[] = " 2.5 ";
constexpr char kComma[] = "1,5";
constexpr char kInf[] = "inf";
constexpr char kNan[] = "nan";
constexpr char kHex10[] = "$10";
constexpr char kDot5[] = ".5";
constexpr char k5Dot[] = "5.";
constexpr char kExp[] = "-1.5E-3";
constexpr char kBareExp[] = "e5";
constexpr char kDot[] = ".";
constexpr char kHuge[] = "1e5000";
constexpr char kTRUE[] = "TRUE";
constexpr char kTrue[] = "true";
constexpr char kOne[] = "1";
constexpr char kKana[] = "\x83\x41";

const ReadCase kReads[] = {
    // integer source
    {"int 42 as int", Make<TParamInt, 42>, int32_t{42}},
    {"int 42 as float", Make<TParamInt, 42>, 42.0L},
    {"int 42 as flag", Make<TParamInt, 42>, true},
    {"int 0 as flag", Make<TParamInt, 0>, false},
    {"int -7 as str", Make<TParamInt, -7>, std::string("-7")},
    // float source
    {"2.9 as int", Float<29, 10>, int32_t{2}},
    {"-2.9 as int", Float<-29, 10>, int32_t{-2}},
    {"3e9 as int", [] { return FloatOf(3e9L); }, int32_t{-1294967296}},
    {"-3e9 as int", [] { return FloatOf(-3e9L); }, int32_t{1294967296}},
    {"1e30 as int", [] { return FloatOf(1e30L); }, int32_t{0}},
    {"nan as int", [] { return FloatOf(std::numeric_limits<long double>::quiet_NaN()); }, int32_t{0}},
    {"inf as int", [] { return FloatOf(std::numeric_limits<long double>::infinity()); }, int32_t{0}},
    {"2.5 as float", Float<25, 10>, 2.5L},
    {"0.5 as flag", Float<1, 2>, true},
    {"0.0 as flag", Float<0>, false},
    {"1/3 as str", Float<1, 3>, std::string("0.333333333333333")},
    {"1e20 as str", [] { return FloatOf(1e20L); }, std::string("1E20")},
    {"1.5e-7 as str", [] { return FloatOf(1.5e-7L); }, std::string("1.5E-7")},
    {"0.0001 as str", [] { return FloatOf(0.0001L); }, std::string("0.0001")},
    {"0.00001 as str", [] { return FloatOf(0.00001L); }, std::string("1E-5")},
    {"15 digits as str", [] { return FloatOf(123456789012345.0L); }, std::string("123456789012345")},
    {"1e15 as str", [] { return FloatOf(1e15L); }, std::string("1E15")},
    {"rounds up to 1e15", [] { return FloatOf(999999999999999.9L); }, std::string("1E15")},
    {"-2.5 as str", Float<-25, 10>, std::string("-2.5")},
    {"100 as str", Float<100>, std::string("100")},
    {"0 as str", Float<0>, std::string("0")},
    {"nan as str", [] { return FloatOf(std::numeric_limits<long double>::quiet_NaN()); }, std::string("NAN")},
    {"-inf as str", [] { return FloatOf(-std::numeric_limits<long double>::infinity()); }, std::string("-INF")},
    // flag source
    {"true as int", Make<TParamFlag, true>, int32_t{1}},
    {"true as float", Make<TParamFlag, true>, 1.0L},
    {"true as flag", Make<TParamFlag, true>, true},
    {"true as str", Make<TParamFlag, true>, std::string("TRUE")},
    {"false as str", Make<TParamFlag, false>, std::string("FALSE")},
    // string source, as integer
    {"' 12' as int", Str<kSpace12>, int32_t{12}},
    {"'12 ' as int", Str<k12Space>, int32_t{0}},
    {"$1F as int", Str<kDollar1F>, int32_t{31}},
    {"0x1f as int", Str<k0x1f>, int32_t{31}},
    {"X10 as int", Str<kX10>, int32_t{16}},
    {"-$10 as int", Str<kMinusHex>, int32_t{-16}},
    {"$FFFFFFFF as int", Str<kAllF>, int32_t{-1}},
    {"nine hex digits as int", Str<kNineHex>, int32_t{0}},
    {"int max", Str<kIntMax>, int32_t{2147483647}},
    {"int overflow", Str<kIntOver>, int32_t{0}},
    {"int min", Str<kIntMin>, std::numeric_limits<int32_t>::min()},
    {"empty as int", Str<kEmpty>, int32_t{0}},
    {"+5 as int", Str<kPlus5>, int32_t{5}},
    {"tab 5 as int", Str<kTab5>, int32_t{0}},
    {"1.5 as int", Str<kDecimal>, int32_t{0}},
    // string source, as float
    {"' 2.5 ' as float", Str<kSpaced25>, 2.5L},
    {"1,5 as float", Str<kComma>, 0.0L},
    {"inf as float", Str<kInf>, 0.0L},
    {"nan as float", Str<kNan>, 0.0L},
    {"$10 as float", Str<kHex10>, 0.0L},
    {".5 as float", Str<kDot5>, 0.5L},
    {"5. as float", Str<k5Dot>, 5.0L},
    {"-1.5E-3 as float", Str<kExp>, -1.5E-3L},
    {"e5 as float", Str<kBareExp>, 0.0L},
    {". as float", Str<kDot>, 0.0L},
    {"1e5000 as float", Str<kHuge>, 0.0L},
    // string source, as flag and string
    {"TRUE as flag", Str<kTRUE>, true},
    {"true as flag", Str<kTrue>, false},
    {"1 as flag", Str<kOne>, false},
    {"kana as str", Str<kKana>, std::string("\x83\x41")},
};

TEST(ParamConvert, ReadMatrix) {
  for (const ReadCase& c : kReads) CheckRead(c);
}

// Writing converts to the value's own type with the same rules.
TEST(ParamConvert, WriteMatrix) {
  TParamInt i;
  i.SetAsFloat(-2.9L);
  EXPECT_EQ(i.GetAsInt(), -2);
  i.SetAsStr(" 12");
  EXPECT_EQ(i.GetAsInt(), 12);
  i.SetAsFlag(true);
  EXPECT_EQ(i.GetAsInt(), 1);

  TParamFloat f;
  f.SetAsInt(-5);
  EXPECT_EQ(f.GetAsFloat(), -5.0L);
  f.SetAsStr("1e3");
  EXPECT_EQ(f.GetAsFloat(), 1000.0L);
  f.SetAsFlag(true);
  EXPECT_EQ(f.GetAsFloat(), 1.0L);

  TParamFlag b;
  b.SetAsStr("true");
  EXPECT_FALSE(b.GetAsFlag());
  EXPECT_EQ(b.GetAsStr(), "FALSE");
  b.SetAsStr("TRUE");
  EXPECT_TRUE(b.GetAsFlag());
  b.SetAsInt(0);
  EXPECT_FALSE(b.GetAsFlag());
  b.SetAsFloat(0.25L);
  EXPECT_TRUE(b.GetAsFlag());

  TParamStr s;
  s.SetAsInt(-12);
  EXPECT_EQ(s.GetAsStr(), "-12");
  s.SetAsFloat(1.0L / 3);
  EXPECT_EQ(s.GetAsStr(), "0.333333333333333");
  s.SetAsFlag(false);
  EXPECT_EQ(s.GetAsStr(), "FALSE");
}

TEST(ParamConvert, FloatToIntNeverOverflows) {
  EXPECT_EQ(FloatToInt(9223372036854775807.0L), -1);  // 2^63 - 1 is exact in 64 bits
  EXPECT_EQ(FloatToInt(9223372036854775808.0L), 0);
  EXPECT_EQ(FloatToInt(-9223372036854775808.0L), 0);
  EXPECT_EQ(FloatToInt(4294967296.5L), 0);
  EXPECT_EQ(FloatToInt(std::numeric_limits<long double>::denorm_min()), 0);
  EXPECT_EQ(FloatToInt(std::numeric_limits<long double>::max()), 0);
}

}  // namespace
}  // namespace kest
