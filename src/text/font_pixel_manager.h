#pragma once
// The glyph bitmap cache every text engine and caption shares: the coverage
// of one character in one font, size, style and grey format, with what the
// engine needs to place it. The 256 most recently used are kept, in buckets
// by the low byte of the character code.

#include <array>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "platform/font_backend.h"

namespace kest {

// Grey formats: 0 one bit, 1-3 grey in 5, 17 or 65 levels.
inline constexpr int32_t kGreyFormatCount = 4;

// The widest outline and the longest shadow a character is drawn with: far
// beyond any design, and an outline's work grows with its width.
inline constexpr int32_t kMaxOutline = kMaxFontSize / 16;

struct TFontPixel {
  uint16_t Code = 0;
  std::string FontName;  // the face actually used
  int32_t Size = 0;
  uint8_t Style = 0;
  int32_t Format = 0;

  int32_t Width = 0, Height = 0;  // the bitmap; 0 × 0 for a character without outline
  std::vector<uint8_t> Coverage;  // 0 … 255
  int32_t LeftOffset = 0;         // max(0, origin x)
  int32_t TopOffset = 0;          // max(0, ascent − origin y)
  int32_t RightGap = 0;           // advance − width − left offset, not below 0
  int32_t Advance = 0;            // the text width of a character without outline
  TAbcWidths Abc;
  int32_t Ascent = 0;
  int32_t UnderlineSize = 1, UnderlinePosition = 0;
  int32_t StrikeoutSize = 1, StrikeoutPosition = 0;

  // The outline of Coverage OutlineWidth pixels wide, worked out on first
  // need: every later character of this shape and outline reuses it.
  mutable int32_t OutlineWidth = 0;
  mutable std::vector<uint8_t> Outline;
};

class TFontPixelManager {
 public:
  static constexpr size_t kCapacity = 256;

  explicit TFontPixelManager(IFontBackend& fonts);
  TFontPixelManager(const TFontPixelManager&) = delete;
  TFontPixelManager& operator=(const TFontPixelManager&) = delete;

  // The face used for a name: the name itself when the back end has it,
  // otherwise "ＭＳ ゴシック".
  std::string FaceFor(const std::string& name);
  // The character's entry, rendered on a miss. Metrics that cannot be read
  // raise "Error:GetOutlineTextMetrics"; a character that renders in no
  // format has an empty bitmap.
  const TFontPixel& Get(uint16_t code, const std::string& fontName, int32_t size, uint8_t style, int32_t format);
  TFontMetrics Metrics(const std::string& fontName, int32_t size, uint8_t style);
  TAbcWidths Abc(uint16_t code, const std::string& fontName, int32_t size, uint8_t style);

  // Once a grey render fails every later request is one bit.
  bool MonoOnly() const { return FMonoOnly; }
  size_t Count() const { return FEntries.size(); }
  IFontBackend& Fonts() { return FFonts; }

 private:
  using TEntries = std::list<TFontPixel>;
  TFontPixel Render(uint16_t code, const std::string& face, int32_t size, uint8_t style, int32_t format);

  IFontBackend& FFonts;
  TEntries FEntries;  // most recently used first
  std::array<std::vector<TEntries::iterator>, 256> FBuckets;
  bool FMonoOnly = false;
};

// A size the back ends render: 1 … kMaxFontSize.
int32_t DrawableFontSize(int32_t size);

// The grey levels of a format mapped back onto 0 … 255.
uint8_t QuantiseGrey(uint8_t coverage, int32_t format);

}  // namespace kest
