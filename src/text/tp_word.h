#pragma once
// The text engine: a flat list of glyphs parsed from markup or read from a
// glyph stream, the decorations they share, and the values variable glyphs
// showed before (which a history shows again instead of evaluating).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/decorate.h"
#include "text/glyph_pool.h"
#include "text/glyphs.h"

namespace kest {

class IVarEvaluator;
class TStream;

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

 private:
  void FreeGlyphs();
  void Expand(int32_t index, IVarEvaluator& evaluator);
  void Unexpand(TWdOpeVar& var);

  // Declared first: glyphs give back their blocks and release their
  // decorations when they go.
  TGlyphPool FPool;
  TDecorateList FDecorations;
  std::vector<std::unique_ptr<TWdGlyph>> FGlyphs;
  int32_t FDecorationBase = 0;
  std::vector<std::string> FVarValues;
};

}  // namespace kest
