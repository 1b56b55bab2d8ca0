#include "text/text_render.h"

#include <algorithm>
#include <tuple>

#include "common/sjis.h"
#include "text/font_pixel_manager.h"
#include "text/tp_word.h"

namespace kest {

namespace {

// round(a / b) with halves away from zero, b > 0.
int32_t RoundDiv(int64_t a, int64_t b) {
  return static_cast<int32_t>(a >= 0 ? (2 * a + b) / (2 * b) : -((-2 * a + b) / (2 * b)));
}

// Where a bitmap of the entry sits in a cell: centred by its A/B/C widths
// when its own side gaps are smaller than the room left beside it.
int32_t CentringOffset(const TFontPixel& p, int32_t cellWidth, int32_t size) {
  const int32_t slack = std::min(cellWidth, size) - p.Width;
  if (slack <= 0 || p.LeftOffset >= slack || p.RightGap >= slack) return 0;
  const int64_t abc = int64_t{p.Abc.A} + p.Abc.B + p.Abc.C;
  // Widths that add up to nothing give no proportion: the middle.
  const int32_t at =
      p.Abc.A + p.Abc.C == 0 || abc <= 0 ? slack / 2 : RoundDiv((2 * int64_t{p.Abc.A} + p.Abc.B) * slack, 2 * abc);
  return std::max(0, at - p.LeftOffset);
}

// A bar across the cell, its outline band and its shadow. The outline closes
// the bar only at its ends: beside a neighbour whose bar runs on, the band
// stops at the cell edge, so the bars of a word meet.
void RenderBar(TGlyphLayers& layers, const TRect& bar, const TCharLook& look, bool joinsLeft, bool joinsRight) {
  if (bar.IsEmpty()) return;
  const int32_t b = look.Border;
  const TRect band{bar.Left - (joinsLeft ? 0 : b), bar.Top - b, bar.Right + (joinsRight ? 0 : b), bar.Bottom + b};
  if (look.Shadow > 0)
    layers.Bar({band.Left + look.Shadow, band.Top + look.Shadow, band.Right + look.Shadow, band.Bottom + look.Shadow},
               look.ShadowColour);
  if (b > 0) layers.Bar(band, look.BorderColour);
  layers.Bar(bar, look.Colour);
}

// Whether a neighbour's bar of this style meets the glyph's: it touches the
// cell and has the same outline and shadow.
bool BarJoins(const TTpWord& word, const TWdChar* neighbour, const TCharLook& look, uint8_t style) {
  if (!neighbour) return false;
  const TDecorate& d = *neighbour->Decoration();
  if (!(d.Style & style)) return false;
  const TCharLook other = LookOf(word, *neighbour, false);
  return other.Border == look.Border && other.Shadow == look.Shadow;
}

void RenderBars(TGlyphLayers& layers, const TTpWord& word, const TWdChar& glyph, const TCharLook& look,
                const TFontPixel& p, int32_t baseline, const TBarNeighbours& beside) {
  const int32_t b = look.Border;
  const bool leftTouches = beside.Left && beside.Left->X + beside.Left->Width == glyph.X;
  const bool rightTouches = beside.Right && beside.Right->X == glyph.X + glyph.Width;
  for (const auto& [style, position, size] : {std::tuple{kStyleUnderline, p.UnderlinePosition, p.UnderlineSize},
                                              std::tuple{kStyleStrikeOut, p.StrikeoutPosition, p.StrikeoutSize}}) {
    if (!(look.Style & style)) continue;
    const bool left = leftTouches && BarJoins(word, beside.Left, look, style);
    const bool right = rightTouches && BarJoins(word, beside.Right, look, style);
    const int32_t t = baseline - position;
    const TRect bar{left ? glyph.X : glyph.X + b, t,
                    right ? glyph.X + glyph.Width : glyph.X + glyph.Width - look.Shadow - b, t + size};
    RenderBar(layers, bar, look, left, right);
  }
}

TRect Union(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

const std::vector<uint8_t>& OutlineOf(const TFontPixel& p, int32_t b) {
  if (p.OutlineWidth != b || p.Outline.empty()) {
    p.Outline = OutlineCoverage(p.Coverage.data(), p.Width, p.Height, b);
    p.OutlineWidth = b;
  }
  return p.Outline;
}

}  // namespace

void StampLayers(TGlyphLayers& layers, const TFontPixel& p, int32_t x, int32_t y, const TCharLook& look) {
  const int32_t w = p.Width, h = p.Height;
  if (w <= 0 || h <= 0) return;
  const uint8_t* coverage = p.Coverage.data();
  const int32_t b = look.Border, ow = w + 2 * b, oh = h + 2 * b;
  const uint8_t* outline = b > 0 ? OutlineOf(p, b).data() : nullptr;
  if (look.Shadow > 0) {
    if (b > 0)
      layers.Stamp(outline, ow, oh, x - b + look.Shadow, y - b + look.Shadow, look.ShadowColour);
    else
      layers.Stamp(coverage, w, h, x + look.Shadow, y + look.Shadow, look.ShadowColour);
  }
  if (b > 0) layers.Stamp(outline, ow, oh, x - b, y - b, look.BorderColour);
  layers.Stamp(coverage, w, h, x, y, look.Colour);
}

TCharLook LookOf(const TTpWord& word, const TWdChar& glyph, bool hovered) {
  const TDecorate& d = *glyph.Decoration();
  TCharLook look;
  look.FontName = d.FontName.empty() ? word.DefaultFontName : d.FontName;
  look.Size = DrawableFontSize(d.FontSize > 0 ? d.FontSize : word.DefaultFontSize);
  look.Style = d.Style;
  look.Colour = hovered               ? word.LinkHoverColor
                : d.FontColor != -1   ? d.FontColor
                : !glyph.Link.empty() ? word.LinkColor
                                      : word.DefaultFontColor;
  look.BorderColour = d.BorderColor != -1 ? d.BorderColor : word.DefaultBorderColor;
  look.ShadowColour = d.ShadowColor != -1 ? d.ShadowColor : word.DefaultShadowColor;
  look.Border = std::clamp(d.BorderWidth != -1 ? d.BorderWidth : word.DefaultBorderWidth, 0, kMaxOutline);
  look.Shadow = std::clamp(d.ShadowOffset != -1 ? d.ShadowOffset : word.DefaultShadowOffset, 0, kMaxOutline);
  look.Ruby = d.Ruby.empty() ? 0 : std::max(1, look.Size / 2);
  return look;
}

void RenderCharacter(TGlyphLayers& layers, TFontPixelManager& fonts, const TTpWord& word, TWdChar& glyph, bool hovered,
                     const TBarNeighbours& beside) {
  const TCharLook look = LookOf(word, glyph, hovered);
  const TFontPixel& p = fonts.Get(glyph.CharCode, look.FontName, look.Size, uint8_t(look.Style & 3), word.AntiAlias);
  const int32_t b = look.Border;
  const int32_t x = glyph.X + b + CentringOffset(p, glyph.Width, look.Size) + p.LeftOffset;
  const int32_t top = glyph.Y + b + look.Ruby;
  const int32_t y = top + p.TopOffset;
  StampLayers(layers, p, x, y, look);
  if (look.Style & (kStyleUnderline | kStyleStrikeOut))
    RenderBars(layers, word, glyph, look, p, top + p.Ascent, beside);
  glyph.Plain = b == 0 && look.Shadow == 0;
  glyph.InkColour = look.Colour;
  glyph.Ink = Union(glyph.Ink, {glyph.X, glyph.Y, glyph.X + glyph.Width, glyph.Y + glyph.Height});
}

void RenderRuby(TGlyphLayers& layers, TFontPixelManager& fonts, const TCharLook& base, std::string_view ruby, int32_t x,
                int32_t y, int32_t runWidth, int32_t format) {
  TCharLook look = base;
  look.Size = base.Ruby;
  std::vector<uint16_t> codes;
  for (size_t i = 0; i < ruby.size(); ++i) {
    uint16_t code = uint8_t(ruby[i]);
    if (IsLeadByte(uint8_t(ruby[i])) && i + 1 < ruby.size()) code = uint16_t(code << 8 | uint8_t(ruby[++i]));
    codes.push_back(code);
  }
  const auto n = int64_t(codes.size());
  for (int64_t k = 1; k <= n; ++k) {
    const uint16_t code = codes[size_t(k - 1)];
    const int32_t centre = RoundDiv((2 * k - 1) * int64_t{runWidth}, 2 * n);
    const int32_t left = x + base.Border + centre - (code > 0xFF ? look.Size / 2 : look.Size / 4);
    const TFontPixel& p = fonts.Get(code, look.FontName, look.Size, uint8_t(look.Style & 3), format);
    StampLayers(layers, p, left + p.LeftOffset, y + p.TopOffset, look);
  }
}

}  // namespace kest
