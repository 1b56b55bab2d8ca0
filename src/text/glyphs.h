#pragma once
// The glyphs of a text engine: one per character, and one for each image,
// line break, alignment or indentation change, event and variable insertion.
// The type code is the byte that precedes a glyph in a glyph stream; glyphs
// with code 0 are never stored.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "imaging/rect.h"
#include "text/decorate.h"
#include "text/glyph_pool.h"

namespace kest {

class TTpWord;
class TKestParser;
class TWdRow;

enum TGlyphCode : uint8_t {
  gcNone = 0,
  gcChar = 1,
  gcAlign = 2,
  gcReturn = 3,
  gcIndent = 4,
  gcUndent = 5,
  gcEvent = 6,
  gcVar = 7,
  gcImg = 9,
  gcHistChar = 10,
};

enum class TGlyphKind : uint8_t {
  Char,
  VarChar,
  Img,
  Return,
  VarReturn,
  Align,
  Indent,
  Undent,
  Event,
  Var,
  HistChar,
  Space,
  Row,
  Page,
};

// Alignment names by index (0 = none).
enum TTextAlign : uint8_t { taNone = 0, taLeft = 1, taRight = 2, taCenter = 3, taTop = 4, taBottom = 5 };

class TWdGlyph {
 public:
  explicit TWdGlyph(TTpWord& owner) : FOwner(&owner) {}
  virtual ~TWdGlyph() = default;
  TWdGlyph(const TWdGlyph&) = delete;
  TWdGlyph& operator=(const TWdGlyph&) = delete;

  virtual TGlyphKind Kind() const = 0;
  // The stream type code; 0 for glyphs that are never stored.
  virtual uint8_t Code() const { return gcNone; }
  // A glyph of the same class for another engine, with the same texts and
  // values and an equal decoration from that engine's list.
  virtual std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const = 0;

  TTpWord& Owner() const { return *FOwner; }

  // Glyphs live in their engine's pool (see NewGlyph); deleting one gives
  // its block back to that pool.
  static void* operator new(size_t size, TTpWord& owner, int blockClass);
  static void operator delete(void* block, TTpWord& owner, int blockClass);  // a constructor threw
  static void operator delete(TWdGlyph* glyph, std::destroying_delete_t);
  static void* operator new(size_t size) = delete;

  // Layout.
  int32_t X = 0, Y = 0, Width = 0, Height = 0;
  TWdRow* Row = nullptr;

 private:
  template <class T, class... A>
  friend std::unique_ptr<T> NewGlyph(TTpWord& owner, A&&... args);

