#include "text/text_layout.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <tuple>
#include <utility>

#include "text/font_pixel_manager.h"
#include "text/tp_word.h"

namespace kest {

namespace {

// Pictures beyond this come from damaged data, not from text; bounding them
// (and character cells to what the fonts draw) keeps every sum below in range.
constexpr int32_t kMaxImageSide = 1 << 20;

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool IsChar(const TWdGlyph& g) { return g.Kind() == TGlyphKind::Char || g.Kind() == TGlyphKind::VarChar; }
bool IsBreak(const TWdGlyph& g) { return g.Kind() == TGlyphKind::Return || g.Kind() == TGlyphKind::VarReturn; }

// Zero-width glyphs that stay with whatever stands before them, so that an
// event or a variable never decides where a line breaks.
bool IsMarker(const TWdGlyph& g) {
  const TGlyphKind k = g.Kind();
  return k == TGlyphKind::Event || k == TGlyphKind::Var || k == TGlyphKind::HistChar;
}

// Glyphs the layout handles itself: a line-breaking unit ends before them.
bool EndsUnit(const TWdGlyph& g) {
  const TGlyphKind k = g.Kind();
  return k == TGlyphKind::Align || k == TGlyphKind::Indent || k == TGlyphKind::Undent || IsFloating(g);
}

bool IsShown(const TWdGlyph& g) { return IsChar(g) || g.Kind() == TGlyphKind::Img; }

uint16_t CodeOf(const TWdGlyph* g) { return g && IsChar(*g) ? static_cast<const TWdChar*>(g)->CharCode : 0; }

bool IsSingleByteWordChar(uint16_t code) { return code >= 33 && code <= 255; }

// 。、｣」』)）､｡!?！？】 and ｢「『（([<【 in CP932.
constexpr std::array<uint16_t, 14> kNoStart = {0x8142, 0x8141, 0xA3, 0x8176, 0x8178, 0x29,   0x816A,
                                               0xA4,   0xA1,   0x21, 0x3F,   0x8149, 0x8148, 0x817A};
constexpr std::array<uint16_t, 8> kNoEnd = {0xA2, 0x8175, 0x8177, 0x8169, 0x28, 0x5B, 0x3C, 0x8179};

bool NeverStartsLine(uint16_t code) { return std::find(kNoStart.begin(), kNoStart.end(), code) != kNoStart.end(); }
bool NeverEndsLine(uint16_t code) { return std::find(kNoEnd.begin(), kNoEnd.end(), code) != kNoEnd.end(); }

// Whether a line may break between prev (the last glyph before h that is not
// a marker; null when there is none) and h.
bool MayStartLine(const TWdGlyph* prev, const TWdGlyph& h) {
  if (IsBreak(h) || IsMarker(h)) return false;
  const uint16_t code = CodeOf(&h);
  if (IsChar(h) && NeverStartsLine(code)) return false;
  const bool prevIsSpace = prev && IsChar(*prev) && CodeOf(prev) == ' ';
  if (IsChar(h) && code == ' ') return prevIsSpace;
  if (!prev || !IsChar(h) || !IsChar(*prev)) return true;
  const TDecorate* a = static_cast<const TWdChar*>(prev)->Decoration();
  const TDecorate* b = static_cast<const TWdChar&>(h).Decoration();
  if (a && b && a->NoBreak && b->NoBreak) return false;
  if (a && b && !b->Ruby.empty() && b->Ruby == a->Ruby) return false;
  return !(IsSingleByteWordChar(CodeOf(prev)) && IsSingleByteWordChar(code));
}

// Glyphs [start, End) must stay on one line.
struct TUnit {
  int32_t End = 0;
  int64_t Width = 0;
  bool Break = false;  // ends with a line break
};

TUnit MeasureUnit(const TTpWord& word, int32_t start, int32_t last) {
  TUnit unit{start, 0, false};
  const TWdGlyph* prev = nullptr;
  auto take = [&](const TWdGlyph& g) {
    unit.Width += g.Width;
    ++unit.End;
    if (!IsMarker(g)) prev = &g;
    unit.Break = IsBreak(g);
  };
  take(*word.Glyph(start));
  while (!unit.Break && unit.End <= last) {
    const TWdGlyph& h = *word.Glyph(unit.End);
    if (EndsUnit(h)) break;
    // An opening bracket keeps what follows it, so it never ends a line.
    if (MayStartLine(prev, h) && !NeverEndsLine(CodeOf(prev))) break;
    take(h);
  }
  return unit;
}

// Cells are as large as what is drawn in them.
int32_t ResolveWidth(int32_t value, int32_t fallback) {
  return std::clamp(value == -1 ? fallback : value, 0, kMaxOutline);
}

std::pair<int32_t, int32_t> SizeOf(const TTpWord& word, const TWdGlyph& g) {
  if (IsChar(g)) {
    const TDecorate* d = static_cast<const TWdChar&>(g).Decoration();
    const TCellMetrics m = d ? CellMetrics(word, *d) : CellMetrics(word, TDecorateValues{});
    return {m.Width, m.Height};
  }
  if (g.Kind() != TGlyphKind::Img) return {0, 0};
  const auto [w, h] = word.PictureSize(static_cast<const TWdImg&>(g).Source);
  return {std::clamp(w, 0, kMaxImageSide), std::clamp(h, 0, kMaxImageSide)};
}

// Forgets any earlier layout of the glyphs and gives each its size.
void MeasureGlyphs(const TTpWord& word, int32_t first, int32_t last) {
  for (int32_t i = first; i <= last; ++i) {
    TWdGlyph& g = *word.Glyph(i);
    g.Row = nullptr;
    g.X = g.Y = 0;
    std::tie(g.Width, g.Height) = SizeOf(word, g);
  }
}

// The room a row needs above and below its tallest glyph for the images
// aligned by centre, top or bottom.
struct TRowMetrics {
  int32_t Base = 0, Above = 0, Below = 0;
  int32_t Height() const { return Base + Above + Below; }
};

TRowMetrics MetricsOf(const TWdRow& row) {
  const int32_t c = row.MaxHeight;
  const int32_t half = (row.MaxCentre - c + 1) / 2;
  return {c, std::max({0, half, row.MaxBottom - c}), std::max({0, half, row.MaxTop - c})};
}

uint8_t ImageAlign(const TWdGlyph& g) {
  return g.Kind() == TGlyphKind::Img ? static_cast<const TWdImg&>(g).Align : uint8_t(taNone);
}

int32_t OffsetIn(const TWdGlyph& g, const TRowMetrics& m) {
  if (g.Height == 0) return m.Above;
  switch (ImageAlign(g)) {
    case taCenter: return m.Above + (m.Base - g.Height) / 2;
    case taTop: return m.Above;
    default: return m.Height() - m.Below - g.Height;
  }
}

// While a layout runs, right-hand coordinates (a row's right limit, a right
// floating image's x) are insets from the right edge of the text area, which
// is not known yet when the text width is 0.
class TLayouter {
 public:
  TLayouter(TTpWord& word, TWdPages& pages, int32_t last)
      : FWord(word),
        FPages(pages),
        FLast(last),
        FFirstPage(pages.size()),
        FTextWidth(std::max(word.Width, 0)),
        FEmptyHeight(CellMetrics(word, TDecorateValues{}).Height) {}

