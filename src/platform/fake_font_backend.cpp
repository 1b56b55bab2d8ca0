#include <algorithm>

#include "platform/font_backend.h"

namespace kest {
namespace {

bool ValidSize(int32_t size) { return size >= 1 && size <= kMaxFontSize; }

bool IsSpace(uint16_t code) { return code == 0x20 || code == 0x8140; }

int32_t AdvanceOf(int32_t size, uint16_t code) { return code < 0x100 ? size / 2 : size; }

// Underline and strike-out are drawn by the engine, so only bold and italic
// may change a glyph.
uint8_t GlyphStyle(uint8_t style) { return style & 3; }

TGlyphImage Box(const TFontRequest& font, uint16_t code) {
  const int32_t s = font.Size;
  TGlyphImage g;
  g.Advance = AdvanceOf(s, code);
  const int32_t box = code < 0x100 ? s / 2 - 1 : s - 2;
  const int32_t height = s - 2;
  if (IsSpace(code) || box <= 0 || height <= 0) return g;
  const int32_t width = box + (font.Style & 1);
  g.Width = width;
  g.Height = height;
  g.OriginX = 1;
  g.OriginY = s - s / 8 - 1;
  g.Coverage.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  const int32_t style = GlyphStyle(font.Style);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const int32_t value = 64 + ((code * 37 + x * 13 + y * 7 + style * 11) & 127);
      g.Coverage[static_cast<size_t>(y * width + x)] = static_cast<uint8_t>(font.Mono ? 255 : value);
    }
  }
  return g;
}

}  // namespace

bool TFakeFontBackend::HasFace(std::string_view name) { return name.substr(0, 7) != "missing"; }

std::optional<TFontMetrics> TFakeFontBackend::Metrics(const TFontRequest& font) {
  if (!ValidSize(font.Size) || !HasFace(font.Name)) return std::nullopt;
  const int32_t s = font.Size;
  TFontMetrics m;
  m.Ascent = s - s / 8;
  m.Descent = s / 8;
  m.Height = m.Ascent + m.Descent;
  m.UnderlineSize = std::max(1, s / 16);
  m.UnderlinePosition = -std::max(1, s / 10);
  m.StrikeoutSize = std::max(1, s / 16);
  m.StrikeoutPosition = s / 3;
  return m;
}

std::optional<TGlyphImage> TFakeFontBackend::Glyph(const TFontRequest& font, uint16_t code) {
  ++GlyphCalls;
  if (!ValidSize(font.Size) || !HasFace(font.Name)) return std::nullopt;
  return Box(font, code);
}

TAbcWidths TFakeFontBackend::Abc(const TFontRequest& font, uint16_t code) {
  if (!ValidSize(font.Size) || !HasFace(font.Name)) return {};
  const TGlyphImage g = Box(font, code);
  return {g.OriginX, g.Width, g.Advance - g.OriginX - g.Width};
}

}  // namespace kest
