#include "common/extended.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace kest {
namespace {

constexpr bool kNative = LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384;

TExtendedBytes Native(long double x) {
  TExtendedBytes b{};
  std::memcpy(b.data(), &x, b.size());
  return b;
}

long double FromNative(const TExtendedBytes& b) {
  long double x = 0;
  std::memcpy(&x, b.data(), b.size());
  return x;
}

uint64_t Bits(double x) { return std::bit_cast<uint64_t>(x); }

std::vector<double> SpecialDoubles() {
  using L = std::numeric_limits<double>;
  return {0.0,
          -0.0,
          1.0,
          -1.0,
          0.1,
          1.0 / 3,
          1e300,
          -1e-300,
          L::max(),
          L::min(),
          L::denorm_min(),
          -L::denorm_min(),
          L::min() / 3,
          L::min() - L::denorm_min(),
          L::infinity(),
          -L::infinity(),
          L::quiet_NaN(),
          -L::quiet_NaN(),
          3.141592653589793,
          123456789.0};
}

TEST(ExtendedTest, DoublesEncodeAsTheFloatingPointUnitStoresThem) {
  if (!kNative) GTEST_SKIP() << "long double is not the extended format here";
  for (double d : SpecialDoubles()) {
    EXPECT_EQ(ExtendedFromDouble(d), Native(static_cast<long double>(d))) << d;
  }
  std::mt19937_64 random(1);
  for (int i = 0; i < 200000; ++i) {
    const double d = std::bit_cast<double>(random());
    if (std::isnan(d)) continue;  // signalling payloads are quieted; covered above
    ASSERT_EQ(ExtendedFromDouble(d), Native(static_cast<long double>(d))) << std::hex << Bits(d);
  }
}

TEST(ExtendedTest, EveryDoubleSurvivesTheRoundTrip) {
  for (double d : SpecialDoubles()) {
    const double back = ExtendedToDouble(ExtendedFromDouble(d));
    if (std::isnan(d)) {
      EXPECT_TRUE(std::isnan(back));
      EXPECT_EQ(std::signbit(back), std::signbit(d));
    } else {
      EXPECT_EQ(Bits(back), Bits(d)) << d;
    }
  }
  std::mt19937_64 random(2);
  for (int i = 0; i < 200000; ++i) {
    const double d = std::bit_cast<double>(random());
    if (std::isnan(d)) continue;
    ASSERT_EQ(Bits(ExtendedToDouble(ExtendedFromDouble(d))), Bits(d));
  }
}

// Any ten bytes, the narrowing the floating-point unit does included: rounding
// to nearest even, overflow to infinity, underflow into denormals and zero,
// and the encodings it refuses.
TEST(ExtendedTest, AnyTenBytesNarrowAsTheFloatingPointUnitNarrowsThem) {
  if (!kNative) GTEST_SKIP();
  std::mt19937_64 random(3);
  auto check = [](const TExtendedBytes& b) {
    const double expected = static_cast<double>(FromNative(b));
    const double actual = ExtendedToDouble(b);
    if (std::isnan(expected)) {
      ASSERT_TRUE(std::isnan(actual));
      ASSERT_EQ(Bits(actual), Bits(expected));
    } else {
      ASSERT_EQ(Bits(actual), Bits(expected));
    }
  };
  for (int i = 0; i < 300000; ++i) {
    TExtendedBytes b;
    const uint64_t sig = random();
    std::memcpy(b.data(), &sig, 8);
    // Exponents near the edges of the double range matter most.
    const unsigned pick = static_cast<unsigned>(random() % 4);
    unsigned exponent = static_cast<unsigned>(random() & 0x7FFF);
    if (pick == 1) exponent = 15360 - 60 + static_cast<unsigned>(random() % 120);   // denormal doubles
    if (pick == 2) exponent = 16383 + 1000 + static_cast<unsigned>(random() % 50);  // overflow
    if (pick == 3) exponent = (random() & 1) ? 0x7FFF : 0;
    exponent |= (random() & 1) ? 0x8000 : 0;
    b[8] = static_cast<uint8_t>(exponent);
    b[9] = static_cast<uint8_t>(exponent >> 8);
    check(b);
  }
  // Exact halfway cases round to even: 1 + 2^-53 and 1 + 3 * 2^-53.
  TExtendedBytes half = ExtendedFromDouble(1.0);
  half[1] = 0x04;
  EXPECT_EQ(ExtendedToDouble(half), 1.0);
  check(half);
  half[1] = 0x0C;
  EXPECT_EQ(ExtendedToDouble(half), 1.0 + 2 * std::numeric_limits<double>::epsilon());
  check(half);
}

TEST(ExtendedTest, ValuesOutsideTheDoubleRange) {
  // 2^16383 and 2^-16445 (the smallest extended denormal).
  const TExtendedBytes large{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F};
  const TExtendedBytes tiny{1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(ExtendedToDouble(large), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ExtendedToDouble(tiny), 0.0);
  // An unnormal (integer bit clear, exponent set) is no number.
  const TExtendedBytes unnormal{0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F};
  EXPECT_TRUE(std::isnan(ExtendedToDouble(unnormal)));
}

TEST(ExtendedTest, LongDoublesByValueMatchTheNativeFormat) {
  if (!kNative) GTEST_SKIP();
  std::mt19937_64 random(4);
  for (int i = 0; i < 100000; ++i) {
    TExtendedBytes b;
    const uint64_t sig = random() | (1ull << 63);
    std::memcpy(b.data(), &sig, 8);
    const unsigned exponent = static_cast<unsigned>(1 + random() % 0x7FFE) | ((random() & 1) ? 0x8000 : 0);
    b[8] = static_cast<uint8_t>(exponent);
    b[9] = static_cast<uint8_t>(exponent >> 8);
    const long double native = FromNative(b);
    ASSERT_EQ(extended_detail::ToLongDoubleByValue(b), native);
    ASSERT_EQ(extended_detail::FromLongDoubleByValue(native), b);
  }
  // Extended denormals.
  const TExtendedBytes tiny{1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(extended_detail::ToLongDoubleByValue(tiny), FromNative(tiny));
  EXPECT_EQ(extended_detail::FromLongDoubleByValue(FromNative(tiny)), tiny);
  for (long double x :
       {0.0L, -0.0L, std::numeric_limits<long double>::infinity(), -std::numeric_limits<long double>::infinity()}) {
    EXPECT_EQ(extended_detail::FromLongDoubleByValue(x), Native(x));
  }
  EXPECT_TRUE(std::isnan(extended_detail::ToLongDoubleByValue(Native(std::numeric_limits<long double>::quiet_NaN()))));
}

}  // namespace
}  // namespace kest
