#pragma once
// How an element of one type reads as another. Every typed value, system
// variable and reference converts through these, so the rules live once.

#include <cstdint>
#include <string>
#include <string_view>

namespace kest {

std::string IntToStr(int32_t value);
// Truncates toward zero and keeps the low 32 bits (3e9 gives -1294967296).
// Values the floating-point unit cannot hold in 64 bits (NaN, infinities,
// |x| >= 2^63) give 0, the low half of its "integer indefinite".
int32_t FloatToInt(long double value);
// At most 15 significant digits without trailing zeros; fixed notation for
// 0.0001 <= |x| < 1E15, else a mantissa and exponent as in 1E20 and 1.5E-7.
std::string FloatToStr(long double value);
inline const char* FlagToStr(bool value) { return value ? "TRUE" : "FALSE"; }
// Leading spaces, a sign, then decimal digits, or up to 8 hexadecimal digits
// after "$", "x" or "0x" (which wrap, so "$FFFFFFFF" is -1); anything else,
// trailing spaces included, and decimal overflow give 0.
int32_t StrToInt(std::string_view text);
// The same rule, telling a text it accepts from one it refuses.
bool TryStrToInt(std::string_view text, int32_t& value);
// Sign, digits, full stop, exponent, with spaces allowed around; anything
// else, and values beyond the extended range, give 0.
long double StrToFloat(std::string_view text);
bool TryStrToFloat(std::string_view text, long double& value);
// True exactly for "TRUE".
inline bool StrToFlag(std::string_view text) { return text == "TRUE"; }

}  // namespace kest
