#pragma once
// The text engine: a flat list of glyphs parsed from markup or read from a
// glyph stream, the decorations they share, and the values variable glyphs
// showed before (which a history shows again instead of evaluating).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "imaging/custom_dibx.h"
#include "text/decorate.h"
#include "text/glyph_pool.h"
#include "text/glyphs.h"

namespace kest {

class IVarEvaluator;
class TStream;
class TFontPixelManager;
class TPexaCollection;
class TWdPage;

// "ＭＳ ゴシック" in CP932.
inline constexpr std::string_view kDefaultFontName = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
inline constexpr int32_t kDefaultFontSize = 12;

class TTpWord {
 public:
  TTpWord();
  ~TTpWord();
  TTpWord(const TTpWord&) = delete;
  TTpWord& operator=(const TTpWord&) = delete;

  // Clears the engine and parses the lines (joined by carriage returns).
  // An A tag without HREF raises "<A>タグにHREF値がありません" and keeps the
  // glyphs parsed before it.
  void SetMarkup(const std::vector<std::string>& lines);
  void SetMarkup(std::string_view text) { SetMarkup(std::vector<std::string>{std::string(text)}); }
  // Appends the decorations and glyphs of one glyph stream. A damaged stream
  // raises EReadError and leaves the engine as it was.
  void LoadGlyphs(TStream& stream);
  // Frees every glyph, the decorations, the decoration base and the saved
  // variable values.
  void Clear();

  int32_t Count() const { return static_cast<int32_t>(FGlyphs.size()); }
  // Null outside the list.
  TWdGlyph* Glyph(int32_t index) const;
  int32_t IndexOf(const TWdGlyph* glyph) const;
  void Insert(int32_t index, std::unique_ptr<TWdGlyph> glyph);
  void Add(std::unique_ptr<TWdGlyph> glyph) { FGlyphs.push_back(std::move(glyph)); }
  void Delete(int32_t index);

  // Expands the variable glyphs from last down to first (history glyphs too
  // when asHistory); RemoveExpansions deletes exactly what they inserted.
  void ExpandVariables(int32_t first, int32_t last, bool asHistory, IVarEvaluator& evaluator);
  void RemoveExpansions(int32_t first, int32_t last);
  // Appends copies of another engine's glyphs first..last.
  void CopyGlyphs(const TTpWord& source, int32_t first, int32_t last);
  // Adds "name=value" lines (line breaks as 0x01) for the expanded variable
  // glyphs first..last, once per name.
  void SaveVarValues(int32_t first, int32_t last, std::vector<std::string>& lines) const;

  TGlyphPool& Pool() { return FPool; }
  TDecorateList& Decorations() { return FDecorations; }
  const TDecorateList& Decorations() const { return FDecorations; }
  int32_t DecorationBase() const { return FDecorationBase; }
  void SetDecorationBase(int32_t base) { FDecorationBase = base; }
  // The saved values: "name=value" lines, line breaks written as 0x01.
  std::vector<std::string>& VarValues() { return FVarValues; }

  // The wait a parse starts with: the game's @TextDelay.
  int32_t TextDelay = 50;
  std::string DefaultFontName{kDefaultFontName};
  int32_t DefaultFontSize = kDefaultFontSize;

  // Layout and drawing. Colours are 0x00BBGGRR.
  int32_t DefaultFontColor = 0xFFFFFF;
  int32_t VisibleHeight = 0;
  int32_t Width = 0;  // 0: as wide as the widest row (set by the layout)
  int32_t LineSpacing = 0;
  int32_t OriginX = 0, OriginY = 0;  // the text area's corner on the target
  bool Paging = true;
  int32_t LinkColor = 0xFF0000;
  int32_t LinkHoverColor = 0x8000;
  int32_t FadeTime = 1;  // milliseconds
  int32_t DefaultBorderColor = 0x808080;
  int32_t Alpha = 255;
  bool Paused = false;
  int32_t CaretX = 0, CaretY = 0, CaretHeight = 0;
  int32_t TextSpeed = 256;  // waits × speed ÷ 256; negative: waits of 0 or more are free
  bool EventsEnabled = true;
  int32_t AntiAlias = 3;  // 0 mono, 1-3 the 5, 17 and 65-level grey
  int32_t DefaultShadowColor = 0;
  int32_t DefaultBorderWidth = 0;
  int32_t DefaultShadowOffset = 0;
  // Drawing: the glyph cache, the surface drawn on, the area being redrawn
  // (empty: all of it), what event glyphs are handed to, and the rectangles
  // of the link under the mouse (target coordinates).
  TFontPixelManager* Fonts = nullptr;
  // Where image glyphs take their pictures from (none: they show nothing).
  TPexaCollection* Pictures = nullptr;
  TCustomDIBX* Target = nullptr;
  TRect UpdateRect{};
  std::function<void(const std::string& event)> EventReceiver;
  std::vector<TRect> LinkRects;

  // Pages (see text_layout.h).
  void PreparePage(TWdPage& page);
  // One frame of the reveal: whether the page is done, and the characters
  // revealed in it (images as "*").
  std::pair<bool, std::string> StepReveal(TWdPage& page, int32_t frameMs);
  void DrawPage(const TWdPage& page);
  void HoverLink(TWdPage& page, int32_t x, int32_t y);
  void RevealAll(TWdPage& page);
  void ResetReveal(TWdPage& page);
  bool MoreToReveal(const TWdPage& page) const;
  // The glyph under a point of the text area (fully shown glyphs only).
  TWdReal* GlyphAt(const TWdPage& page, int32_t x, int32_t y) const;
  TCustomDIBX& GlyphColours() { return *FGlyphColours; }
  TCustomDIBX& GlyphCoverage() { return *FGlyphCoverage; }

  // The first frame's size of an image glyph's picture; 0 × 0 when missing.
  // Without one, the size comes from Pictures (when the game has the file).
  std::function<std::pair<int32_t, int32_t>(const std::string& source)> ImageSize;

 private:
  void FreeGlyphs();

 public:
  // The image size layout uses: ImageSize, else the picture's first frame.
  std::pair<int32_t, int32_t> PictureSize(const std::string& source) const;

 private:
  void RenderPage(TWdPage& page, const TWdGlyph* hoverRun);
  void Expand(int32_t index, IVarEvaluator& evaluator);
  void Unexpand(TWdOpeVar& var);

  // Declared first: glyphs give back their blocks and release their
  // decorations when they go.
  TGlyphPool FPool;
  TDecorateList FDecorations;
  std::vector<std::unique_ptr<TWdGlyph>> FGlyphs;
  int32_t FDecorationBase = 0;
  std::vector<std::string> FVarValues;
  std::unique_ptr<TCustomDIBX> FGlyphColours, FGlyphCoverage;
};

}  // namespace kest
