#pragma once
// The table of system functions: for each number its name, how many
// arguments it takes and the type of the value it gives. The builder turns
// names into numbers with it and checks argument counts; the evaluator gives a
// new temporary the result type.

#include <cstdint>
#include <span>
#include <string_view>

namespace kest {

inline constexpr int32_t kSysFuncCount = 161;
inline constexpr int32_t kNoArgLimit = -1;
// The number of the function whose result takes the type of a property.
inline constexpr uint8_t kFuncGetProp = 2;
inline constexpr uint8_t kFuncCalc = 136;
inline constexpr uint8_t kFuncDeleteStack = 157;

struct TFuncInfo {
  std::string_view Name;  // empty for a number the table has no row for
  int8_t MinArgs;
  int8_t MaxArgs;      // kNoArgLimit for no upper limit
  uint8_t ResultType;  // a PT_* code; PT_NONE for GetProp

  bool Exists() const { return !Name.empty(); }
  bool TakesArgs(int32_t n) const { return n >= MinArgs && (MaxArgs == kNoArgLimit || n <= MaxArgs); }
};

// Indexed by function number, kSysFuncCount rows.
std::span<const TFuncInfo> FuncTable();
// The row of a number, or nothing when the table has none.
const TFuncInfo* FindFunc(int32_t number);
// The number of the function of exactly this name (case counts), or -1.
int32_t FindFuncByName(std::string_view name);

}  // namespace kest