  void Run(int32_t first) {
    for (int32_t i = first; i <= FLast;) i = Step(i);
    Finish();
  }

 private:
  struct TFloat {
    bool Right = false;
    int64_t Near = 0, Far = 0;  // from its own side
    int64_t Top = 0, Bottom = 0;
  };

  int32_t Step(int32_t i) {
    TWdGlyph& g = *FWord.Glyph(i);
    switch (g.Kind()) {
      case TGlyphKind::Align:
        FAlign = static_cast<const TWdOpeAlign&>(g).Align;
        if (FRow && !FRowHasText) FRow->Align = FAlign;
        return i + 1;
      case TGlyphKind::Indent: FIndent = FRow ? FRow->Width : 0; return i + 1;
      case TGlyphKind::Undent: FIndent = 0; return i + 1;
      default: break;
    }
    if (IsFloating(g)) return PlaceFloat(i);
    OpenRow(i);
    return PlaceUnit(i);
  }

  int32_t PlaceUnit(int32_t i) {
    const TUnit unit = MeasureUnit(FWord, i, FLast);
    // A row holding no text (at most the indent space) takes the unit even
    // when it overflows: closing it would only open the same row again.
    if (FRowHasText && FTextWidth > 0 && Span(*FRow) < FRowWidth + unit.Width) {
      CloseRow(MetricsOf(*FRow).Height());
      return i;
    }
    for (int32_t k = i; k < unit.End; ++k) Append(*FWord.Glyph(k));
    if (PastPageEnd(MetricsOf(*FRow).Height())) return Restart();
    if (unit.Break) EndLine(static_cast<const TWdOpeReturn&>(*FWord.Glyph(unit.End - 1)).Clear);
    return unit.End;
  }

