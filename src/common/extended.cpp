#include "common/extended.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace kest {
namespace {

constexpr uint64_t kIntegerBit = 1ull << 63;
constexpr uint64_t kQuietBit = 1ull << 62;
constexpr int kBias = 16383;
constexpr int kMaxExponent = 0x7FFF;
// What the floating-point unit answers for an operand it refuses.
constexpr uint64_t kDefaultNaNBits = 0xFFF8000000000000ull;

constexpr bool kNativeExtended = LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384;

struct TParts {
  bool Negative;
  int Exponent;  // the stored 15-bit field
  uint64_t Significand;
};

TExtendedBytes Pack(const TParts& p) {
  TExtendedBytes b{};
  for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(p.Significand >> (8 * i));
  const unsigned top = static_cast<unsigned>(p.Exponent) | (p.Negative ? 0x8000u : 0u);
  b[8] = static_cast<uint8_t>(top);
  b[9] = static_cast<uint8_t>(top >> 8);
  return b;
}

TParts Unpack(const TExtendedBytes& b) {
  TParts p{};
  for (int i = 7; i >= 0; --i) p.Significand = (p.Significand << 8) | b[i];
  const unsigned top = b[8] | (static_cast<unsigned>(b[9]) << 8);
  p.Negative = (top & 0x8000u) != 0;
  p.Exponent = static_cast<int>(top & 0x7FFFu);
  return p;
}

double FromBits(uint64_t bits) { return std::bit_cast<double>(bits); }

// Rounds the top of `significand` to nearest (ties to even) after dropping
// `shift` low bits.
uint64_t RoundShift(uint64_t significand, int shift) {
  if (shift == 0) return significand;
  if (shift > 64) return 0;
  if (shift == 64) return significand > kIntegerBit ? 1 : 0;
  const uint64_t kept = significand >> shift;
  const uint64_t rest = significand & ((1ull << shift) - 1);
  const uint64_t half = 1ull << (shift - 1);
  return kept + ((rest > half || (rest == half && (kept & 1))) ? 1 : 0);
}

// A finite, non-zero value sig * 2^(e - 63), sig normalised, as a double.
double FiniteToDouble(bool negative, int e, uint64_t sig) {
  const uint64_t sign = negative ? 1ull << 63 : 0;
  if (e >= -1022) {
    uint64_t kept = RoundShift(sig, 11);
    if (kept >> 53) {
      kept >>= 1;
      ++e;
    }
    if (e > 1023) return FromBits(sign | 0x7FF0000000000000ull);
    return FromBits(sign | (static_cast<uint64_t>(e + 1023) << 52) | (kept & ((1ull << 52) - 1)));
  }
  // Below the normal range a double counts in units of 2^-1074; a rounded
  // result of 2^52 units carries into the smallest normal number by itself.
  return FromBits(sign | RoundShift(sig, -1011 - e));
}

}  // namespace

TExtendedBytes ExtendedFromDouble(double value) {
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const int e = static_cast<int>((bits >> 52) & 0x7FF);
  const uint64_t f = bits & ((1ull << 52) - 1);
  if (e == 0x7FF) {
    const uint64_t sig = f == 0 ? kIntegerBit : kIntegerBit | kQuietBit | (f << 11);
    return Pack({negative, kMaxExponent, sig});
  }
  if (e == 0) {
    if (f == 0) return Pack({negative, 0, 0});
    const int top = 63 - std::countl_zero(f);
    return Pack({negative, top - 1074 + kBias, f << (63 - top)});
  }
  return Pack({negative, e - 1023 + kBias, kIntegerBit | (f << 11)});
}

double ExtendedToDouble(const TExtendedBytes& bytes) {
  const TParts p = Unpack(bytes);
  const uint64_t sign = p.Negative ? 1ull << 63 : 0;
  const bool integerBit = (p.Significand & kIntegerBit) != 0;
  if (p.Exponent == kMaxExponent) {
    if (!integerBit) return FromBits(kDefaultNaNBits);
    const uint64_t fraction = p.Significand & ~kIntegerBit;
    if (fraction == 0) return FromBits(sign | 0x7FF0000000000000ull);
    return FromBits(sign | 0x7FF8000000000000ull | ((p.Significand >> 11) & ((1ull << 52) - 1)));
  }
  if (p.Exponent != 0 && !integerBit) return FromBits(kDefaultNaNBits);
  if (p.Significand == 0) return FromBits(sign);
  const int lead = std::countl_zero(p.Significand);
  const int e = std::max(p.Exponent, 1) - kBias - lead;
  return FiniteToDouble(p.Negative, e, p.Significand << lead);
}

namespace extended_detail {

TExtendedBytes FromLongDoubleByValue(long double value) {
  const bool negative = std::signbit(value);
  if (std::isnan(value)) return Pack({negative, kMaxExponent, kIntegerBit | kQuietBit});
  if (std::isinf(value)) return Pack({negative, kMaxExponent, kIntegerBit});
  if (value == 0) return Pack({negative, 0, 0});
  const long double magnitude = std::fabs(value);
  const long double two64 = std::ldexp(1.0L, 64);
  int e;
  const long double m = std::frexp(magnitude, &e);  // magnitude = m * 2^e, m in [0.5, 1)
  int exponent = e - 1 + kBias;
  long double scaled = exponent >= 1 ? std::ldexp(m, 64) : std::ldexp(magnitude, kBias - 1 + 63);
  scaled = std::nearbyint(scaled);
  if (exponent < 1) {
    const uint64_t sig = static_cast<uint64_t>(scaled);
    return Pack({negative, (sig & kIntegerBit) ? 1 : 0, sig});
  }
  if (scaled >= two64) {
    scaled = std::ldexp(scaled, -1);
    ++exponent;
  }
  if (exponent >= kMaxExponent) return Pack({negative, kMaxExponent, kIntegerBit});
  return Pack({negative, exponent, static_cast<uint64_t>(scaled)});
}

long double ToLongDoubleByValue(const TExtendedBytes& bytes) {
  const TParts p = Unpack(bytes);
  const bool integerBit = (p.Significand & kIntegerBit) != 0;
  const long double sign = p.Negative ? -1.0L : 1.0L;
  if (p.Exponent == kMaxExponent) {
    if (integerBit && (p.Significand & ~kIntegerBit) == 0) return sign * std::numeric_limits<long double>::infinity();
    return std::copysign(std::numeric_limits<long double>::quiet_NaN(), integerBit ? sign : -1.0L);
  }
  if (p.Exponent != 0 && !integerBit) return -std::numeric_limits<long double>::quiet_NaN();
  const int e = std::max(p.Exponent, 1) - kBias - 63;
  return sign * std::ldexp(static_cast<long double>(p.Significand), e);
}

}  // namespace extended_detail

TExtendedBytes ExtendedFromLongDouble(long double value) {
  if constexpr (kNativeExtended) {
    TExtendedBytes b;
    std::memcpy(b.data(), &value, b.size());
    return b;
  } else if constexpr (LDBL_MANT_DIG >= 64) {
    return extended_detail::FromLongDoubleByValue(value);
  } else {
    return ExtendedFromDouble(static_cast<double>(value));
  }
}

long double ExtendedToLongDouble(const TExtendedBytes& bytes) {
  if constexpr (kNativeExtended) {
    long double value = 0;
    std::memcpy(&value, bytes.data(), bytes.size());
    return value;
  } else if constexpr (LDBL_MANT_DIG >= 64) {
    return extended_detail::ToLongDoubleByValue(bytes);
  } else {
    return ExtendedToDouble(bytes);
  }
}

}  // namespace kest
