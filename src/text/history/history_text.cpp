#include "text/history/history_text.h"

#include <algorithm>
#include <string>

#include "text/glyphs.h"
#include "text/tp_word.h"

namespace kest {

bool IsExpansionGlyph(const TWdGlyph& glyph) {
  return glyph.Kind() == TGlyphKind::VarChar || glyph.Kind() == TGlyphKind::VarReturn;
}

int32_t GlyphIndexOfPosition(const TTpWord& word, int32_t position) {
  int32_t loaded = 0;
  for (int32_t i = 0; i < word.Count(); ++i) {
    if (IsExpansionGlyph(*word.Glyph(i))) continue;
    if (loaded == position) return i;
    ++loaded;
  }
  return position < 0 ? 0 : word.Count();
}

int32_t PositionOfGlyph(const TTpWord& word, int32_t index) {
  index = std::clamp(index, 0, word.Count());
  int32_t loaded = 0;
  for (int32_t i = 0; i < index; ++i)
    if (!IsExpansionGlyph(*word.Glyph(i))) ++loaded;
  return loaded;
}

TGlyphRange GlyphRangeOfPositions(const TTpWord& word, int32_t start, int32_t end) {
  if (end < start || end < 0) return {0, -1};
  // The end glyph's own expansion follows it, up to the next loaded glyph.
  const int32_t afterEnd = end == INT32_MAX ? word.Count() : GlyphIndexOfPosition(word, end + 1);
  return {GlyphIndexOfPosition(word, std::max(start, 0)), afterEnd - 1};
}

std::vector<std::string> SplitVarValues(std::string_view values) {
  std::vector<std::string> lines;
  size_t from = 0;
  while (from < values.size()) {
    const size_t stop = std::min(values.find_first_of("\r\n", from), values.size());
    if (stop > from) lines.emplace_back(values.substr(from, stop - from));
    from = stop + 1;
  }
  return lines;
}

}  // namespace kest