  int32_t PlaceFloat(int32_t i) {
    TWdImg& img = static_cast<TWdImg&>(*FWord.Glyph(i));
    if (FRow && FRowHasText) CloseRow(MetricsOf(*FRow).Height());
    OpenRow(i);
    if (PastPageEnd(img.Height)) return Restart();
    TFloat area;
    area.Right = img.Align == taRight;
    area.Near = area.Right ? FRow->Right : FRow->Left;
    area.Far = area.Near + img.Width;
    area.Top = FY;
    area.Bottom = FY + img.Height;
    FFloats.push_back(area);
    img.X = Saturate(area.Near);
    img.Y = Saturate(FY);
    img.Row = FRow;
    FRow->Glyphs.push_back(&img);
    SetSpan(*FRow);
    return i + 1;
  }

  // Only a row below another moves: alone on its page it stays, however
  // tall, so every row finds a page.
  bool PastPageEnd(int64_t height) const {
    return FWord.Paging && FPage->Rows.size() > 1 && FY + height > FWord.VisibleHeight;
  }

  void OpenRow(int32_t i) {
    if (FRow) return;
    if (!FPage) {
      FPages.push_back(std::make_unique<TWdPage>());
      FPage = FPages.back().get();
      FY = 0;
      FFloats.clear();
    }
    FPage->Rows.push_back(std::make_unique<TWdRow>());
    FRow = FPage->Rows.back().get();
    FRow->Top = Saturate(FY);
    FRow->Align = FAlign;
    SetSpan(*FRow);
    FRowStart = i;
    FRowAlign = FAlign;
    FRowIndent = FIndent;
    FRowHasText = false;
    FRowWidth = 0;
    if (FIndent > 0) {
      FRow->Space = NewGlyph<TWdSpace>(FWord);
      FRow->Space->Width = FIndent;
      Append(*FRow->Space);
    }
  }

  void Append(TWdGlyph& g) {
    g.Row = FRow;
    FRow->Glyphs.push_back(&g);
    FRowWidth += g.Width;
    FRow->Width = Saturate(FRowWidth);
    switch (ImageAlign(g)) {
      case taCenter: FRow->MaxCentre = std::max(FRow->MaxCentre, g.Height); break;
      case taTop: FRow->MaxTop = std::max(FRow->MaxTop, g.Height); break;
      case taBottom: FRow->MaxBottom = std::max(FRow->MaxBottom, g.Height); break;
      default: FRow->MaxHeight = std::max(FRow->MaxHeight, g.Height); break;
    }
    if (IsShown(g)) FRowHasText = true;
  }

  void EndLine(bool clear) {
    if (!FRowHasText) FRow->MaxHeight = std::max(FRow->MaxHeight, FEmptyHeight);
    CloseRow(MetricsOf(*FRow).Height());
    if (clear) FPage = nullptr;
  }

  void CloseRow(int32_t height) {
    FY += int64_t(height) + FWord.LineSpacing;
    FRow = nullptr;
  }

  // Takes the current row off its page and lays it out again on a new one,
  // with the alignment and indent it started with.
  int32_t Restart() {
    FPage->Rows.pop_back();
    FRow = nullptr;
    FPage = nullptr;
    FAlign = FRowAlign;
    FIndent = FRowIndent;
    return FRowStart;
  }

  int64_t Span(const TWdRow& row) const { return FTextWidth - row.Right - row.Left; }

  void SetSpan(TWdRow& row) const {
    int64_t left = 0, inset = 0;
    for (const TFloat& f : FFloats) {
      if (f.Top > FY || FY >= f.Bottom) continue;
      int64_t& edge = f.Right ? inset : left;
      edge = std::max(edge, f.Far);
    }
    row.Left = Saturate(left);
    row.Right = Saturate(inset);
  }

