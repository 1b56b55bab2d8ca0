#include "language/ope_codes.h"

#include <array>

namespace kest {
namespace {

struct TOpWords {
  std::string_view Name;
  std::string_view Symbol;
};

constexpr std::array<TOpWords, kOpCodeCount> kOpWords = {{
    {"ocNone", ""},     {"ocTo", ""},       {"ocPlus", "+"},    {"ocMinus", "-"},   {"ocMul", "*"},
    {"ocDiv", "/"},     {"ocMod", "%"},     {"ocOr", "|"},      {"ocAnd", "&"},     {"ocXor", "^"},
    {"ocDimTo", "dim"}, {"ocFunc", ""},     {"ocEqual", "=="},  {"ocBig", ">"},     {"ocSmall", "<"},
    {"ocEBig", ">="},   {"ocESmall", "<="}, {"ocShiftL", "<<"}, {"ocShiftR", ">>"}, {"ocComboStr", "++"},
    {"ocNEqual", "<>"},
}};

}  // namespace

std::string_view OpName(uint8_t code) { return code < kOpCodeCount ? kOpWords[code].Name : std::string_view(); }

std::string_view OpSymbol(uint8_t code) { return code < kOpCodeCount ? kOpWords[code].Symbol : std::string_view(); }

}  // namespace kest
