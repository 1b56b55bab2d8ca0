#pragma once
// Turns a compiled expression back into infix text that the builder compiles
// to the same record, byte for byte. The builder numbers its temporaries by
// the order of its steps, so redundant parentheses and signs leave traces in
// the record; the decompiler tries the spellings those could have had and
// keeps the one whose record matches.

#include <optional>
#include <string>

#include "language/kest_parser.h"

namespace kest {

// The text, or nothing when no text compiles to exactly this record (records
// made by hand, or with literals no text can spell such as negative floats).
std::optional<std::string> DecompileExpression(const TKestParser& parser);

// The literal as the builder reads it back: integers in decimal (negative ones
// as eight hexadecimal digits after $), floats with the fewest digits that
// give the same ten bytes, TRUE or FALSE, strings quoted with their escapes.
// Nothing for a float that no text can spell (negative or not finite).
std::optional<std::string> LiteralText(const TOperand& operand);

}  // namespace kest
