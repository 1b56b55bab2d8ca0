#pragma once
// How values are spelled in a source line, in both directions: expressions
// (builder text, or "raw:" and a record in hexadecimal for records no text
// spells), values that stand alone among field=value pairs, lists of values,
// text fields and byte data. The readers raise ESourceError with the column
// of the mistake; the writers give text the readers turn back into the very
// same bytes.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "language/kest_parser.h"

namespace kest::kestc {

// UTF-8 as Shift-JIS; raises at the column of the first character that has no
// Shift-JIS form.
std::string ToCp932(std::string_view utf8, int32_t column);

// Expression text as the rest of a line holds it: empty text is the empty
// expression (no operations), "raw:HEX" a record as it stands, anything else
// goes to the expression builder, whose messages are raised at the column.
TKestParser CompileExpression(std::string_view text, int32_t column);
// One value: (TEXT) is TEXT's expression and () the empty one; anything else
// is expression text as it stands ("bg", 640, $FF00FF, a[1], raw:...).
TKestParser CompileValue(std::string_view value, int32_t column);
// (VALUE, VALUE, ...); () is the empty list. An element may be any value, or
// expression text with blanks in it.
std::vector<TKestParser> CompileList(std::string_view list, int32_t column);

// Pieces of text between the separators that stand outside strings and
// brackets, each with its offset in text.
struct TPiece {
  std::string_view Text;
  size_t Offset;
};
std::vector<TPiece> SplitOutside(std::string_view text, char separator, int32_t column);
// text is "(...)" with the first parenthesis closed by the last one.
bool IsWrapped(std::string_view text);

// A text field: "quoted" (\" \\, \n for a line break, \xHH for one byte, any
// other backslash stays as written) or a bare word taken as it stands.
std::string DecodeText(std::string_view value, int32_t column);
// The quoted form of Shift-JIS text.
std::string QuoteText(std::string_view cp932);

// Pairs of hexadecimal digits.
std::vector<uint8_t> DecodeHex(std::string_view hex, int32_t column);
std::string HexText(std::span<const uint8_t> bytes);

std::vector<uint8_t> RecordBytes(const TKestParser& e);
bool IsEmptyExpression(const TKestParser& e);
// The spellings CompileExpression, CompileValue and a list element read back
// as e: decompiled text where some text compiles to exactly e, else raw.
// The empty expression is "" as an expression and () as a value.
std::string ExpressionSource(const TKestParser& e);
std::string ValueSource(const TKestParser& e);
std::string ListSource(const std::vector<TKestParser>& list);

}  // namespace kest::kestc
