#include "text/text_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "text/text_layout.h"
#include "text/tp_word.h"
#include "text/var_evaluator.h"

namespace kest {
namespace {

// Every stored field set to a value of its own.
void SetDistinct(TTpWord& w) {
  w.OriginX = 11, w.OriginY = 12, w.DefaultFontSize = 13, w.DefaultFontName = "face";
  w.DefaultFontColor = 14, w.VisibleHeight = 15, w.Width = 16, w.AntiAlias = 2, w.LineSpacing = -3;
  w.Paging = false, w.LinkColor = 17, w.LinkHoverColor = 18, w.FadeTime = 19, w.DefaultBorderColor = 20;
  w.Alpha = 21, w.Paused = true, w.CaretX = 22, w.CaretY = 23, w.TextSpeed = -24, w.EventsEnabled = false;
  w.DefaultShadowColor = 25, w.DefaultBorderWidth = 26, w.DefaultShadowOffset = 27;
}

std::vector<uint8_t> Settings(const TTpWord& w) {
  TByteStream s;
  SaveEngineSettings(s, w);
  return s.TakeBytes();
}

// The fields every version stores, in the record's order, as an old engine
// wrote them.
TByteStream OldRecord(int32_t version) {
  TByteStream s;
  for (int32_t v : {101, 102, 103}) WriteInt(s, v);
  WriteStr(s, "old");
  for (int32_t v : {104, 105, 106, 9, 107}) WriteInt(s, v);  // anti-alias 9 is no format
  WriteFlag(s, true);
  for (int32_t v : {108, 109, 110, 111, 112}) WriteInt(s, v);
  WriteFlag(s, true);
  for (int32_t v : {113, 114, 115}) WriteInt(s, v);
  WriteFlag(s, true);
  if (version >= 110) WriteInt(s, 116);
  s.Seek(0);
  return s;
}

TEST(EngineSettings, RoundTripAndOlderLayouts) {
  TTpWord a, b;
  SetDistinct(a);
  TByteStream s(Settings(a));
  EXPECT_EQ(s.Size(), 19 * 4 + 3 + 4 + 4) << "19 integers, 3 flags and the face name";
  LoadEngineSettings(s, b, kSaveNewestVersion);
  EXPECT_EQ(s.Remaining(), 0);
  EXPECT_EQ(Settings(b), Settings(a)) << "every field read back where it was written";
  EXPECT_EQ(b.DefaultShadowOffset, 27);

  for (int32_t version : {109, 110}) {
    TTpWord w;
    SetDistinct(w);
    TByteStream old = OldRecord(version);
    LoadEngineSettings(old, w, version);
    EXPECT_EQ(old.Remaining(), 0) << version;
    EXPECT_EQ(w.DefaultFontName, "old");
    EXPECT_EQ(w.Width, 106);
    EXPECT_EQ(w.AntiAlias, 3) << "clamped into the formats";
    EXPECT_EQ(w.LineSpacing, 107);
    EXPECT_EQ(w.Alpha, 112);
    EXPECT_EQ(w.TextSpeed, 115);
    EXPECT_EQ(w.DefaultShadowColor, version >= 110 ? 116 : 25) << "absent fields keep the engine's values";
    EXPECT_EQ(w.DefaultBorderWidth, 26);
    EXPECT_EQ(w.DefaultShadowOffset, 27);
  }
}

TEST(EngineSettings, DamageLeavesTheEngineAsItWas) {
  TTpWord source, w;
  SetDistinct(source);
  const std::vector<uint8_t> whole = Settings(source);
  const std::vector<uint8_t> before = Settings(w);
  for (size_t n = 0; n < whole.size(); ++n) {
    TByteStream cut(std::vector<uint8_t>(whole.begin(), whole.begin() + std::ptrdiff_t(n)));
    EXPECT_THROW(LoadEngineSettings(cut, w, kSaveNewestVersion), EReadError) << n;
    ASSERT_EQ(Settings(w), before) << "cut at " << n;
  }
  // Offsets of the sizes (the face name takes 8 bytes): font size 8,
  // visible height 24, width 28, outline width 79, shadow offset 83.
  for (size_t at : {8u, 24u, 28u, 79u, 83u}) {
    for (int32_t bad : {-1, 0x8000}) {
      std::vector<uint8_t> bytes = whole;
      for (int k = 0; k < 4; ++k) bytes[at + size_t(k)] = uint8_t(uint32_t(bad) >> (8 * k));
      TByteStream s(bytes);
      EXPECT_THROW(LoadEngineSettings(s, w, kSaveNewestVersion), EReadError) << at << " " << bad;
      EXPECT_EQ(Settings(w), before);
    }
  }
}

struct TFixedEvaluator : IVarEvaluator {
  std::optional<std::string> EvaluateText(std::string_view) override { return "xy"; }
  std::optional<std::string> EvaluateCompiled(TKestParser&) override { return std::nullopt; }
};

// An engine with its text laid out on one page, the reveal reset.
struct TLaid {
  TTpWord w;
  TWdPages pages;  // freed before the engine
  std::vector<std::string> events;