  int64_t WidestRow() const {
    int64_t widest = 0;
    for (size_t p = FFirstPage; p < FPages.size(); ++p) {
      for (const auto& row : FPages[p]->Rows) {
        widest = std::max(widest, int64_t(row->Left) + row->Width + row->Right);
        for (const TWdGlyph* g : row->Glyphs)
          if (IsFloating(*g)) widest = std::max(widest, int64_t(g->X) + g->Width);
      }
    }
    return widest;
  }

  void Finish() {
    const int64_t width = FTextWidth > 0 ? FTextWidth : WidestRow();
    if (FTextWidth <= 0) FWord.Width = Saturate(width);
    for (size_t p = FFirstPage; p < FPages.size(); ++p) {
      TWdPage& page = *FPages[p];
      int64_t bottom = 0;
      for (const auto& row : page.Rows) {
        row->Right = Saturate(width - row->Right);
        PlaceRow(*row, width);
        bottom = std::max(bottom, int64_t(row->Top) + row->Height);
        for (const TWdGlyph* g : row->Glyphs)
          if (IsFloating(*g)) bottom = std::max(bottom, int64_t(g->Y) + g->Height);
      }
      page.Height = Saturate(bottom);
    }
  }

  static int64_t StartX(const TWdRow& row) {
    switch (row.Align) {
      case taRight: return int64_t(row.Right) - row.Width;
      case taCenter: return row.Left + (int64_t(row.Right) - row.Left - row.Width) / 2;
      default: return row.Left;
    }
  }

  static void PlaceRow(TWdRow& row, int64_t width) {
    const TRowMetrics m = MetricsOf(row);
    row.Height = m.Height();
    int64_t x = StartX(row);
    for (TWdGlyph* g : row.Glyphs) {
      if (IsFloating(*g)) {
        if (static_cast<const TWdImg*>(g)->Align == taRight) g->X = Saturate(width - g->X - g->Width);
        continue;
      }
      g->X = Saturate(x);
      x += g->Width;
      g->Y = Saturate(int64_t(row.Top) + OffsetIn(*g, m));
    }
  }

  TTpWord& FWord;
  TWdPages& FPages;
  const int32_t FLast;
  const size_t FFirstPage;
  const int64_t FTextWidth;  // 0: not set
  const int32_t FEmptyHeight;

  uint8_t FAlign = taLeft;
  int32_t FIndent = 0;
  int64_t FY = 0;
  TWdPage* FPage = nullptr;
  TWdRow* FRow = nullptr;
  std::vector<TFloat> FFloats;  // of the current page

  // The current row: where it started (to lay it out again on a new page),
  // whether it holds text yet, and its exact width.
  int32_t FRowStart = 0;
  uint8_t FRowAlign = taLeft;
  int32_t FRowIndent = 0;
  bool FRowHasText = false;
  int64_t FRowWidth = 0;
};

}  // namespace

std::unique_ptr<TWdGlyph> TWdSpace::CloneFor(TTpWord& owner) const {
  auto copy = NewGlyph<TWdSpace>(owner);
  copy->Width = Width;
  return copy;
}

TCellMetrics CellMetrics(const TTpWord& word, const TDecorateValues& decoration) {
  TCellMetrics m;
  m.Size = std::clamp(decoration.FontSize != 0 ? decoration.FontSize : word.DefaultFontSize, 0, kMaxFontSize);
  m.Border = ResolveWidth(decoration.BorderWidth, word.DefaultBorderWidth);
  m.Shadow = ResolveWidth(decoration.ShadowOffset, word.DefaultShadowOffset);
  const int32_t frame = 2 * m.Border + m.Shadow;
  m.Width = m.Size + ((decoration.Style & kStyleItalic) ? m.Size / 5 : 0) + frame;
  m.Height = m.Size + (decoration.Ruby.empty() ? 0 : std::max(1, m.Size / 2)) + frame;
  return m;
}

bool IsFloating(const TWdGlyph& glyph) {
  if (glyph.Kind() != TGlyphKind::Img) return false;
  const uint8_t align = static_cast<const TWdImg&>(glyph).Align;
  return align == taLeft || align == taRight;
}

void LayoutGlyphs(TTpWord& word, TWdPages& pages, int32_t first, int32_t last) {
  const int32_t count = word.Count();
  if (last < 0 || last >= count) last = count - 1;
  first = std::max(first, 0);
  if (first > last) return;
  MeasureGlyphs(word, first, last);
  TLayouter(word, pages, last).Run(first);
}

}  // namespace kest
