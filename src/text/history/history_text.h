#pragma once
// Text positions as histories and read marks store them. A position counts
// the glyphs the command's text was loaded with; the glyphs a variable's
// expansion inserts have none of their own, so a position means the same
// glyph whatever the variables showed. An expansion belongs to the position
// of the variable glyph that made it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kest {

class TTpWord;
class TWdGlyph;

bool IsExpansionGlyph(const TWdGlyph& glyph);

// The glyph index of a position; Count() for positions past the end, 0 for
// negative ones.
int32_t GlyphIndexOfPosition(const TTpWord& word, int32_t position);
// The number of loaded (not expansion) glyphs before the index: the position
// of the glyph there, or of the next loaded glyph when it is an expansion.
int32_t PositionOfGlyph(const TTpWord& word, int32_t index);

// The glyphs that show positions start..end: the loaded glyphs of the range
// with what their variables expanded to. Last < First when nothing is left.
struct TGlyphRange {
  int32_t First = 0;
  int32_t Last = -1;
};
TGlyphRange GlyphRangeOfPositions(const TTpWord& word, int32_t start, int32_t end);

// A screenful's variable values as the history stores them (name=value lines
// separated by CR LF) in the engine's form: one string per line, line breaks
// inside a value as 0x01 as they were saved.
std::vector<std::string> SplitVarValues(std::string_view values);

}  // namespace kest