  explicit TLaid(std::string_view utf8Markup) {
    w.Width = 100;  // eight 12-pixel cells
    w.VisibleHeight = 1000;
    w.FadeTime = 200;
    w.ImageSize = [](const std::string&) { return std::pair<int32_t, int32_t>{10, 10}; };
    w.EventReceiver = [this](const std::string& e) { events.push_back(e); };
    w.SetMarkup(Utf8ToCp932(utf8Markup));
    TFixedEvaluator eval;
    w.ExpandVariables(0, w.Count() - 1, false, eval);
    LayoutGlyphs(w, pages);
    if (!pages.empty()) w.ResetReveal(Page());
  }
  TWdPage& Page() { return *pages.at(0); }
};

constexpr std::string_view kText =
    "<WAIT VALUE=30>あい<INDENT>うえおかきくけこ<BR>さ<IMG SRC=p>し<EVENT VALUE=one>す"
    "<VAR NAME=v>せ<HISTCHAR VALUE=h>そ</WAIT>";

std::vector<uint8_t> Reveal(const TWdPage& page) {
  TByteStream s;
  SavePageReveal(s, page);
  return s.TakeBytes();
}

bool IsReal(const TWdGlyph* g) {
  return g->Kind() == TGlyphKind::Char || g->Kind() == TGlyphKind::VarChar || g->Kind() == TGlyphKind::Img;
}

bool Contains(const std::vector<TWdReal*>& list, const TWdGlyph* g) {
  return std::find(list.begin(), list.end(), g) != list.end();
}

// What the reveal relies on: a position on a glyph it can stand on, every
// glyph before it revealed and shown or fading in, every glyph after hidden.
void ExpectConsistent(const TWdPage& page, const std::string& where) {
  const int32_t rows = int32_t(page.Rows.size());
  ASSERT_GE(page.CurrentRow, 0) << where;
  ASSERT_LE(page.CurrentRow, rows) << where;
  if (page.CurrentRow < rows) {
    const auto& glyphs = page.Rows[size_t(page.CurrentRow)]->Glyphs;
    ASSERT_GE(page.CurrentGlyph, 0) << where;
    ASSERT_LT(page.CurrentGlyph, int32_t(glyphs.size())) << where;
    EXPECT_NE(glyphs[size_t(page.CurrentGlyph)]->Kind(), TGlyphKind::Space) << where;
  }
  EXPECT_TRUE(!page.Done || page.CurrentRow == rows) << where;
  for (int32_t r = 0; r < rows; ++r) {
    const auto& glyphs = page.Rows[size_t(r)]->Glyphs;
    for (int32_t i = 0; i < int32_t(glyphs.size()); ++i) {
      if (!IsReal(glyphs[size_t(i)])) continue;
      const auto* g = static_cast<const TWdReal*>(glyphs[size_t(i)]);
      const bool before = r < page.CurrentRow || (r == page.CurrentRow && i < page.CurrentGlyph);
      EXPECT_EQ(g->Revealed, before) << where << " row " << r << " glyph " << i;
      EXPECT_EQ(Contains(page.Fading, g), before && g->Alpha < 255) << where << " row " << r << " glyph " << i;
      if (!before) {
        EXPECT_EQ(g->Alpha, 0) << where << " row " << r << " glyph " << i;
      }
    }
  }
}

void ExpectFinishes(TLaid& laid, const std::string& where) {
  int32_t frames = 0;
  while (!laid.w.StepReveal(laid.Page(), 10).first && ++frames < 2000) {
  }
  ASSERT_LT(frames, 2000) << where;
  for (int32_t i = 0; i < laid.w.Count(); ++i) {
    if (IsReal(laid.w.Glyph(i))) {
      EXPECT_EQ(static_cast<TWdReal*>(laid.w.Glyph(i))->Alpha, 255) << where << " " << i;
    }
  }
}

TEST(PageReveal, APartlyRevealedPageComesBackAsItWas) {
  TLaid original(kText);
  TWdPage& page = original.Page();
  ASSERT_EQ(original.pages.size(), 1u);
  ASSERT_GE(page.Rows.size(), 2u);
  ASSERT_NE(page.Rows[1]->Space, nullptr) << "the second row starts with an indent";
  for (int32_t f = 0; f < 200 && page.Events.empty(); ++f) original.w.StepReveal(page, 10);
  ASSERT_EQ(page.Events, "one") << "held while the text before it fades in";
  ASSERT_FALSE(page.Fading.empty());
  page.ScrollOffset = 5;

  const std::vector<uint8_t> bytes = Reveal(page);
  size_t stored = 0;
  for (int32_t i = 0; i < original.w.Count(); ++i) {
    const TGlyphKind k = original.w.Glyph(i)->Kind();
    stored += IsReal(original.w.Glyph(i)) || k == TGlyphKind::Var || k == TGlyphKind::HistChar;
  }
  EXPECT_EQ(bytes.size(), 13 + 4 + 3 + 4 * stored) << "one alpha per character, image and variable glyph";

  TLaid copy(kText);
  LoadPageReveal(bytes, copy.w, copy.Page());
  TWdPage& loaded = copy.Page();
  EXPECT_EQ(loaded.ScrollOffset, 5);
  EXPECT_EQ(loaded.CurrentRow, page.CurrentRow);
  EXPECT_EQ(loaded.CurrentGlyph, page.CurrentGlyph);
  EXPECT_EQ(loaded.Events, "one");
  EXPECT_TRUE(loaded.Fading.empty()) << "glyphs fading in are stored whole";
  EXPECT_TRUE(loaded.Started);
  ASSERT_EQ(copy.w.Count(), original.w.Count());
  for (int32_t i = 0; i < original.w.Count(); ++i) {
    if (!IsReal(original.w.Glyph(i))) continue;
    auto* was = static_cast<TWdReal*>(original.w.Glyph(i));
    auto* now = static_cast<TWdReal*>(copy.w.Glyph(i));
    EXPECT_EQ(now->Alpha, Contains(page.Fading, was) ? 255 : was->Alpha) << i;
    EXPECT_EQ(now->Revealed, was->Revealed) << i;
  }
  ASSERT_EQ(loaded.Animating.size(), 1u);
  EXPECT_EQ(loaded.Animating[0]->Kind(), TGlyphKind::Img);
  ExpectConsistent(loaded, "loaded");

  // The held event goes out at once, and the next glyph follows one frame
  // later, not after a fresh start delay.
  const auto [done, shown] = copy.w.StepReveal(loaded, 10);
  EXPECT_FALSE(done);
  EXPECT_EQ(copy.events, (std::vector<std::string>{"one"}));
  EXPECT_EQ(shown, "");
  EXPECT_EQ(copy.w.StepReveal(loaded, 10).second, Utf8ToCp932("す"));
  ExpectFinishes(copy, "continued");
}

TEST(PageReveal, VariableGlyphsStoreTheirFirstCharacter) {
  constexpr std::string_view kVars = "あ<VAR NAME=v><HISTCHAR VALUE=h>う";
  TLaid laid(kVars);
  laid.w.RevealAll(laid.Page());
  const std::vector<int32_t> shown = {10, 20, 30, 40};  // あ x y う
  for (int32_t i = 0, k = 0; i < laid.w.Count(); ++i)
    if (IsReal(laid.w.Glyph(i))) static_cast<TWdReal*>(laid.w.Glyph(i))->Alpha = uint8_t(shown[size_t(k++)]);
  const std::vector<uint8_t> bytes = Reveal(laid.Page());
  TByteStream s(bytes);
  s.Seek(13 + 4);
  std::vector<int32_t> alphas;
  while (s.Remaining() > 0) alphas.push_back(ReadInt(s));
  EXPECT_EQ(alphas, (std::vector<int32_t>{10, 20, 20, 30, 0, 40})) << "あ, VAR as its x, x, y, HISTCHAR unexpanded, う";

  TLaid copy(kVars);
  LoadPageReveal(bytes, copy.w, copy.Page());
  std::vector<int32_t> restored;
  for (int32_t i = 0; i < copy.w.Count(); ++i)
    if (IsReal(copy.w.Glyph(i))) restored.push_back(static_cast<TWdReal*>(copy.w.Glyph(i))->Alpha);
  EXPECT_EQ(restored, shown) << "the variable glyphs' entries are passed over";
}

TEST(PageReveal, CutOrForeignBlobsGiveAConsistentPage) {
  TLaid original(kText);
  for (int32_t f = 0; f < 200 && original.Page().Events.empty(); ++f) original.w.StepReveal(original.Page(), 10);
  const std::vector<uint8_t> bytes = Reveal(original.Page());

  for (size_t n = 0; n <= bytes.size(); ++n) {
    // A copy of exactly n bytes, so that reading one more is caught.
    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
    TLaid laid(kText);
    LoadPageReveal(cut, laid.w, laid.Page());
    ExpectConsistent(laid.Page(), "cut at " + std::to_string(n));
    if (n == 0 || n == 20 || n == bytes.size() - 1) ExpectFinishes(laid, "cut at " + std::to_string(n));
  }

  for (std::string_view other : {"あい", "", "<IMG SRC=p><BR><BR><BR>か<VAR NAME=v>"}) {
    TLaid laid(other);
    if (laid.pages.empty()) continue;
    LoadPageReveal(bytes, laid.w, laid.Page());
    ExpectConsistent(laid.Page(), std::string(other));
    ExpectFinishes(laid, std::string(other));
  }

  // Values no save holds: a negative scroll, a done flag before the end,
  // alphas outside 0…255.
  TByteStream odd;
  for (int32_t v : {-7, 0, 2}) WriteInt(odd, v);
  WriteFlag(odd, true);
  WriteStr(odd, "");
  for (int32_t v : {1000, -3, 77}) WriteInt(odd, v);
  TLaid laid("あいう");
  LoadPageReveal(odd.Bytes(), laid.w, laid.Page());
  EXPECT_EQ(laid.Page().ScrollOffset, 0);
  EXPECT_FALSE(laid.Page().Done);
  EXPECT_EQ(static_cast<TWdReal*>(laid.w.Glyph(0))->Alpha, 255);
  EXPECT_EQ(static_cast<TWdReal*>(laid.w.Glyph(1))->Alpha, 0) << "revealed, fading in again";
  EXPECT_EQ(static_cast<TWdReal*>(laid.w.Glyph(2))->Alpha, 0) << "not reached yet";
  ExpectConsistent(laid.Page(), "odd");
  ExpectFinishes(laid, "odd");
}

}  // namespace
}  // namespace kest
