#pragma once
// What the text engine needs of a font rasteriser: whether a face exists,
// the metrics of a face at a size, and one character's coverage bitmap with
// its placement and A/B/C widths. Faces are named as games name them (CP932
// bytes, e.g. "ＭＳ ゴシック"); characters by their CP932 code (a single
// byte, or lead × 256 + trail). The desktop back end rasterises with
// FreeType; the fake one draws boxes, the same on every machine.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kest {

// The largest em size a back end renders; the text engines hold sizes to it.
inline constexpr int32_t kMaxFontSize = 1024;

// Style bits as in a text decoration: 1 bold, 2 italic, 4 underline,
// 8 strike-out (the last two are bars the engine draws).
struct TFontRequest {
  std::string Name;
  int32_t Size = 12;  // em size in pixels
  uint8_t Style = 0;
  bool Mono = false;  // 1-bit rendering: coverage 0 or 255 only
};

struct TFontMetrics {
  int32_t Ascent = 0;
  int32_t Descent = 0;
  int32_t Height = 0;  // ascent + descent
  int32_t Overhang = 0;
  int32_t UnderlineSize = 1;
  int32_t UnderlinePosition = 0;  // from the baseline, negative below it
  int32_t StrikeoutSize = 1;
  int32_t StrikeoutPosition = 0;  // from the baseline, positive above it
};

// One character. Coverage is Width × Height bytes, 0 … 255, top row first.
// A character without outline (a space) has Width and Height 0 and only
// its advance.
struct TGlyphImage {
  int32_t Width = 0, Height = 0;
  int32_t OriginX = 0;  // from the pen position to the bitmap's left edge
  int32_t OriginY = 0;  // from the baseline up to the bitmap's top edge
  int32_t Advance = 0;
  std::vector<uint8_t> Coverage;
};

struct TAbcWidths {
  int32_t A = 0, B = 0, C = 0;
};

class IFontBackend {
 public:
  virtual ~IFontBackend() = default;
  // Whether the face can be provided (otherwise the engine uses
  // "ＭＳ ゴシック").
  virtual bool HasFace(std::string_view name) = 0;
  // Nothing when the face cannot be opened at that size.
  virtual std::optional<TFontMetrics> Metrics(const TFontRequest& font) = 0;
  // Nothing when the character cannot be rendered in the requested form.
  virtual std::optional<TGlyphImage> Glyph(const TFontRequest& font, uint16_t code) = 0;
  virtual TAbcWidths Abc(const TFontRequest& font, uint16_t code) = 0;
};

// Boxes: a character of size s is a box (s − 2) × (s − 2) wide for double-
// byte codes and (s ÷ 2 − 1) × (s − 2) for single-byte ones, one pixel in from
// the cell's left and top, with coverage that varies with the code so that
// drawings of different texts differ; a space is empty. Ascent is s − s ÷ 8,
// descent s ÷ 8. Bold widens the box by one pixel; italic changes nothing but
// the coverage pattern. Faces whose name starts with "missing" do not exist.
class TFakeFontBackend : public IFontBackend {
 public:
  bool HasFace(std::string_view name) override;
  std::optional<TFontMetrics> Metrics(const TFontRequest& font) override;
  std::optional<TGlyphImage> Glyph(const TFontRequest& font, uint16_t code) override;
  TAbcWidths Abc(const TFontRequest& font, uint16_t code) override;
  // Calls to Glyph, for tests of the cache.
  int32_t GlyphCalls = 0;
};

}  // namespace kest
