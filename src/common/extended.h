#pragma once
// The 10-byte extended float of the stored records: a sign bit and a 15-bit
// exponent (bias 16383) in the last two bytes, before them a 64-bit significand
// with an explicit integer bit, all little-endian. The encoders here work bit by
// bit, so the stored format never depends on what the compiler's long double is.

#include <array>
#include <cstdint>

namespace kest {

using TExtendedBytes = std::array<uint8_t, 10>;

// Every double is exact in the extended format.
TExtendedBytes ExtendedFromDouble(double value);
// Rounded to nearest, ties to even; beyond the double range gives an infinity.
// Encodings the floating-point unit refuses (a clear integer bit with a non-zero
// exponent) read as NaN, as the unit reads them.
double ExtendedToDouble(const TExtendedBytes& bytes);

TExtendedBytes ExtendedFromLongDouble(long double value);
long double ExtendedToLongDouble(const TExtendedBytes& bytes);

namespace extended_detail {
// The arithmetic forms behind the long double pair, for a long double that is
// not the extended format itself but at least as precise; kept callable so the
// tests can hold them against the native format.
TExtendedBytes FromLongDoubleByValue(long double value);
long double ToLongDoubleByValue(const TExtendedBytes& bytes);
}  // namespace extended_detail

}  // namespace kest
