// The date functions. A date is a day number counted from 1899-12-30 with the
// time of day as its fraction; before that day the fraction still counts
// forward from midnight, so -1.25 is 1899-12-29 06:00. Only years 1..9999
// are dates: anything else ends the evaluation, as a division by zero does.
#include <cmath>
#include <string>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/builtin_functions.h"
#include "language/date_clock.h"
#include "language/sys_func_man.h"

namespace kest {
namespace {

constexpr int64_t kMsPerDay = 86400000;
// Day numbers of 0001-01-01 and 9999-12-31, and of 1970-01-01.
constexpr int64_t kFirstDay = -693593;
constexpr int64_t kLastDay = 2958465;
constexpr int64_t kUnixDay = 25569;

[[noreturn]] void InvalidDate() { throw EKestError("Invalid date"); }
[[noreturn]] void InvalidTime() { throw EKestError("Invalid time"); }

// Seconds are rounded to the millisecond: a stored 59 s is 58.999999... s
// after the division by the day's length. A time that rounds up to midnight
// belongs to the next day.
TLocalDateTime Decode(long double date) {
  if (!std::isfinite(date)) InvalidDate();
  const long double whole = std::trunc(date);
  if (whole < kFirstDay || whole > kLastDay) InvalidDate();
  int64_t day = static_cast<int64_t>(whole);
  int64_t ms = std::llround(std::fabs(date - whole) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    if (++day > kLastDay) InvalidDate();
  }
  return CivilFromSeconds((day - kUnixDay) * 86400 + ms / 1000);
}

TLocalDateTime DecodeArg(TFuncCall& c) { return Decode(c.Float(0)); }

void EncodeDateFn(TFuncCall& c) {
  const int32_t y = c.Int(0), m = c.Int(1), d = c.Int(2);
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) InvalidDate();
  c.Result.SetAsFloat(static_cast<long double>(DaysFromCivil(y, m, d) + kUnixDay));
}

void EncodeTimeFn(TFuncCall& c) {
  const int32_t h = c.Int(0), m = c.Int(1), s = c.Int(2);
  if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) InvalidTime();
  const int64_t ms = ((h * 60 + m) * 60 + s) * 1000LL;
  c.Result.SetAsFloat(static_cast<long double>(ms) / kMsPerDay);
}

// A literal in a written position has nowhere to keep the value and is passed
// over; the date is checked before anything is written.
void WriteParts(TFuncCall& c, int32_t a, int32_t b, int32_t d) {
  const int32_t parts[] = {a, b, d};
  for (size_t i = 0; i < 3; ++i) {
    if (TCustomParam* v = c.VarOrNull(i + 1)) v->SetAsInt(parts[i]);
  }
}

void DecodeDateFn(TFuncCall& c) {
  const TLocalDateTime t = DecodeArg(c);
  WriteParts(c, t.Year, t.Month, t.Day);
}

void DecodeTimeFn(TFuncCall& c) {
  const TLocalDateTime t = DecodeArg(c);
  WriteParts(c, t.Hour, t.Min, t.Sec);
}

template <int32_t TLocalDateTime::*Field>
void PartFn(TFuncCall& c) {
  c.Result.SetAsInt(DecodeArg(c).*Field);
}

void WeekStrFn(TFuncCall& c) {
  static const char* const kNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  c.Result.SetAsStr(kNames[DecodeArg(c).Week - 1]);
}

void WeekJStrFn(TFuncCall& c) {
  static const std::string kNames[] = {Utf8ToCp932("日"), Utf8ToCp932("月"), Utf8ToCp932("火"), Utf8ToCp932("水"),
                                       Utf8ToCp932("木"), Utf8ToCp932("金"), Utf8ToCp932("土")};
  c.Result.SetAsStr(kNames[DecodeArg(c).Week - 1]);
}

}  // namespace

void RegisterDateFunctions(TSysFuncMan& funcs) {
  funcs.Register(51, EncodeDateFn);
  funcs.Register(52, EncodeTimeFn);
  funcs.Register(53, DecodeDateFn);
  funcs.Register(54, DecodeTimeFn);
  funcs.Register(55, PartFn<&TLocalDateTime::Year>);
  funcs.Register(56, PartFn<&TLocalDateTime::Month>);
  funcs.Register(57, PartFn<&TLocalDateTime::Day>);
  funcs.Register(58, PartFn<&TLocalDateTime::Hour>);
  funcs.Register(59, PartFn<&TLocalDateTime::Min>);
  funcs.Register(60, PartFn<&TLocalDateTime::Sec>);
  funcs.Register(61, PartFn<&TLocalDateTime::Week>);
  funcs.Register(62, WeekStrFn);
  funcs.Register(63, WeekJStrFn);
}

}  // namespace kest
