#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "common/sjis.h"
#include "common/stream.h"
#include "imaging/dibx.h"
#include "imaging/pexa_collection.h"
#include "imaging/pexa_frame_list.h"
#include "text/font_pixel_manager.h"
#include "text/text_layout.h"
#include "text/tp_word.h"
#include "text/var_evaluator.h"

namespace kest {
namespace {

struct Reveal : ::testing::Test {
  TFakeFontBackend backend;
  TFontPixelManager fonts{backend};
  TDIBX target{200, 80, 32};
  TTpWord w;
  TWdPages pages;  // freed before the engine
  std::vector<std::string> events;

  Reveal() {
    w.Fonts = &fonts;
    w.Target = &target;
    w.Width = 200;
    w.VisibleHeight = 80;
    w.EventReceiver = [this](const std::string& e) { events.push_back(e); };
  }

  TWdPage& Start(std::string_view utf8Markup) {
    w.SetMarkup(Utf8ToCp932(utf8Markup));
    pages.clear();
    LayoutGlyphs(w, pages);
    w.PreparePage(*pages[0]);
    w.ResetReveal(*pages[0]);
    return *pages[0];
  }

  // The pixels a text, all revealed, draws inside an area of the target.
  int32_t InkIn(std::string_view utf8Markup, const TRect& area) {
    target.Fill(0);
    TWdPage& page = Start(utf8Markup);
    w.RevealAll(page);
    w.DrawPage(page);
    int32_t ink = 0;
    for (int32_t y = area.Top; y < area.Bottom; ++y)
      for (int32_t x = area.Left; x < area.Right; ++x) ink += target.GetPixel(x, y) != 0;
    return ink;
  }