  TTpWord* FOwner;
  uint8_t FBlockClass = 0;
};

// A visible glyph.
class TWdReal : public TWdGlyph {
 public:
  using TWdGlyph::TWdGlyph;
  std::string Link;
  int32_t Wait = 0;
  uint8_t Alpha = 255;
  bool Revealed = false;
  // What rendering left in the layers, in page coordinates; a plain glyph
  // (no outline, no shadow) is drawn as its colour through the coverage.
  TRect Ink{};
  bool Plain = true;
  int32_t InkColour = 0;
};

// One character with its decoration; the glyph holds one count of it.
class TWdChar : public TWdReal {
 public:
  TWdChar(TTpWord& owner, uint16_t code, TDecorate* counted);
  ~TWdChar() override;
  TGlyphKind Kind() const override { return TGlyphKind::Char; }
  uint8_t Code() const override { return gcChar; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;

  TDecorate* Decoration() const { return FDecoration; }
  // Through the owner's list: re-point, edit in place or split.
  void ChangeDecoration(const TDecorateValues& values);

  // A single-byte character, or lead byte × 256 + trail byte.
  uint16_t CharCode;
  // The ruby over the run this character begins, drawn with it (page
  // coordinates); empty for the other characters.
  TRect RubyInk{};

 private:
  TDecorate* FDecoration;
};

class TWdOpeVar;

// A character that a variable glyph inserted (never stored).
class TWdVarChar : public TWdChar {
 public:
  TWdVarChar(TTpWord& owner, uint16_t code, TDecorate* counted) : TWdChar(owner, code, counted) {}
  TGlyphKind Kind() const override { return TGlyphKind::VarChar; }
  uint8_t Code() const override { return gcNone; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;
  TWdOpeVar* Producer = nullptr;
};

class TPexaItem;

class TWdImg : public TWdReal {
 public:
  using TWdReal::TWdReal;
  ~TWdImg() override;
  TGlyphKind Kind() const override { return TGlyphKind::Img; }
  uint8_t Code() const override { return gcImg; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;
  std::string Source;
  uint8_t Align = taBottom;
  // The picture, held from the engine's image cache once the page is
  // prepared, and the frame it shows.
  TPexaItem* Picture = nullptr;
  int32_t FrameIndex = 0;
  int32_t FrameTime = 0;
};

// A line break; with Clear it also ends the page.
class TWdOpeReturn : public TWdGlyph {
 public:
  using TWdGlyph::TWdGlyph;
  TGlyphKind Kind() const override { return TGlyphKind::Return; }
  uint8_t Code() const override { return gcReturn; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;
  bool Clear = false;
};

// A line break that a variable glyph inserted (never stored).
class TWdVarReturn : public TWdOpeReturn {
 public:
  using TWdOpeReturn::TWdOpeReturn;
  TGlyphKind Kind() const override { return TGlyphKind::VarReturn; }
  uint8_t Code() const override { return gcNone; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;
  TWdOpeVar* Producer = nullptr;
};

class TWdOpeAlign : public TWdGlyph {
 public:
  using TWdGlyph::TWdGlyph;
  TGlyphKind Kind() const override { return TGlyphKind::Align; }
  uint8_t Code() const override { return gcAlign; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;
  uint8_t Align = taLeft;
};

class TWdOpeIndent : public TWdGlyph {
 public:
  using TWdGlyph::TWdGlyph;
  TGlyphKind Kind() const override { return TGlyphKind::Indent; }
  uint8_t Code() const override { return gcIndent; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;
};

class TWdOpeUndent : public TWdGlyph {
 public:
  using TWdGlyph::TWdGlyph;
  TGlyphKind Kind() const override { return TGlyphKind::Undent; }
  uint8_t Code() const override { return gcUndent; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;
};

// An event string handed out when the reveal reaches it.
class TWdOpeEvent : public TWdGlyph {
 public:
  using TWdGlyph::TWdGlyph;
  TGlyphKind Kind() const override { return TGlyphKind::Event; }
  uint8_t Code() const override { return gcEvent; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;
  std::string Value;
  bool End = false;
};

// A variable or expression whose value is inserted as characters after it.
class TWdOpeVar : public TWdGlyph {
 public:
  TWdOpeVar(TTpWord& owner, TDecorate* counted);
  ~TWdOpeVar() override;
  TGlyphKind Kind() const override { return TGlyphKind::Var; }
  uint8_t Code() const override { return gcVar; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;

  TDecorate* Decoration() const { return FDecoration; }

  std::string Link;
  int32_t Wait = 0;
  std::string Expression;
  // Old streams hold the compiled expression instead of its text.
  std::unique_ptr<TKestParser> Compiled;
  // The glyphs the last expansion inserted, in order.
  std::vector<TWdGlyph*> Produced;
  // The value the last expansion showed (line breaks as carriage returns).
  std::string ShownValue;
  bool Expanded = false;

 protected:
  void CopyInto(TWdOpeVar& copy) const;

 private:
  TDecorate* FDecoration;
};

// Like a variable glyph, but expanded only when the text is shown as history.
class TWdOpeHistChar : public TWdOpeVar {
 public:
  using TWdOpeVar::TWdOpeVar;
  TGlyphKind Kind() const override { return TGlyphKind::HistChar; }
  uint8_t Code() const override { return gcHistChar; }
  std::unique_ptr<TWdGlyph> CloneFor(TTpWord& owner) const override;
};

// A glyph of class T for the engine, in a block of the engine's pool.
template <class T, class... A>
std::unique_ptr<T> NewGlyph(TTpWord& owner, A&&... args) {
  static_assert(sizeof(T) <= TGlyphPool::kBlockSizes[1] && alignof(T) <= alignof(std::max_align_t));
  constexpr int blockClass = TGlyphPool::BlockClass(sizeof(T));
  T* glyph = new (owner, blockClass) T(owner, std::forward<A>(args)...);
  glyph->FBlockClass = blockClass;
  return std::unique_ptr<T>(glyph);
}

}  // namespace kest
