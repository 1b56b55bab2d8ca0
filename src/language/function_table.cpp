#include "language/function_table.h"

#include <array>

#include "language/param_types.h"

namespace kest {
namespace {

constexpr uint8_t I = PT_INT;
constexpr uint8_t F = PT_FLOAT;
constexpr uint8_t B = PT_BOOL;
constexpr uint8_t S = PT_STR;
constexpr uint8_t P = PT_NONE;
constexpr int8_t N = kNoArgLimit;

constexpr std::array<TFuncInfo, kSysFuncCount> kTable = {{
    {"IntToStr", 1, 2, S},  // 0
    {"IntToHex", 2, 2, S},
    {"GetProp", 2, 2, P},
    {"SetProp", 3, 3, S},
    {"GetArraySize", 1, 2, I},
    {"Length", 1, 1, I},  // 5
    {"JLength", 1, 1, I},
    {"Copy", 2, 3, S},
    {"JCopy", 2, 3, S},
    {"Delete", 2, 3, S},
    {"JDelete", 2, 3, S},  // 10
    {"Insert", 3, 3, S},
    {"JInsert", 3, 3, S},
    {"CompareStr", 2, 2, I},
    {"CompareText", 2, 2, I},
    {"Pos", 2, 2, I},  // 15
    {"JPos", 2, 2, I},
    {"Trim", 1, 1, S},
    {"JTrim", 1, 1, S},
    {"Exists", 1, 1, B},
    {"", 0, 0, P},  // 20 has no row
    {"SetArray", 2, N, I},
    {"FillMem", 2, 2, I},
    {"CopyMem", 2, 2, I},
    {"GetCheck", 2, 2, B},
    {"SetCheck", 3, 3, B},  // 25
    {"Random", 1, 1, I},
    {"GetSaveCaption", 1, 1, S},
    {"ArrayToString", 1, 2, S},
    {"StringToArray", 2, 3, I},
    {"IndexOfStr", 2, 4, I},  // 30
    {"SortStr", 1, 3, I},
    {"ListCompo", 1, 3, I},
    {"ToClientX", 2, 2, I},
    {"ToClientY", 2, 2, I},
    {"ToScreenX", 2, 2, I},  // 35
    {"ToScreenY", 2, 2, I},
    {"Int", 1, 1, I},
    {"Float", 1, 1, F},
    {"Sin", 1, 1, F},
    {"Cos", 1, 1, F},  // 40
    {"Tan", 1, 1, F},
    {"ArcSin", 1, 1, F},
    {"ArcCos", 1, 1, F},
    {"ArcTan", 1, 1, F},
    {"ArcTan2", 2, 2, F},  // 45
    {"Hypot", 2, 2, F},
    {"IndexOfMenu", 2, 2, I},
    {"Abs", 1, 1, I},
    {"Fabs", 1, 1, F},
    {"VarExists", 1, 1, B},  // 50
    {"EncodeDate", 3, 3, F},
    {"EncodeTime", 3, 3, F},
    {"DecodeDate", 4, 4, I},
    {"DecodeTime", 4, 4, I},
    {"GetYear", 1, 1, I},  // 55
    {"GetMonth", 1, 1, I},
    {"GetDay", 1, 1, I},
    {"GetHour", 1, 1, I},
    {"GetMin", 1, 1, I},
    {"GetSec", 1, 1, I},  // 60
    {"GetWeek", 1, 1, I},
    {"GetWeekStr", 1, 1, S},
    {"GetWeekJStr", 1, 1, S},
    {"FixStr", 1, 1, S},
    {"GetDisplayMode", 5, 5, B},  // 65
    {"AddArray", 2, 2, I},
    {"InsertArray", 3, 3, I},
    {"DeleteArray", 3, 3, I},
    {"InPrimary", 1, 1, B},
    {"CopyArray", 2, 2, B},  // 70
    {"FileExists", 1, 1, B},
    {"LoadTextFile", 2, 2, B},
    {"LowerCase", 1, 1, S},
    {"UpperCase", 1, 1, S},
    {"ExtractFilePath", 1, 1, S},  // 75
    {"ExtractFileName", 1, 1, S},
    {"ExtractFileExt", 1, 1, S},
    {"IsPathDelimiter", 2, 2, B},
    {"AddBackSlash", 1, 1, S},
    {"ChangeFileExt", 2, 2, S},  // 80
    {"IsDelimiter", 3, 3, B},
    {"StringOfChar", 2, 2, S},
    {"StringReplace", 3, 5, S},
    {"AssignTemp", 1, 1, B},
    {"HanToZen", 1, 1, S},  // 85
    {"ZenToHan", 1, 1, S},
    {"DBCreateTable", 2, 2, B},
    {"DBSetActive", 1, 1, B},
    {"DBAddField", 2, 3, B},
    {"DBSetRecNo", 1, 1, B},  // 90
    {"DBInsert", 0, N, B},
    {"DBDelete", 0, 0, B},
    {"DBGetInt", 1, 1, I},
    {"DBSetInt", 2, 2, B},
    {"DBGetFloat", 1, 1, F},  // 95
    {"DBSetFloat", 2, 2, B},
    {"DBGetBool", 1, 1, B},
    {"DBSetBool", 2, 2, B},
    {"DBGetStr", 1, 1, S},
    {"DBSetStr", 2, 2, B},  // 100
    {"DBRecordCount", 0, 1, I},
    {"DBFindFirst", 0, 0, B},
    {"DBFindLast", 0, 0, B},
    {"DBFindNext", 0, 0, B},
    {"DBFindPrior", 0, 0, B},  // 105
    {"DBLocate", 2, 4, B},
    {"DBLoadTsvFile", 1, 1, B},
    {"DBDirectGetInt", 7, 7, I},
    {"DBDirectSetInt", 7, 7, B},
    {"DBDirectGetFloat", 7, 7, F},  // 110
    {"DBDirectSetFloat", 7, 7, B},
    {"DBDirectGetBool", 7, 7, B},
    {"DBDirectSetBool", 7, 7, B},
    {"DBDirectGetStr", 7, 7, S},
    {"DBDirectSetStr", 7, 7, B},  // 115
    {"DBCopyTable", 1, 5, B},
    {"DBDeleteTable", 0, 1, B},
    {"DBInsertTable", 1, 5, B},
    {"DBCopy", 1, 1, B},
    {"DBClearTable", 0, 0, B},  // 120
    {"DBSort", 2, 2, B},
    {"DBGetActive", 0, 0, S},
    {"DBGetRecNo", 0, 1, I},
    {"DBClearRecord", 0, 1, B},
    {"SetWallPaper", 2, 2, B},  // 125
    {"Min", 2, 2, I},
    {"Max", 2, 2, I},
    {"Fmin", 2, 2, F},
    {"Fmax", 2, 2, F},
    {"GetVarType", 1, 1, I},  // 130
    {"GetEnabled", 2, 2, B},
    {"SetEnabled", 3, 3, B},
    {"AddDelimiter", 2, 2, S},
    {"ListSaveCaption", 0, 2, I},
    {"OpenUrl", 1, 1, B},  // 135
    {"Calc", 1, 1, S},
    {"SaveScreen", 1, 5, B},
    {"StrToIntDef", 2, 2, I},
    {"StrToFloatDef", 2, 2, F},
    {"GetVisible", 2, 2, B},  // 140
    {"SetVisible", 3, 3, B},
    {"GetHistoryCount", 1, 1, I},
    {"GetHistoryMaxCount", 1, 1, I},
    {"SetHistoryMaxCount", 2, 2, B},
    {"GetGroupIndex", 2, 2, I},  // 145
    {"GetSelected", 2, 2, B},
    {"SetSelected", 3, 3, B},
    {"SelectOpenFile", 1, 2, B},
    {"SelectSaveFile", 1, 2, B},
    {"SelectDirectory", 1, 1, B},  // 150
    {"ExtractFile", 1, 3, B},
    {"Chr", 1, 1, S},
    {"Ord", 1, 1, I},
    {"InCabinet", 1, 1, B},
    {"PushVar", 1, N, B},  // 155
    {"PopVar", 0, 0, B},
    {"DeleteStack", 1, 1, B},
    {"CopyFile", 2, 2, B},
    {"DBGetTableCount", 0, 0, I},
    {"DBGetTable", 2, 3, B},  // 160
}};

}  // namespace

std::span<const TFuncInfo> FuncTable() { return kTable; }

const TFuncInfo* FindFunc(int32_t number) {
  if (number < 0 || number >= kSysFuncCount) return nullptr;
  const TFuncInfo& row = kTable[static_cast<size_t>(number)];
  return row.Exists() ? &row : nullptr;
}

// Only the builder looks names up, once per call it compiles; a walk over the
// table is cheap enough for that and keeps the table plain data.
int32_t FindFuncByName(std::string_view name) {
  if (name.empty()) return -1;
  for (size_t i = 0; i < kTable.size(); ++i) {
    if (kTable[i].Name == name) return static_cast<int32_t>(i);
  }
  return -1;
}

}  // namespace kest
