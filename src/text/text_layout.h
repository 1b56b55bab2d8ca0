#pragma once
// Where the glyphs of a text engine stand: pages of rows, with Japanese line
// breaking, floating images, indentation and alignment. A page also carries
// the state of its reveal, which the drawing code moves on frame by frame.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "text/glyphs.h"

namespace kest {

class TTpWord;

// The space an INDENT leaves at the start of every row that follows it.
class TWdSpace : public TWdGlyph {
 public:
  using TWdGlyph::TWdGlyph;
  TGlyphKind Kind() const override { return TGlyphKind::Space; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;
};

// One laid-out line.
class TWdRow {
 public:
  // The free span of the text area at the row's top (floating images narrow
  // it).
  int32_t Left = 0, Right = 0;
  uint8_t Align = taLeft;
  int32_t Top = 0;  // within the page
  int32_t Width = 0, Height = 0;
  // In order; the indent space, when there is one, comes first. Floating
  // images are listed where they came (for the reveal) but stand apart.
  std::vector<TWdGlyph*> Glyphs;
  std::unique_ptr<TWdSpace> Space;

  // While it fills: the tallest glyph that is not an inline image, and the
  // tallest images by vertical alignment; the height follows from them.
  int32_t MaxHeight = 0;
  int32_t MaxCentre = 0, MaxTop = 0, MaxBottom = 0;
};

class TWdPage {
 public:
  std::vector<std::unique_ptr<TWdRow>> Rows;
  int32_t Height = 0;  // the lowest row or floating image bottom
  // Moves the page up on the target when paging is off.
  int32_t ScrollOffset = 0;

  // The reveal.
  int32_t CurrentRow = 0, CurrentGlyph = 0;
  int32_t WaitMs = 0;
  int32_t FadeAccumulator = 0;
  bool StartDelay = false;
  bool Started = false;  // the first step (whose time is not counted) is past
  std::vector<TWdReal*> Fading;
  std::vector<TWdReal*> Animating;
  std::string Events;  // tab-separated, waiting to be handed out
  bool EventPassed = false;
  bool Done = false;
  TWdGlyph* HoverLink = nullptr;  // the first glyph of the highlighted run
};

// The pages hold indent spaces from the engine's pool: free them before the
// engine.
using TWdPages = std::vector<std::unique_ptr<TWdPage>>;

// The cell a character occupies, whatever the character, with the sizes its
// decoration resolves to.
struct TCellMetrics {
  int32_t Size = 0;    // font size
  int32_t Border = 0;  // outline width
  int32_t Shadow = 0;  // shadow offset
  int32_t Width = 0, Height = 0;
};
TCellMetrics CellMetrics(const TTpWord& word, const TDecorateValues& decoration);

// An image aligned left or right: it stands beside the rows, which flow
// around it.
bool IsFloating(const TWdGlyph& glyph);

// Lays glyphs first..last (last -1: to the end) out into new pages appended
// to pages. Every glyph of the range gets its size, and every glyph that
// takes a place in a row its row and its position within the page; the
// others (alignment and indentation changes) have no row. With no text width
// the engine's Width becomes that of the widest row.
void LayoutGlyphs(TTpWord& word, TWdPages& pages, int32_t first = 0, int32_t last = -1);

}  // namespace kest
