// The engine settings and page reveal records of a message window's text.
#include "text/text_records.h"

#include <algorithm>
#include <string>
#include <type_traits>

#include "common/errors.h"
#include "common/stream.h"
#include "text/font_pixel_manager.h"
#include "text/text_layout.h"
#include "text/tp_word.h"

namespace kest {

namespace {

// The engine's stored fields under the engine's own names, so that one
// visitor serves the engine and this copy alike.
struct TEngineSettings {
  int32_t OriginX = 0, OriginY = 0;
  int32_t DefaultFontSize = 0;
  std::string DefaultFontName;
  int32_t DefaultFontColor = 0;
  int32_t VisibleHeight = 0, Width = 0;
  int32_t AntiAlias = 0;
  int32_t LineSpacing = 0;
  bool Paging = false;
  int32_t LinkColor = 0, LinkHoverColor = 0, FadeTime = 0, DefaultBorderColor = 0, Alpha = 0;
  bool Paused = false;
  int32_t CaretX = 0, CaretY = 0;
  int32_t TextSpeed = 0;
  bool EventsEnabled = false;
  int32_t DefaultShadowColor = 0;
  int32_t DefaultBorderWidth = 0, DefaultShadowOffset = 0;
};

constexpr int32_t kEveryField = INT32_MAX;

// Calls f(a.field, b.field) for every field the version stores, in record
// order.
template <class A, class B, class F>
void ZipSettings(A& a, B& b, int32_t version, F&& f) {
  f(a.OriginX, b.OriginX);
  f(a.OriginY, b.OriginY);
  f(a.DefaultFontSize, b.DefaultFontSize);
  f(a.DefaultFontName, b.DefaultFontName);
  f(a.DefaultFontColor, b.DefaultFontColor);
  f(a.VisibleHeight, b.VisibleHeight);
  f(a.Width, b.Width);
  f(a.AntiAlias, b.AntiAlias);
  f(a.LineSpacing, b.LineSpacing);
  f(a.Paging, b.Paging);
  f(a.LinkColor, b.LinkColor);
  f(a.LinkHoverColor, b.LinkHoverColor);
  f(a.FadeTime, b.FadeTime);
  f(a.DefaultBorderColor, b.DefaultBorderColor);
  f(a.Alpha, b.Alpha);
  f(a.Paused, b.Paused);
  f(a.CaretX, b.CaretX);
  f(a.CaretY, b.CaretY);
  f(a.TextSpeed, b.TextSpeed);
  f(a.EventsEnabled, b.EventsEnabled);
  if (version >= kSaveSinceEngineShadowColour) f(a.DefaultShadowColor, b.DefaultShadowColor);
  if (version >= kSaveSinceEngineOutline) {
    f(a.DefaultBorderWidth, b.DefaultBorderWidth);
    f(a.DefaultShadowOffset, b.DefaultShadowOffset);
  }
}

const auto kAssign = [](auto& to, const auto& from) { to = from; };

template <class T>
void Put(TStream& stream, const T& value) {
  if constexpr (std::is_same_v<T, bool>)
    WriteFlag(stream, value);
  else if constexpr (std::is_same_v<T, std::string>)
    WriteStr(stream, value);
  else
    WriteInt(stream, value);
}

template <class T>
void Get(TStream& stream, T& value) {
  if constexpr (std::is_same_v<T, bool>)
    value = ReadFlag(stream);
  else if constexpr (std::is_same_v<T, std::string>)
    value = ReadStr(stream);
  else
    value = ReadInt(stream);
}

// Sizes become surface sides and cell extents later; a value beyond them can
// only come from a damaged record, so it is refused rather than clamped and
// the loader learns that the save is bad.
void RequireExtent(int32_t value, const char* what) {
  if (value < 0 || value > kMaxEngineExtent)
    throw EReadError(std::string("Engine settings record: ") + what + " " + std::to_string(value) + " is out of range");
}

void Validate(TEngineSettings& s, int32_t version) {
  RequireExtent(s.DefaultFontSize, "font size");
  RequireExtent(s.VisibleHeight, "visible height");
  RequireExtent(s.Width, "width");
  if (version >= kSaveSinceEngineOutline) {
    RequireExtent(s.DefaultBorderWidth, "outline width");
    RequireExtent(s.DefaultShadowOffset, "shadow offset");
  }
  // An index into the rasteriser formats: older engines knew other levels.
  s.AntiAlias = std::clamp(s.AntiAlias, 0, kGreyFormatCount - 1);
}

}  // namespace

void SaveEngineSettings(TStream& stream, const TTpWord& word) {
  ZipSettings(word, word, kEveryField, [&](const auto& value, const auto&) { Put(stream, value); });
}

void LoadEngineSettings(TStream& stream, TTpWord& word, int32_t version) {
  TEngineSettings read;
  ZipSettings(read, word, kEveryField, kAssign);
  ZipSettings(read, read, version, [&](auto& value, auto&) { Get(stream, value); });
  Validate(read, version);
  ZipSettings(word, read, kEveryField, kAssign);
}

namespace {

TWdReal* AsReal(TWdGlyph* g) {
  switch (g->Kind()) {
    case TGlyphKind::Char:
    case TGlyphKind::VarChar:
    case TGlyphKind::Img: return static_cast<TWdReal*>(g);
    default: return nullptr;
  }
}

const TWdOpeVar* AsVar(const TWdGlyph* g) {
  const TGlyphKind k = g->Kind();
  return k == TGlyphKind::Var || k == TGlyphKind::HistChar ? static_cast<const TWdOpeVar*>(g) : nullptr;
}

bool WritesAlpha(TWdGlyph* g) { return AsReal(g) || AsVar(g); }

// The glyphs of a page in reveal order with their row and index in it
// (indent spaces left out, as the reveal leaves them out).
template <class F>
void ForEachRevealed(const TWdPage& page, F f) {
  for (size_t row = 0; row < page.Rows.size(); ++row) {
    const auto& glyphs = page.Rows[row]->Glyphs;
    for (size_t i = 0; i < glyphs.size(); ++i)
      if (glyphs[i]->Kind() != TGlyphKind::Space) f(int32_t(row), int32_t(i), glyphs[i]);
  }
}

// A glyph still fading in is stored whole: the fade is not worth resuming.
int32_t StoredAlpha(const TWdPage& page, TWdReal* r) {
  return std::find(page.Fading.begin(), page.Fading.end(), r) != page.Fading.end() ? 255 : r->Alpha;
}

int32_t StoredAlpha(const TWdPage& page, const TWdOpeVar& var) {
  for (TWdGlyph* p : var.Produced)
    if (p->Kind() == TGlyphKind::VarChar) return StoredAlpha(page, AsReal(p));
  return 0;
}

bool AtEnd(const TWdPage& page) { return page.CurrentRow >= int32_t(page.Rows.size()); }

// Moves the position forward onto a glyph the reveal can stand on.
void Settle(TWdPage& page) {
  while (!AtEnd(page)) {
    const auto& glyphs = page.Rows[size_t(page.CurrentRow)]->Glyphs;
    if (page.CurrentGlyph >= int32_t(glyphs.size())) {
      ++page.CurrentRow;
      page.CurrentGlyph = 0;
    } else if (glyphs[size_t(page.CurrentGlyph)]->Kind() == TGlyphKind::Space) {
      ++page.CurrentGlyph;
    } else {
      return;
    }
  }
  page.CurrentGlyph = 0;
}

// Whether the stored position is one the reveal of this page can hold; it is
// clamped into the page either way.
bool PlacePosition(TWdPage& page, int32_t row, int32_t glyph) {
  const int32_t rows = int32_t(page.Rows.size());
  bool fits = row == rows && glyph == 0;
  if (row >= 0 && row < rows) {
    const auto& glyphs = page.Rows[size_t(row)]->Glyphs;
    fits = glyph >= 0 && glyph < int32_t(glyphs.size()) && glyphs[size_t(glyph)]->Kind() != TGlyphKind::Space;
  }
  page.CurrentRow = std::clamp(row, 0, rows);
  page.CurrentGlyph =
      AtEnd(page) ? 0 : std::clamp(glyph, 0, int32_t(page.Rows[size_t(page.CurrentRow)]->Glyphs.size()));
  Settle(page);
  return fits;
}

// False when the blob ends inside the string.
bool ReadEvents(TByteStream& in, std::string& events) {
  if (in.Remaining() < 4) return false;
  const int32_t n = ReadInt(in);
  if (n <= 0) return true;
  if (n > in.Remaining()) return false;
  events.resize(size_t(n));
  ReadExact(in, events.data(), n);
  return true;
}

// Glyphs before the position were revealed: one stored as hidden fades in
// again rather than staying invisible behind the reveal. Glyphs from the
// position on are hidden whatever was stored, so the reveal meets them as
// it meets any glyph it has not reached.
void Restore(TWdPage& page, TWdReal& r, bool before, int32_t alpha) {
  r.Revealed = before;
  r.Alpha = uint8_t(before ? alpha : 0);
  if (!before) return;
  if (alpha < 255) page.Fading.push_back(&r);
  if (r.Kind() == TGlyphKind::Img) page.Animating.push_back(&r);
}

}  // namespace

void SavePageReveal(TStream& stream, const TWdPage& page) {
  WriteInt(stream, page.ScrollOffset);
  WriteInt(stream, page.CurrentRow);
  WriteInt(stream, page.CurrentGlyph);
  WriteFlag(stream, page.Done);
  WriteStr(stream, page.Events);
  ForEachRevealed(page, [&](int32_t, int32_t, TWdGlyph* g) {
    if (TWdReal* r = AsReal(g))
      WriteInt(stream, StoredAlpha(page, r));
    else if (const TWdOpeVar* var = AsVar(g))
      WriteInt(stream, StoredAlpha(page, *var));
  });
}

size_t LoadPageReveal(std::span<const uint8_t> bytes, TTpWord& word, TWdPage& page) {
  // Without a whole position the page starts its reveal afresh.
  word.ResetReveal(page);
  TByteStream in(bytes);
  if (in.Remaining() < 3 * 4 + 1) return 0;
  const int32_t scroll = ReadInt(in);
  const int32_t row = ReadInt(in);
  const int32_t glyph = ReadInt(in);
  const bool done = ReadFlag(in);
  page.ScrollOffset = std::clamp(scroll, 0, std::max(0, page.Height));
  // Alphas stored for another layout would land on the wrong glyphs: keep
  // to the position alone then.
  bool reading = PlacePosition(page, row, glyph);
  reading = ReadEvents(in, page.Events) && reading;
  ForEachRevealed(page, [&](int32_t r, int32_t i, TWdGlyph* g) {
    const bool before = r < page.CurrentRow || (r == page.CurrentRow && i < page.CurrentGlyph);
    int32_t alpha = before ? 255 : 0;
    if (WritesAlpha(g)) {
      reading = reading && in.Remaining() >= 4;
      if (reading) alpha = std::clamp(ReadInt(in), 0, 255);
    }
    // A variable glyph's alpha is its first character's, which is restored
    // with that character.
    if (TWdReal* real = AsReal(g)) Restore(page, *real, before, alpha);
  });
  page.Done = done && AtEnd(page) && page.Fading.empty();
  page.StartDelay = false;
  page.Started = true;
  // As after an event the reveal passed: the first frame's time is not counted.
  page.EventPassed = !page.Events.empty();
  return size_t(in.Position());
}

}  // namespace kest
