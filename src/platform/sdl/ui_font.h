// The font of the window chrome: a FreeType face found through fontconfig,
// drawn anti-aliased from UTF-8 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ui_canvas.h"

namespace kest {

// The code point starting at text[pos]; advances pos past it. A malformed or
// truncated sequence, an overlong form, a surrogate or a value above U+10FFFF
// yields U+FFFD and advances by one byte, so every byte is consumed.
char32_t DecodeUtf8(std::string_view text, size_t& pos);

// Glyphs are cached per code point inside the font, so one font is used by
// one thread at a time (the window's).
class TUiFont {
 public:
  static constexpr int kMaxPixelSize = 256;

  // Opens the face whose fontconfig family is exactly `family` at the pixel
  // size (1..kMaxPixelSize). The IPA families fall back along IPAGothic →
  // IPAPGothic → any installed IPA font file; another family has no fallback.
  // nullptr, with a line on standard error, when nothing fits.
  static std::unique_ptr<TUiFont> Open(std::string_view family, int pixelSize);
  ~TUiFont();
  TUiFont(const TUiFont&) = delete;
  TUiFont& operator=(const TUiFont&) = delete;

  int PixelSize() const { return FPixelSize; }
  // Pixels from the top of a line to the baseline, and the line height.
  int Ascent() const { return FAscent; }
  int Height() const { return FHeight; }
  const std::string& Family() const { return FFamily; }
  const std::string& FilePath() const { return FFile; }

  // Horizontal advance of one code point; control characters take no room.
  int Advance(char32_t codePoint);
  int Measure(std::string_view utf8);
  void Draw(TUiCanvas& canvas, int x, int yTop, std::string_view utf8, uint32_t color);

 private:
  struct TGlyph {
    int left = 0, top = 0, width = 0, height = 0, advance = 0;
    std::vector<uint8_t> coverage;
  };
  struct TFace;

  TUiFont(std::unique_ptr<TFace> face, std::string family, std::string file, int pixelSize);
  const TGlyph& Glyph(char32_t codePoint);
  TGlyph Render(char32_t codePoint);

  std::unique_ptr<TFace> FFace;
  std::string FFamily;
  std::string FFile;
  int FPixelSize;
  int FAscent = 0;
  int FHeight = 0;
  std::unordered_map<char32_t, TGlyph> FCache;
};

}  // namespace kest
