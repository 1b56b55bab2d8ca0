#include "language/system_variables.h"

#include "language/param_types.h"

namespace kest {
namespace {

constexpr bool RO = true;
constexpr bool RW = false;

// clang-format off
constexpr TSysVarInfo kTable[kSysVarCount] = {
    {"@Result", PT_NONE, RW},        {"@LClick", PT_BOOL, RW},          {"@RClick", PT_BOOL, RW},
    {"@LPush", PT_BOOL, RO},         {"@RPush", PT_BOOL, RO},           {"@MouseX", PT_INT, RW},
    {"@MouseY", PT_INT, RW},         {"@TextDelay", PT_INT, RW},        {"@HistoryCount", PT_INT, RO},
    {"@ParamCount", PT_INT, RO},     {"@ParamStr", PT_STR, RO},         {"@Sender", PT_STR, RO},
    {"@ScrWidth", PT_INT, RO},       {"@ScrHeight", PT_INT, RO},        {"@TickCount", PT_INT, RO},
    {"@PCTickCount", PT_INT, RO},    {"@UpdateCount", PT_INT, RO},      {"@Year", PT_INT, RO},
    {"@Month", PT_INT, RO},          {"@Day", PT_INT, RO},              {"@Week", PT_INT, RO},
    {"@Hour", PT_INT, RO},           {"@Min", PT_INT, RO},              {"@Sec", PT_INT, RO},
    {"@Fonts", PT_STR, RO},          {"@FixedFonts", PT_STR, RO},       {"@FullScr", PT_BOOL, RW},
    {"@Cursor", PT_STR, RW},         {"@SelStr", PT_STR, RW},           {"@SelIndex", PT_INT, RW},
    {"@Pi", PT_FLOAT, RO},           {"@CGDither", PT_BOOL, RW},        {"@1Hour", PT_FLOAT, RO},
    {"@1Min", PT_FLOAT, RO},         {"@1Sec", PT_FLOAT, RO},           {"@KeyPush", PT_BOOL, RO},
    {"@KeyClick", PT_BOOL, RO},      {"@DisplayModeCount", PT_INT, RO}, {"@DisplayModeIndex", PT_INT, RW},
    {"@Title", PT_STR, RO},          {"@SoundON", PT_BOOL, RW},         {"@ActiveCompo", PT_STR, RW},
    {"@KeyRepeat", PT_BOOL, RO},     {"@HistoryMaxCount", PT_INT, RW},  {"@Temp", PT_NONE, RW},
    {"@MidiPort", PT_STR, RW},       {"@MidiPorts", PT_STR, RO},        {"@WheelDown", PT_BOOL, RO},
    {"@WheelUp", PT_BOOL, RO},       {"@IsDebug", PT_BOOL, RO},         {"@StackCount", PT_INT, RO},
};
// clang-format on

}  // namespace

std::span<const TSysVarInfo> SysVarTable() { return kTable; }

}  // namespace kest
