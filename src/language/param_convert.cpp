#include "language/param_convert.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kest {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Up to 8 digits fill the 32 bits; a ninth is an overflow.
bool ParseHex(std::string_view digits, bool negative, int32_t& result) {
  if (digits.empty() || digits.size() > 8) return false;
  uint32_t value = 0;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    value = value << 4 | static_cast<uint32_t>(d);
  }
  result = static_cast<int32_t>(negative ? 0u - value : value);
  return true;
}

bool ParseDecimal(std::string_view digits, bool negative, int32_t& result) {
  if (digits.empty()) return false;
  const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
  int64_t value = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return false;
    value = value * 10 + (c - '0');
    if (value > limit) return false;
  }
  result = static_cast<int32_t>(negative ? -value : value);
  return true;
}

bool HasHexPrefix(std::string_view s, size_t& skip) {
  if (!s.empty() && (s[0] == '$' || s[0] == 'x' || s[0] == 'X')) {
    skip = 1;
    return true;
  }
  if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    skip = 2;
    return true;
  }
  return false;
}

// The decimal form: digits with an optional full stop (at least one digit
// on either side of it), then an optional exponent with at least one digit.
bool IsDecimalForm(std::string_view s) {
  size_t i = 0;
  size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    const size_t start = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    if (i == start) return false;
  }
  return i == s.size();
}

std::string StripTrailingZeros(std::string digits) {
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return digits;
}

std::string FixedForm(const std::string& digits, int exponent) {
  if (exponent < 0) return "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  const size_t whole = static_cast<size_t>(exponent) + 1;
  if (digits.size() <= whole) return digits + std::string(whole - digits.size(), '0');
  return digits.substr(0, whole) + "." + digits.substr(whole);
}

std::string ExponentForm(const std::string& digits, int exponent) {
  std::string s = digits.substr(0, 1);
  if (digits.size() > 1) s += "." + digits.substr(1);
  return s + "E" + std::to_string(exponent);
}

}  // namespace

std::string IntToStr(int32_t value) { return std::to_string(value); }

int32_t FloatToInt(long double value) {
  constexpr long double kLimit = 9223372036854775808.0L;  // 2^63
  if (!(value > -kLimit && value < kLimit)) return 0;
  const int64_t whole = static_cast<int64_t>(value);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(whole)));
}

std::string FloatToStr(long double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // Rounding to 15 digits first decides the notation (999999999999999.9 is 1E15).
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14Le", std::fabs(value));
  const std::string text(buffer);
  const size_t e = text.find('e');
  const std::string digits = StripTrailingZeros(text.substr(0, 1) + text.substr(2, e - 2));
  const int exponent = std::atoi(text.c_str() + e + 1);
  const std::string body =
      exponent >= -4 && exponent < 15 ? FixedForm(digits, exponent) : ExponentForm(digits, exponent);
  return value < 0 ? "-" + body : body;
}

bool TryStrToInt(std::string_view text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::string_view rest = text.substr(i);
  size_t skip = 0;
  if (HasHexPrefix(rest, skip)) return ParseHex(rest.substr(skip), negative, value);
  return ParseDecimal(rest, negative, value);
}

int32_t StrToInt(std::string_view text) {
  int32_t value = 0;
  return TryStrToInt(text, value) ? value : 0;
}

bool TryStrToFloat(std::string_view text, long double& value) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && text[first] == ' ') ++first;
  while (last > first && text[last - 1] == ' ') --last;
  std::string_view s = text.substr(first, last - first);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (!IsDecimalForm(s)) return false;
  long double parsed = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), parsed);
  if (error != std::errc() || end != s.data() + s.size()) return false;
  value = negative ? -parsed : parsed;
  return true;
}

long double StrToFloat(std::string_view text) {
  long double value = 0;
  return TryStrToFloat(text, value) ? value : 0;
}

}  // namespace kest
