#pragma once
// Rendering characters into the glyph layers, once per layout: the shadow,
// the outline, the body, underline and strike-out bars, and ruby above a run.

#include <cstdint>

#include "text/glyph_layers.h"

namespace kest {

class TTpWord;
class TWdChar;
class TFontPixelManager;
struct TFontPixel;

// The drawing values of a character, from its decoration and the engine's
// defaults, held to what can be drawn (kMaxFontSize, kMaxOutline).
struct TCharLook {
  std::string FontName;
  int32_t Size = 12;
  uint8_t Style = 0;
  int32_t Colour = 0, BorderColour = 0, ShadowColour = 0;
  int32_t Border = 0, Shadow = 0;
  int32_t Ruby = 0;  // the ruby line's height above the base (0 without ruby)
};
TCharLook LookOf(const TTpWord& word, const TWdChar& glyph, bool hovered);

// A cached character with its shadow and outline as the look asks, the body
// at (x, y); captions draw their characters the same way.
void StampLayers(TGlyphLayers& layers, const TFontPixel& p, int32_t x, int32_t y, const TCharLook& look);

// The characters on either side of one in its row (none at a row's ends),
// whose underline and strike-out bars may run on into its own.
struct TBarNeighbours {
  const TWdChar* Left = nullptr;
  const TWdChar* Right = nullptr;
};

// One character in its cell (glyph X, Y, Width, Height, in page coordinates);
// sets the glyph's Ink, Plain and InkColour.
void RenderCharacter(TGlyphLayers& layers, TFontPixelManager& fonts, const TTpWord& word, TWdChar& glyph, bool hovered,
                     const TBarNeighbours& beside = {});
// Ruby text over a run of glyphs of total width runWidth starting at x (the
// run's left edge) and y (the cells' top), at size r.
void RenderRuby(TGlyphLayers& layers, TFontPixelManager& fonts, const TCharLook& base, std::string_view ruby, int32_t x,
                int32_t y, int32_t runWidth, int32_t format);

}  // namespace kest
