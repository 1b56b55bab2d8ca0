#pragma once
// The text box the input kinds draw inside the scene: its text in CP932, a
// caret and a selection that always step over whole characters, and rows laid
// out in its font. It draws itself into a surface, its rows rendered once per
// change of text, font or width.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/rect.h"
#include "text/label_list.h"

namespace kest {

class TCustomDIBX;
class TFontPixelManager;

class TEditBox {
 public:
  // Alignment codes of the box (memo): these are the platform's, not the
  // scene's HA_ values.
  enum TAlign : uint8_t { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };

  explicit TEditBox(bool multiLine);

  bool MultiLine() const { return FMultiLine; }
  const std::string& Text() const { return FText; }
  // Replaces the text and selects all of it.
  void SetText(std::string text);
  void SelectAll();
  size_t Caret() const { return FCaret; }
  bool HasSelection() const { return FCaret != FAnchor; }

  // Typed CP932 text replaces the selection; the single-line box takes no
  // line breaks. Nothing changes in a read-only box.
  void Type(std::string_view cp932);
  // An editing or caret key (virtual-key code); false when the key means
  // nothing to the box.
  bool Key(int key);
  // Puts the caret at the character nearest a point of the box.
  void CaretToPoint(int32_t x, int32_t y);

  bool ReadOnly = false;
  bool Enabled = true;
  bool Shown = false;
  bool Focused = false;  // holds the keyboard: the caret shows
  int32_t BackColour = 0xFFFFFF;
  uint8_t Align = kAlignLeft;

  std::string FontName{kLabelFontName};
  int32_t FontHeight = 12;  // negative: the character height, as given
  uint8_t FontStyle = 0;
  int32_t FontColour = 0;
  // Any change of the fields above that moves text marks the rows stale.
  void FontChanged() { FLaidOut = false; }

  // The background, the rows inside `bounds` (scene pixels), the selection
  // and, when focused, the caret. Without fonts only the background.
  void Paint(TCustomDIBX& surface, const TRect& bounds, TFontPixelManager* fonts);
  // The caret's rectangle in box pixels, as the last paint placed it.
  TRect CaretRect() const;

 private:
  struct TRow {
    size_t Start = 0, End = 0;    // bytes of the text; End before any CR LF
    std::vector<size_t> Offsets;  // byte offset of each character
    std::vector<int32_t> X;       // left edge of each character, then the row's width
  };
  void Replace(size_t from, size_t to, std::string_view with);
  void MoveCaret(size_t to, bool keepSelection = false);
  size_t PrevChar(size_t at) const;
  size_t NextChar(size_t at) const;
  void Layout(TFontPixelManager* fonts, int32_t width);
  size_t RowOf(size_t at) const;
  int32_t CaretX(const TRow& row, size_t at) const;
  size_t OffsetAtX(const TRow& row, int32_t x) const;
  int32_t RowLeft(const TRow& row, int32_t width) const;
  void Scroll(int32_t width, int32_t height);

  bool FMultiLine;
  std::string FText;
  size_t FCaret = 0;
  size_t FAnchor = 0;
  std::vector<TRow> FRows;
  TTpLabelList FLabels;  // one label per row
  bool FLaidOut = false;
  int32_t FLaidWidth = -1;
  TFontPixelManager* FLaidFonts = nullptr;
  int32_t FRowHeight = 12;
  int32_t FScrollX = 0;    // single line: pixels scrolled to the left
  int32_t FScrollRow = 0;  // memo: the first row shown
  int32_t FBoxWidth = 0, FBoxHeight = 0;
};

}  // namespace kest
