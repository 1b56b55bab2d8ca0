#include "language/date_clock.h"

#include <ctime>
#include <string>

namespace kest {

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

TLocalDateTime CivilFromSeconds(int64_t seconds) {
  int64_t days = seconds / 86400;
  int64_t rest = seconds % 86400;
  if (rest < 0) rest += 86400, --days;
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  TLocalDateTime t;
  t.Year = static_cast<int32_t>(yoe + era * 400 + (m <= 2));
  t.Month = static_cast<int32_t>(m);
  t.Day = static_cast<int32_t>(d);
  // 1970-01-01 was a Thursday (5).
  t.Week = static_cast<int32_t>(((days + 4) % 7 + 7) % 7 + 1);
  t.Hour = static_cast<int32_t>(rest / 3600);
  t.Min = static_cast<int32_t>(rest / 60 % 60);
  t.Sec = static_cast<int32_t>(rest % 60);
  return t;
}

int32_t DaysInMonth(int32_t year, int32_t month) {
  static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

namespace {

bool ReadNumber(std::string_view text, size_t at, size_t digits, int32_t& value) {
  if (at + digits > text.size()) return false;
  value = 0;
  for (size_t i = at; i < at + digits; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

TLocalDateTime TSystemDateClock::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  TLocalDateTime t;
  t.Year = local.tm_year + 1900;
  t.Month = local.tm_mon + 1;
  t.Day = local.tm_mday;
  t.Week = local.tm_wday + 1;
  t.Hour = local.tm_hour;
  t.Min = local.tm_min;
  t.Sec = local.tm_sec;
  return t;
}

uint32_t TSystemDateClock::TickMilliseconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

TPinnedDateClock::TPinnedDateClock(const TLocalDateTime& start)
    : FStartSeconds(DaysFromCivil(start.Year, start.Month, start.Day) * 86400 + start.Hour * 3600 + start.Min * 60 +
                    start.Sec) {}

std::optional<TPinnedDateClock> TPinnedDateClock::Parse(std::string_view text) {
  TLocalDateTime t;
  if (!ReadNumber(text, 0, 4, t.Year) || text.size() < 10 || text[4] != '-' || text[7] != '-' ||
      !ReadNumber(text, 5, 2, t.Month) || !ReadNumber(text, 8, 2, t.Day)) {
    return std::nullopt;
  }
  if (text.size() != 10) {
    if (text.size() != 19 || (text[10] != 'T' && text[10] != ' ') || text[13] != ':' || text[16] != ':' ||
        !ReadNumber(text, 11, 2, t.Hour) || !ReadNumber(text, 14, 2, t.Min) || !ReadNumber(text, 17, 2, t.Sec)) {
      return std::nullopt;
    }
  }
  if (t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > DaysInMonth(t.Year, t.Month)) return std::nullopt;
  if (t.Hour > 23 || t.Min > 59 || t.Sec > 59) return std::nullopt;
  return TPinnedDateClock(t);
}

TLocalDateTime TPinnedDateClock::Now() { return CivilFromSeconds(FStartSeconds + GameTime() / 1000); }

uint32_t TPinnedDateClock::TickMilliseconds() { return static_cast<uint32_t>(static_cast<uint64_t>(GameTime())); }

}  // namespace kest