  // The milliseconds at which each character appeared, in 10 ms frames.
  std::vector<int32_t> Times(TWdPage& page, int32_t frames) {
    std::vector<int32_t> at;
    for (int32_t f = 0; f < frames; ++f) {
      const std::string shown = w.StepReveal(page, 10).second;
      for (size_t i = 0; i < shown.size(); i += IsLeadByte(uint8_t(shown[i])) ? 2 : 1) at.push_back(f * 10);
    }
    return at;
  }
};

TEST_F(Reveal, WaitsScaleWithTheSpeed) {
  w.TextSpeed = 128;
  EXPECT_EQ(Times(Start("<WAIT VALUE=100>あいう</WAIT>"), 20), (std::vector<int32_t>{10, 60, 110}))
      << "the first frame after a reset shows nothing; 100 ms at speed 128 is 50 ms";
  w.TextSpeed = 512;
  EXPECT_EQ(Times(Start("<WAIT VALUE=-100>あい</WAIT>"), 20), (std::vector<int32_t>{10, 110}))
      << "a negative wait lasts its length whatever the speed";
  w.TextSpeed = -1;
  EXPECT_EQ(Times(Start("<WAIT VALUE=100>あいう</WAIT>"), 3), (std::vector<int32_t>{10, 10, 10}));
  w.TextSpeed = 0;
  TWdPage& page = Start("あいう");
  EXPECT_EQ(Times(page, 2), (std::vector<int32_t>{10, 10, 10})) << "speed 0 shows the page at once";
  EXPECT_TRUE(w.StepReveal(page, 10).first);
}

TEST_F(Reveal, FadesClampAndEventsHoldTheReveal) {
  w.TextSpeed = 0;
  w.FadeTime = 1;
  TWdPage& quick = Start("あ");
  w.StepReveal(quick, 16);
  w.StepReveal(quick, 16);
  EXPECT_EQ(static_cast<TWdReal*>(w.Glyph(0))->Alpha, 255) << "a fade of 1 ms is whole in one frame, never past 255";

  w.FadeTime = 200;
  TWdPage& page = Start("あ<EVENT VALUE=one><EVENT VALUE=two>い");
  int32_t frames = 0;
  while (events.empty() && frames < 100) {
    w.StepReveal(page, 10);
    ++frames;
    EXPECT_EQ(static_cast<TWdReal*>(w.Glyph(3))->Alpha, 0) << "い waits for the events";
  }
  EXPECT_EQ(events, (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(static_cast<TWdReal*>(w.Glyph(0))->Alpha, 255);
  EXPECT_NEAR(frames * 10, 210, 20) << "handed out once あ is fully shown";
  EXPECT_EQ(w.StepReveal(page, 10).second, Utf8ToCp932("い"));
}

TEST_F(Reveal, DrawnPagesAreTheSameOnEveryMachine) {
  w.TextSpeed = 0;
  w.DefaultBorderWidth = 1;
  target.Fill(0x203040);
  TWdPage& page = Start(
      "<FONT SIZE=16>あいう</FONT><U>ab</U><BR><RUBY VALUE=\"かん\">漢字</RUBY>"
      "<FONT BORDER=0 SHADOW=0 COLOR=#FF0000>赤</FONT>");
  w.RevealAll(page);
  w.DrawPage(page);
  uLong crc = 0;
  for (int32_t y = 0; y < target.Height(); ++y) crc = crc32(crc, target.ScanLine(y), uInt(target.Width() * 4));
  EXPECT_EQ(crc, 1746044601u) << "boxes of the fake fonts: outline, underline running on, ruby, a plain red glyph";
}

// A rasteriser that measures nothing above 20 pixels.
class TSmallFonts : public TFakeFontBackend {
 public:
  std::optional<TFontMetrics> Metrics(const TFontRequest& font) override {
    if (font.Size > 20) return std::nullopt;
    return TFakeFontBackend::Metrics(font);
  }
};

TEST_F(Reveal, TextBeyondWhatCanBeDrawnIsHeldToItOrLeftOut) {
  w.TextSpeed = 0;
  w.DefaultFontSize = 1025;
  EXPECT_GT(InkIn("あ", target.Bounds()), 0) << "a default size above the rasteriser's";
  w.DefaultFontSize = 12;
  EXPECT_GT(InkIn("<FONT SIZE=2000>あ</FONT>", target.Bounds()), 0);
  EXPECT_GT(InkIn("<FONT BORDER=100000>あ</FONT>", target.Bounds()), 0) << "not (w + 2b)² bytes";
  EXPECT_LE(w.Glyph(0)->Width, 12 + 2 * 64) << "the cell takes the outline that is drawn";
  EXPECT_GT(InkIn("<FONT BORDER=2000000000 SHADOW=2000000000>あ</FONT>", target.Bounds()), 0);
  TSmallFonts small;
  TFontPixelManager cache(small);
  w.Fonts = &cache;
  EXPECT_GT(InkIn("い<FONT SIZE=30>あ</FONT>", {0, 0, 12, 30}), 0) << "what cannot be measured is left out";
  w.Fonts = &fonts;
}

TEST_F(Reveal, RowsReachingPastTheTextAreaAreClippedNotDropped) {
  w.TextSpeed = 0;
  w.Width = 72;
  EXPECT_GT(InkIn("あabcdefg", {0, 12, 72, 24}), 0) << "an ASCII word longer than the line, on a row of its own";
  EXPECT_GT(InkIn("<NOBR>あいうえおかき</NOBR>", {0, 0, 72, 12}), 0) << "a NOBR run wider than the area";
  w.VisibleHeight = 22;
  EXPECT_GT(InkIn("<FONT SIZE=24>あ</FONT>", {0, 0, 72, 22}), 0) << "an area lower than its text";
  w.VisibleHeight = 30;
  EXPECT_GT(InkIn("<FONT SIZE=24><RUBY VALUE=\"じ\">字</RUBY>です</FONT>", {24, 0, 72, 30}), 0)
      << "plain characters of a row its ruby makes taller than the area";
}

TEST_F(Reveal, HoverFindsTheWholeLinkRun) {
  w.TextSpeed = 0;
  w.OriginX = 5;
  TWdPage& page = Start("あ<A HREF=go>リンク</A><A HREF=no>先</A>");
  w.RevealAll(page);
  const TWdGlyph* second = w.Glyph(2);
  w.HoverLink(page, second->X + 1, second->Y + 1);
  EXPECT_EQ(page.HoverLink, w.Glyph(1));
  ASSERT_EQ(w.LinkRects.size(), 3u) << "the run stops where the link changes";
  EXPECT_EQ(w.LinkRects[0].Left, 5 + w.Glyph(1)->X);
  w.StepReveal(page, 10);
  EXPECT_EQ(w.LinkRects.size(), 3u) << "kept across frames, so the owner can redraw them once the mouse leaves";
  w.HoverLink(page, w.Glyph(0)->X + 1, w.Glyph(0)->Y + 1);
  EXPECT_EQ(page.HoverLink, nullptr);
  EXPECT_TRUE(w.LinkRects.empty()) << "nothing highlighted is left to hit";
}

TEST_F(Reveal, RubyWordsRevealCharacterByCharacterAndDrawEachOnce) {
  w.TextSpeed = 256;
  w.FadeTime = 0;
  w.Alpha = 128;
  TWdPage& page = Start("<WAIT VALUE=100><RUBY VALUE=\"かん\">字字</RUBY>字</WAIT>");
  w.StepReveal(page, 10);
  const TWdGlyph* kan = w.Glyph(0);
  const TWdGlyph* ji = w.Glyph(1);
  const TWdGlyph* a = w.Glyph(2);
  const int32_t baseY = ji->Y + ji->Height - 4;
  auto at = [&](const TWdGlyph* g, int32_t y) { return target.GetPixel(g->X + g->Width / 2, y); };
  w.DrawPage(page);
  EXPECT_NE(at(kan, baseY), 0u);
  EXPECT_EQ(at(ji, baseY), 0u) << "the second character waits for its own turn";
  EXPECT_NE(at(ji, ji->Y + 2), 0u) << "the ruby comes with the first character";
  w.RevealAll(page);
  target.Fill(0);
  w.DrawPage(page);
  EXPECT_EQ(at(ji, baseY), at(a, baseY)) << "drawn once at half alpha, as the same character without ruby";
  EXPECT_EQ(at(kan, baseY), at(a, baseY));
}

TEST_F(Reveal, UnderlinesRunOnUnderOutlinedText) {
  w.TextSpeed = 0;
  w.DefaultBorderWidth = 2;
  TWdPage& page = Start("<U>あい</U>う");
  w.RevealAll(page);
  w.DrawPage(page);
  auto barsIn = [&](int32_t x) {
    int32_t body = 0;
    for (int32_t y = 0; y < target.Height(); ++y) body += target.PixelToColor(target.GetPixel(x, y)) == 0xFFFFFFu;
    return body;
  };
  const int32_t meet = w.Glyph(1)->X;
  EXPECT_GT(barsIn(meet - 1), 0) << "the bar reaches the neighbour with the same outline";
  EXPECT_GT(barsIn(meet), 0);
  EXPECT_EQ(barsIn(w.Glyph(2)->X), 0) << "and stops, outlined, before a character without it";
}

TEST_F(Reveal, AVariableWaitsOnlyThroughItsCharacters) {
  struct TValue : IVarEvaluator {
    std::optional<std::string> EvaluateText(std::string_view) override { return std::string("x"); }
    std::optional<std::string> EvaluateCompiled(TKestParser&) override { return std::nullopt; }
  } value;
  w.SetMarkup(Utf8ToCp932("<WAIT VALUE=100>あ<VAR NAME=n>い</WAIT>"));
  w.ExpandVariables(0, w.Count() - 1, false, value);
  pages.clear();
  LayoutGlyphs(w, pages);
  w.PreparePage(*pages[0]);
  w.ResetReveal(*pages[0]);
  EXPECT_EQ(Times(*pages[0], 30), (std::vector<int32_t>{10, 110, 210}));
}

// Characters whose A/B/C widths add up to nothing.
class TNoWidthFonts : public TFakeFontBackend {
 public:
  TAbcWidths Abc(const TFontRequest&, uint16_t) override { return {}; }
};

TEST_F(Reveal, NarrowCharactersCentreInTheirCells) {
  auto leftmostInk = [&](IFontBackend& backend) {
    TFontPixelManager cache(backend);
    w.Fonts = &cache;
    TWdPage& page = Start("a");
    w.RevealAll(page);
    target.Fill(0);
    w.DrawPage(page);
    for (int32_t x = 0; x < 12; ++x)
      for (int32_t y = 0; y < 12; ++y)
        if (target.GetPixel(x, y) != 0) return x;
    return -1;
  };
  EXPECT_EQ(leftmostInk(backend), 4) << "a 5-pixel box in a 12-pixel cell, placed by its A/B/C widths";
  TNoWidthFonts zero;
  EXPECT_EQ(leftmostInk(zero), 3) << "widths of nothing: half the room on each side";
  w.Fonts = &fonts;
}

class TOnePicture : public IPictureFiles {
 public:
  bool Exists(const std::string& name) override { return name == "pic.pxa"; }
  std::vector<uint8_t> Read(const std::string&) override {
    TPexaFrameList list;
    for (uint32_t colour : {0xFF0000u, 0x00FF00u}) {
      TPexaFrame& frame = list.AddFrame();
      frame.Composite.SetSize(10, 6, 24);
      frame.Composite.Fill(colour);
      frame.Delay = 100;
    }
    TByteStream out;
    SavePexa(list, out, TPexaWriteOptions());
    return out.TakeBytes();
  }
};

TEST_F(Reveal, PicturesInTheTextShowAndPlayTheirFrames) {
  TOnePicture files;
  TPexaCollection pictures(&files, 0);
  w.Pictures = &pictures;
  w.TextSpeed = 0;
  TWdPage& page = Start("あ<IMG SRC=\"pic.pxa\"><IMG SRC=\"gone.pxa\">い");
  const TWdGlyph* picture = w.Glyph(1);
  EXPECT_EQ(picture->Width, 10);
  EXPECT_EQ(picture->Height, 6);
  EXPECT_EQ(w.Glyph(2)->Width, 0) << "a picture the game does not have takes no room";
  w.StepReveal(page, 10);
  w.StepReveal(page, 10);
  auto shown = [&] {
    target.Fill(0);
    w.DrawPage(page);
    return target.PixelToColor(target.GetPixel(picture->X + 2, picture->Y + 2));
  };
  EXPECT_EQ(shown(), 0x0000FFu) << "the first frame (red)";
  for (int i = 0; i < 10; ++i) w.StepReveal(page, 10);
  EXPECT_EQ(shown(), 0x00FF00u) << "the next frame after 100 ms";
  // The pictures go back to the cache before it goes.
  pages.clear();
  w.Clear();
}

}  // namespace
}  // namespace kest
