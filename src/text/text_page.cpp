// Pages on the target: rendered once into the glyph layers, then revealed
// glyph by glyph with waits and a fade, and drawn each frame.
#include <algorithm>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/trace.h"
#include "imaging/dibx.h"
#include "imaging/pexa_collection.h"
#include "text/font_pixel_manager.h"
#include "text/text_layout.h"
#include "text/text_render.h"
#include "text/tp_word.h"

namespace kest {

namespace {

TWdReal* AsReal(TWdGlyph* g) {
  switch (g->Kind()) {
    case TGlyphKind::Char:
    case TGlyphKind::VarChar:
    case TGlyphKind::Img: return static_cast<TWdReal*>(g);
    default: return nullptr;
  }
}

bool IsChar(const TWdGlyph* g) { return g->Kind() == TGlyphKind::Char || g->Kind() == TGlyphKind::VarChar; }

// A variable glyph hands its wait to the characters it produces: counted on
// itself as well, the reveal would pause twice before the value.
int32_t WaitOf(const TWdGlyph* g) {
  const auto* r = AsReal(const_cast<TWdGlyph*>(g));
  return r ? r->Wait : 0;
}

// The glyphs of a page in reveal order (indent spaces left out).
template <class F>
void ForEachGlyph(const TWdPage& page, F f) {
  for (const auto& row : page.Rows)
    for (TWdGlyph* g : row->Glyphs)
      if (g->Kind() != TGlyphKind::Space) f(*row, g);
}

bool AtEnd(const TWdPage& page) { return page.CurrentRow >= int32_t(page.Rows.size()); }

TWdGlyph* Current(const TWdPage& page) {
  if (AtEnd(page)) return nullptr;
  const auto& glyphs = page.Rows[size_t(page.CurrentRow)]->Glyphs;
  return page.CurrentGlyph < int32_t(glyphs.size()) ? glyphs[size_t(page.CurrentGlyph)] : nullptr;
}

// Moves to the next glyph that is not an indent space, row by row.
void Advance(TWdPage& page) {
  ++page.CurrentGlyph;
  while (!AtEnd(page)) {
    const auto& glyphs = page.Rows[size_t(page.CurrentRow)]->Glyphs;
    if (page.CurrentGlyph < int32_t(glyphs.size())) {
      if (glyphs[size_t(page.CurrentGlyph)]->Kind() != TGlyphKind::Space) return;
      ++page.CurrentGlyph;
      continue;
    }
    ++page.CurrentRow;
    page.CurrentGlyph = 0;
  }
}

void AppendChar(std::string& text, const TWdGlyph* g) {
  const uint16_t code = static_cast<const TWdChar*>(g)->CharCode;
  if (code > 0xFF) text += char(code >> 8);
  text += char(code & 0xFF);
}

bool HasPicture(const TPexaCollection* pictures, const std::string& source) {
  return pictures && pictures->Files() && !source.empty() && pictures->Files()->Exists(source);
}

const TPexaItemFrame* ShownFrame(const TWdImg& img) {
  if (!img.Picture || img.Picture->Frames.empty()) return nullptr;
  const TPexaItemFrame& f = img.Picture->Frames[size_t(img.FrameIndex) % img.Picture->Frames.size()];
  return f.Surface ? &f : nullptr;
}

// Shown pictures play their frames, each for its delay.
void Animate(std::vector<TWdReal*>& animating, int32_t frameMs) {
  for (TWdReal* r : animating) {
    auto& img = static_cast<TWdImg&>(*r);
    if (!img.Picture || img.Picture->Frames.size() < 2) continue;
    img.FrameTime += frameMs;
    for (int32_t guard = 0; guard < 64; ++guard) {
      const int32_t delay = std::max(1, img.Picture->Frames[size_t(img.FrameIndex)].Delay);
      if (img.FrameTime < delay) break;
      img.FrameTime -= delay;
      img.FrameIndex = (img.FrameIndex + 1) % int32_t(img.Picture->Frames.size());
    }
  }
}

// The characters next to a row's glyph, which its bars may run on into.
TBarNeighbours BesideOf(const TWdRow& row, size_t at) {
  TBarNeighbours beside;
  if (at > 0 && IsChar(row.Glyphs[at - 1])) beside.Left = static_cast<const TWdChar*>(row.Glyphs[at - 1]);
  if (at + 1 < row.Glyphs.size() && IsChar(row.Glyphs[at + 1]))
    beside.Right = static_cast<const TWdChar*>(row.Glyphs[at + 1]);
  return beside;
}

}  // namespace

std::pair<int32_t, int32_t> TTpWord::PictureSize(const std::string& source) const {
  if (ImageSize) return ImageSize(source);
  if (!HasPicture(Pictures, source)) return {0, 0};
  TPexaItem* item = Pictures->Acquire(this, source, false, true);
  std::pair<int32_t, int32_t> size{0, 0};
  if (!item->Frames.empty() && item->Frames[0].Surface)
    size = {item->Frames[0].Surface->Width(), item->Frames[0].Surface->Height()};
  Pictures->Release(item, this);
  return size;
}

void TTpWord::PreparePage(TWdPage& page) { RenderPage(page, page.HoverLink); }

void TTpWord::RenderPage(TWdPage& page, const TWdGlyph* hoverRun) {
  const int bits = Target ? Target->StoredBitCount() : 32;
  // With paging off a page may run below the visible area and scroll.
  const int32_t h = std::max(VisibleHeight, Paging ? 0 : page.Height);
  if (!FGlyphColours) FGlyphColours = std::make_unique<TDIBX>();
  if (!FGlyphCoverage) FGlyphCoverage = std::make_unique<TDIBX>();
  FGlyphColours->SetSize(std::max(Width, 1), std::max(h, 1), bits);
  FGlyphColours->TransparentPixel = 0;
  FGlyphCoverage->SetSize(std::max(Width, 1), std::max(h, 1), 8);
  FGlyphColours->Fill(0);
  FGlyphCoverage->Fill(0);
  TGlyphLayers layers(*FGlyphColours, *FGlyphCoverage);
  const std::string* hoverLink = nullptr;
  bool inHover = false;
  const std::string* ruby = nullptr;
  int32_t rubyHeight = 0;
  bool failed = false;
  auto render = [&](const TWdRow& row, size_t at) {
    TWdGlyph* g = row.Glyphs[at];
    if (g->Kind() == TGlyphKind::Img) {
      auto& img = static_cast<TWdImg&>(*g);
      if (!img.Picture && HasPicture(Pictures, img.Source))
        img.Picture = Pictures->Acquire(&img, img.Source, false, true);
      img.Ink = {g->X, g->Y, g->X + g->Width, g->Y + g->Height};
    }
    if (!IsChar(g)) {
      ruby = nullptr;
      return;
    }
    auto& c = static_cast<TWdChar&>(*g);
    if (g == hoverRun) {
      inHover = true;
      hoverLink = &c.Link;
    } else if (inHover && (!hoverLink || c.Link != *hoverLink)) {
      inHover = false;
    }
    c.Ink = {};
    c.RubyInk = {};
    if (!Fonts) return;
    try {
      RenderCharacter(layers, *Fonts, *this, c, inHover, BesideOf(row, at));
      const std::string& r = c.Decoration()->Ruby;
      if (r.empty()) {
        ruby = nullptr;
        return;
      }
      if (!ruby || *ruby != r) {
        ruby = &r;
        // The ruby of a run goes once, over the whole run in this row, and
        // shows with its first character.
        int32_t runWidth = 0;
        for (size_t k = at; k < row.Glyphs.size() && IsChar(row.Glyphs[k]) &&
                            static_cast<TWdChar*>(row.Glyphs[k])->Decoration()->Ruby == r;
             ++k)
          runWidth += row.Glyphs[k]->Width;
        const TCharLook look = LookOf(*this, c, false);
        RenderRuby(layers, *Fonts, look, r, c.X, c.Y, runWidth, AntiAlias);
        rubyHeight = look.Ruby;
        c.RubyInk = {c.X, c.Y, c.X + runWidth, c.Y + rubyHeight};
      }
      // Each base character below the ruby line is its own, revealed in turn.
      c.Ink.Top = std::min(c.Ink.Bottom, c.Y + rubyHeight);
    } catch (const EKestError& error) {
      // A character the fonts cannot give stays blank; the rest of the page
      // is drawn, and the frame goes on.
      if (!failed && Trace().Enabled()) Trace().Line(std::string("Text: ") + error.what());
      failed = true;
      ruby = nullptr;
    }
  };
  for (const auto& row : page.Rows) {
    ruby = nullptr;
    for (size_t at = 0; at < row->Glyphs.size(); ++at)
      if (row->Glyphs[at]->Kind() != TGlyphKind::Space) render(*row, at);
  }
}

void TTpWord::ResetReveal(TWdPage& page) {
  ForEachGlyph(page, [](const TWdRow&, TWdGlyph* g) {
    if (TWdReal* r = AsReal(g)) {
      r->Alpha = 0;
      r->Revealed = false;
    }
  });
  page.CurrentRow = 0;
  page.CurrentGlyph = -1;
  Advance(page);
  page.WaitMs = 0;
  page.FadeAccumulator = 0;
  page.Fading.clear();
  page.Animating.clear();
  page.Events.clear();
  page.EventPassed = false;
  page.Done = false;
  page.StartDelay = FadeTime > 0;
  page.Started = false;
}

void TTpWord::RevealAll(TWdPage& page) {
  ForEachGlyph(page, [](const TWdRow&, TWdGlyph* g) {
    if (TWdReal* r = AsReal(g)) {
      r->Alpha = 255;
      r->Revealed = true;
    }
  });
  page.CurrentRow = int32_t(page.Rows.size());
  page.CurrentGlyph = 0;
  page.Fading.clear();
  page.Started = true;
}

bool TTpWord::MoreToReveal(const TWdPage& page) const { return !AtEnd(page) || !page.Fading.empty(); }

std::pair<bool, std::string> TTpWord::StepReveal(TWdPage& page, int32_t frameMs) {
  page.Done = page.Done || (AtEnd(page) && page.Fading.empty());
  // The highlighted run's rectangles stay until the highlight moves: its
  // owner redraws them when the mouse leaves.
  std::string revealed;
  if (page.StartDelay) {
    page.StartDelay = false;
    return {page.Done, revealed};
  }
  if (!AtEnd(page) && !Paused && page.Events.empty()) {
    if (!page.Started) {
      page.Started = true;
      page.WaitMs = 0;
      page.FadeAccumulator = 0;
    } else if (page.EventPassed) {
      page.EventPassed = false;
    } else {
      page.WaitMs -= frameMs;
    }
    while (!AtEnd(page) && page.WaitMs <= 0) {
      const TWdRow& row = *page.Rows[size_t(page.CurrentRow)];
      if (row.Top - page.ScrollOffset >= VisibleHeight && VisibleHeight > 0) break;
      TWdGlyph* g = Current(page);
      if (TWdReal* r = AsReal(g)) {
        r->Alpha = 0;
        r->Revealed = true;
        page.Fading.push_back(r);
        // Pictures go on playing their frames once shown.
        if (g->Kind() == TGlyphKind::Img) page.Animating.push_back(r);
      }
      const int64_t w = WaitOf(g);
      if (w >= 0)
        page.WaitMs =
            int32_t(std::clamp<int64_t>(page.WaitMs + w * std::max(0, TextSpeed) / 256, INT32_MIN, INT32_MAX));
      else if (TextSpeed >= 0)
        page.WaitMs = int32_t(std::min<int64_t>(page.WaitMs - w, INT32_MAX));
      Advance(page);
      if (const TWdGlyph* next = Current(page)) {
        const TWdRow& at = *page.Rows[size_t(page.CurrentRow)];
        CaretX = next->X;
        CaretY = at.Top;
        CaretHeight = at.Height;
      } else {
        CaretX = g->X + g->Width;
        CaretY = row.Top;
        CaretHeight = row.Height;
      }
      if (g->Kind() == TGlyphKind::Event) {
        const auto& e = static_cast<const TWdOpeEvent&>(*g);
        if (EventsEnabled) {
          if (!page.Events.empty()) page.Events += '\t';
          page.Events += e.Value;
          page.EventPassed = true;
        }
        const TWdGlyph* next = Current(page);
        if (e.End || !next || next->Kind() != TGlyphKind::Event) break;
        continue;
      }
      if (IsChar(g)) AppendChar(revealed, g);
      if (g->Kind() == TGlyphKind::Img) revealed += '*';
    }
  }
  // The fade: alpha grows by 256 × ms ÷ fade time (at once without a fade
  // time), never past 255.
  page.FadeAccumulator += frameMs * 256;
  const int32_t step = FadeTime > 0 ? page.FadeAccumulator / FadeTime : 255;
  if (step > 0) {
    if (FadeTime > 0) page.FadeAccumulator %= FadeTime;
    for (TWdReal* r : page.Fading) r->Alpha = uint8_t(std::min(255, int32_t(r->Alpha) + step));
    std::erase_if(page.Fading, [](const TWdReal* r) { return r->Alpha > 254; });
  }
  Animate(page.Animating, frameMs);
  if (!page.Events.empty() && page.Fading.empty()) {
    const std::string events = std::move(page.Events);
    page.Events.clear();
    size_t at = 0;
    while (at <= events.size()) {
      const size_t tab = std::min(events.find('\t', at), events.size());
      if (EventReceiver) EventReceiver(events.substr(at, tab - at));
      at = tab + 1;
    }
  }
  return {page.Done, revealed};
}

void TTpWord::DrawPage(const TWdPage& page) {
  if (!Target || !FGlyphColours || !FGlyphCoverage) return;
  const int32_t dy = OriginY - (Paging ? 0 : page.ScrollOffset);
  // Neighbours drawn alike go as one rectangle: a revealed row is a few
  // blits, not one per character (the layers hold nothing between them).
  struct TRun {
    TRect Ink{};
    bool Plain = false;
    int32_t Colour = 0;
    int Alpha = 0;
  } run;
  // Ink reaching past the text area (a word longer than the line, a row
  // taller than the window) is cut to the layers, as the blits cut it.
  const TRect layers = IntersectRect(FGlyphColours->Bounds(), FGlyphCoverage->Bounds());
  auto flush = [&] {
    const TRect r = IntersectRect(run.Ink, layers);
    run.Ink = {};
    if (r.IsEmpty()) return;
    const TRect onTarget{OriginX + r.Left, dy + r.Top, OriginX + r.Right, dy + r.Bottom};
    if (!UpdateRect.IsEmpty() && (onTarget.Right <= UpdateRect.Left || onTarget.Left >= UpdateRect.Right ||
                                  onTarget.Bottom <= UpdateRect.Top || onTarget.Top >= UpdateRect.Bottom))
      return;
    if (run.Plain)
      Target->FillMask(onTarget.Left, onTarget.Top, *FGlyphCoverage, r, TBlit::None,
                       uint32_t(Target->ColorToPixel(run.Colour)), run.Alpha);
    else if (run.Alpha >= 255)
      Target->DrawMask(onTarget.Left, onTarget.Top, *FGlyphColours, r, TBlit::None, *FGlyphCoverage);
    else
      Target->DrawAlphaMask(onTarget.Left, onTarget.Top, *FGlyphColours, r, TBlit::None, *FGlyphCoverage, run.Alpha);
  };
  const int engineAlpha = std::clamp(Alpha, 0, 255);
  for (const auto& row : page.Rows) {
    for (TWdGlyph* g : row->Glyphs) {
      const TWdReal* r = AsReal(g);
      if (!r) continue;
      if (g->Kind() == TGlyphKind::Img) {
        flush();
        const int alpha = int(r->Alpha) * engineAlpha / 255;
        const TPexaItemFrame* frame = ShownFrame(static_cast<const TWdImg&>(*g));
        if (alpha > 0 && frame)
          TPexaCollection::DrawFrame(*frame, *Target, OriginX + g->X, dy + g->Y, frame->Surface->Bounds(), alpha, false,
                                     false);
        continue;
      }
      const int alpha = int(r->Alpha) * engineAlpha / 255;
      if (alpha == 0 || r->Ink.IsEmpty()) {
        flush();
        continue;
      }
      if (const TRect& ruby = static_cast<const TWdChar*>(r)->RubyInk; !ruby.IsEmpty()) {
        flush();
        run = {ruby, r->Plain, r->InkColour, alpha};
        flush();
      }
      // Only inks of one height join: a taller neighbour's rectangle would
      // take in the ruby over a run, drawn with the run's first character.
      const bool joins = !run.Ink.IsEmpty() && run.Plain == r->Plain && run.Alpha == alpha &&
                         (!r->Plain || run.Colour == r->InkColour) && r->Ink.Left <= run.Ink.Right &&
                         r->Ink.Left >= run.Ink.Left && r->Ink.Top == run.Ink.Top && r->Ink.Bottom == run.Ink.Bottom;
      if (!joins) {
        flush();
        run = {r->Ink, r->Plain, r->InkColour, alpha};
        continue;
      }
      run.Ink.Right = std::max(run.Ink.Right, r->Ink.Right);
    }
    flush();
  }
}

TWdReal* TTpWord::GlyphAt(const TWdPage& page, int32_t x, int32_t y) const {
  TWdReal* found = nullptr;
  y += page.ScrollOffset;
  ForEachGlyph(page, [&](const TWdRow&, TWdGlyph* g) {
    TWdReal* r = AsReal(g);
    if (!found && r && r->Alpha == 255 && x >= g->X && x < g->X + g->Width && y >= g->Y && y < g->Y + g->Height)
      found = r;
  });
  return found;
}

void TTpWord::HoverLink(TWdPage& page, int32_t x, int32_t y) {
  TWdGlyph* run = nullptr;
  if (TWdReal* r = GlyphAt(page, x, y); r && !r->Link.empty()) {
    // Back to the first glyph of the run with this link.
    TWdGlyph* previous = nullptr;
    bool linked = false;
    ForEachGlyph(page, [&](const TWdRow&, TWdGlyph* g) {
      if (run) return;
      const TWdReal* gr = AsReal(g);
      const bool same = gr && gr->Link == r->Link;
      if (same && !linked) previous = g;
      linked = same;
      if (g == r) run = previous;
    });
  }
  if (run == page.HoverLink) return;
  page.HoverLink = run;
  RenderPage(page, run);
  LinkRects.clear();
  if (!run) return;
  const std::string link = AsReal(run)->Link;
  bool in = false;
  ForEachGlyph(page, [&](const TWdRow&, TWdGlyph* g) {
    const TWdReal* gr = AsReal(g);
    if (g == run) in = true;
    if (!in) return;
    if (!gr || gr->Link != link) {
      in = false;
      return;
    }
    LinkRects.push_back({OriginX + g->X, OriginY + g->Y - page.ScrollOffset, OriginX + g->X + g->Width,
                         OriginY + g->Y + g->Height - page.ScrollOffset});
  });
}

}  // namespace kest
