#pragma once
// The 51 system variables: their ids (positions 0..50 of the store), names,
// native types and whether scripts may write them.

#include <cstdint>
#include <span>

namespace kest {

// clang-format off
enum TSysVarId : uint8_t {
  SV_RESULT, SV_LCLICK, SV_RCLICK, SV_LPUSH, SV_RPUSH, SV_MOUSEX, SV_MOUSEY, SV_TEXTDELAY,
  SV_HISTORYCOUNT, SV_PARAMCOUNT, SV_PARAMSTR, SV_SENDER, SV_SCRWIDTH, SV_SCRHEIGHT, SV_TICKCOUNT,
  SV_PCTICKCOUNT, SV_UPDATECOUNT, SV_YEAR, SV_MONTH, SV_DAY, SV_WEEK, SV_HOUR, SV_MIN, SV_SEC,
  SV_FONTS, SV_FIXEDFONTS, SV_FULLSCR, SV_CURSOR, SV_SELSTR, SV_SELINDEX, SV_PI, SV_CGDITHER,
  SV_1HOUR, SV_1MIN, SV_1SEC, SV_KEYPUSH, SV_KEYCLICK, SV_DISPLAYMODECOUNT, SV_DISPLAYMODEINDEX,
  SV_TITLE, SV_SOUNDON, SV_ACTIVECOMPO, SV_KEYREPEAT, SV_HISTORYMAXCOUNT, SV_TEMP, SV_MIDIPORT,
  SV_MIDIPORTS, SV_WHEELDOWN, SV_WHEELUP, SV_ISDEBUG, SV_STACKCOUNT,
};
// clang-format on

inline constexpr int32_t kSysVarCount = 51;
// The key tables: 256 virtual keys, then the wheel turned down and up.
inline constexpr int32_t kKeyTableCount = 258;

struct TSysVarInfo {
  const char* Name;
  // PT_NONE for the two that take the type of what they stand for.
  uint8_t Type;
  bool ReadOnly;
};

std::span<const TSysVarInfo> SysVarTable();

}  // namespace kest
