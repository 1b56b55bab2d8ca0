#pragma once
// The wall clock behind the date, time and millisecond-tick variables. The
// player reads the host's local time; a headless run pins a start date that
// then advances with the game's own clock, so the same inputs give the same
// script results on every run.

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/game_clock.h"

namespace kest {

struct TLocalDateTime {
  int32_t Year = 2000;
  int32_t Month = 1;  // 1..12
  int32_t Day = 1;    // 1..31
  int32_t Week = 7;   // 1 = Sunday .. 7 = Saturday
  int32_t Hour = 0;
  int32_t Min = 0;
  int32_t Sec = 0;
};

// The proleptic Gregorian calendar: days since 1970-01-01 of a date, the date
// and time of seconds since then, and the length of a month (1..12).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d);
TLocalDateTime CivilFromSeconds(int64_t seconds);
int32_t DaysInMonth(int32_t year, int32_t month);

class IDateClock {
 public:
  virtual ~IDateClock() = default;
  virtual TLocalDateTime Now() = 0;
  // A millisecond counter that wraps at 32 bits.
  virtual uint32_t TickMilliseconds() = 0;
};

// The host's local time zone and its monotonic clock.
class TSystemDateClock : public IDateClock {
 public:
  TLocalDateTime Now() override;
  uint32_t TickMilliseconds() override;
};

// A fixed start moved on by the game clock it follows; the tick is the game
// time itself (both stand still without a clock).
class TPinnedDateClock : public IDateClock {
 public:
  explicit TPinnedDateClock(const TLocalDateTime& start);
  // "YYYY-MM-DD" or "YYYY-MM-DDTHH:MM:SS" (a space may stand for the T);
  // nothing for any other text or an impossible date.
  static std::optional<TPinnedDateClock> Parse(std::string_view text);

  void Follow(const TGameClock* clock) { FClock = clock; }
  TLocalDateTime Now() override;
  uint32_t TickMilliseconds() override;

 private:
  int64_t GameTime() const { return FClock ? FClock->GameTime : 0; }

  int64_t FStartSeconds;  // seconds since 1970-01-01 00:00, local
  const TGameClock* FClock = nullptr;
};

}  // namespace kest
