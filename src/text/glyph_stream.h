#pragma once
// Glyph streams: the parsed text of a text-insertion command as compiled
// pages store it. Little-endian; an optional "TpWord" + three-digit version
// header (none means version 0), the decoration records, then the glyphs,
// each a type code and a body. The layout changes at versions 100 (outline
// width widened, shadows added), 101 (variables carry wait and link) and 102
// (variables carry their expression text instead of a compiled expression).

#include <cstdint>

namespace kest {

class TStream;
class TTpWord;

inline constexpr int32_t kGlyphStreamVersion = 102;

// Appends one stream's decorations and glyphs to the engine (TTpWord::LoadGlyphs).
// Raises EReadError for a damaged stream and leaves the engine as it was.
void ReadGlyphStream(TStream& stream, TTpWord& word);
// Writes every stored glyph of the engine (code 0 glyphs are skipped) with
// the decorations they use, in the layout of the given version: 0 (no
// header), 1-99, 100, 101 or 102 and above.
void WriteGlyphStream(TStream& stream, const TTpWord& word, int32_t version = kGlyphStreamVersion);

}  // namespace kest
