#pragma once
// The operation codes of compiled expressions and their vocabulary: the name
// each code is shown by and the symbol it is written with.

#include <cstdint>
#include <string_view>

namespace kest {

enum TOpCode : uint8_t {
  ocNone = 0,
  ocTo = 1,
  ocPlus = 2,
  ocMinus = 3,
  ocMul = 4,
  ocDiv = 5,
  ocMod = 6,
  ocOr = 7,
  ocAnd = 8,
  ocXor = 9,
  ocDimTo = 10,
  ocFunc = 11,
  ocEqual = 12,
  ocBig = 13,
  ocSmall = 14,
  ocEBig = 15,
  ocESmall = 16,
  ocShiftL = 17,
  ocShiftR = 18,
  ocComboStr = 19,
  ocNEqual = 20,
};

inline constexpr uint8_t kOpCodeCount = 21;

// "ocPlus" for 2; empty for a code beyond the table.
std::string_view OpName(uint8_t code);
// "+" for ocPlus; empty for the codes that are not written as an operator.
std::string_view OpSymbol(uint8_t code);

// Intermediate values go to names of this form; every name beginning with the
// prefix lives for one evaluation only.
inline constexpr std::string_view kTempPrefix = "____";
inline constexpr std::string_view kElementPrefix = "____d_";
inline constexpr std::string_view kArgName = "____arg";

inline bool IsTempName(std::string_view name) { return name.starts_with(kTempPrefix); }

}  // namespace kest
