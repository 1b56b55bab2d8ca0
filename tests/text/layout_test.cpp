#include <gtest/gtest.h>

#include <string>

#include "common/sjis.h"
#include "text/text_layout.h"
#include "text/tp_word.h"

namespace kest {
namespace {

// Twelve-pixel cells, no outline or shadow.
struct Layout : ::testing::Test {
  TTpWord w;
  TWdPages pages;  // declared after the engine: freed first

  Layout() { w.VisibleHeight = 1000; }

  void Lay(std::string_view utf8Markup, int32_t width) {
    pages.clear();
    w.SetMarkup(Utf8ToCp932(utf8Markup));
    w.Width = width;
    LayoutGlyphs(w, pages);
  }

  // The characters of every row (UTF-8): rows end with "/", pages with "|";
  // an image is "*", an indent space "_".
  std::string Shape() const {
    std::string out;
    for (const auto& page : pages) {
      for (const auto& row : page->Rows) {
        for (const TWdGlyph* g : row->Glyphs) {
          if (g->Kind() == TGlyphKind::Char || g->Kind() == TGlyphKind::VarChar) {
            const uint16_t c = static_cast<const TWdChar*>(g)->CharCode;
            out += Cp932ToUtf8(c > 0xFF ? std::string{char(c >> 8), char(c)} : std::string(1, char(c)));
          }
          if (g->Kind() == TGlyphKind::Img) out += "*";
          if (g->Kind() == TGlyphKind::Space) out += "_";
        }
        out += "/";
      }
      out += "|";
    }
    return out;
  }

  TWdGlyph& G(int32_t i) const { return *w.Glyph(i); }
};

TEST_F(Layout, KinsokuKeepsClosingMarksOffTheStartAndOpeningOnesOffTheEnd) {
  Lay("あいう。", 36);
  EXPECT_EQ(Shape(), "あい/う。/|") << "。 does not start a line";
  Lay("あいう<EVENT VALUE=e>。", 36);
  EXPECT_EQ(Shape(), "あい/う。/|") << "an event between does not open a break";
  EXPECT_EQ(G(3).Row, G(4).Row);
  Lay("あい「う", 36);
  EXPECT_EQ(Shape(), "あい/「う/|") << "「 moves down with the character after it";
  Lay("あい｢う", 36);
  EXPECT_EQ(Shape(), "あい/｢う/|") << "so does the half-width one";
  Lay("あ「「いう", 36);
  EXPECT_EQ(Shape(), "あ/「「い/う/|") << "no opening bracket ends a line";
}

TEST_F(Layout, WordsAndRunsStayTogether) {
  Lay("ab abcdefghij", 36);
  EXPECT_EQ(Shape(), "ab /abcdefghij/|") << "the space stays with its word; a long run overflows";
  EXPECT_EQ(pages[0]->Rows[1]->Width, 120);
  Lay("あ<NOBR>いうえ</NOBR>", 36);
  EXPECT_EQ(Shape(), "あ/いうえ/|");
  Lay("あい<RUBY VALUE=x>うえ</RUBY><RUBY VALUE=y>お</RUBY>", 36);
  EXPECT_EQ(Shape(), "あい/うえお/|") << "one ruby text stays on one line; another may break";
  Lay("あいう<BR>え", 0);
  EXPECT_EQ(Shape(), "あいう/え/|") << "a line break ends its row";
}

TEST_F(Layout, CellSizesFollowTheDecoration) {
  w.DefaultBorderWidth = 1;
  w.DefaultShadowOffset = 2;
  Lay("あ<FONT SIZE=20 BORDER=2 SHADOW=3><I>い</I></FONT><RUBY VALUE=x>う</RUBY>", 0);
  EXPECT_EQ(G(0).Width, 12 + 2 + 2);
  EXPECT_EQ(G(0).Height, 12 + 2 + 2);
  EXPECT_EQ(G(1).Width, 20 + 4 + 4 + 3) << "italic adds a fifth";
  EXPECT_EQ(G(1).Height, 20 + 4 + 3);
  EXPECT_EQ(G(2).Height, 12 + 6 + 2 + 2) << "ruby adds half the size";
  EXPECT_EQ(w.Width, 16 + 31 + 16) << "no text width: the widest row";
}

TEST_F(Layout, MixedSizesShareABottomLine) {
  Lay("あ<FONT SIZE=24>い</FONT>う", 0);
  ASSERT_EQ(pages[0]->Rows.size(), 1u);
  EXPECT_EQ(pages[0]->Rows[0]->Height, 24);
  for (int32_t i : {0, 1, 2}) EXPECT_EQ(G(i).Y + G(i).Height, 24) << i;
  EXPECT_EQ(G(0).Y, 12);
  EXPECT_EQ(G(1).X, 12);
  EXPECT_EQ(G(2).X, 36);
}

TEST_F(Layout, InlineImagesExtendTheRowAroundTheText) {
  w.ImageSize = [](const std::string& source) { return std::pair<int32_t, int32_t>{10, std::stoi(source)}; };
  Lay("あ<IMG SRC=30>", 0);
  EXPECT_EQ(pages[0]->Rows[0]->Height, 30);
  EXPECT_EQ(G(0).Y, 18) << "a bottom image rises above the text";
  Lay("あ<IMG SRC=30 ALIGN=TOP>", 0);
  EXPECT_EQ(G(0).Y, 0);
  EXPECT_EQ(G(1).Y, 0) << "a top image hangs below it";
  Lay("あ<IMG SRC=31 ALIGN=CENTER>", 0);
  EXPECT_EQ(pages[0]->Rows[0]->Height, 32);
  EXPECT_EQ(G(0).Y, 10);
  EXPECT_EQ(G(1).Y, 1);
  w.ImageSize = nullptr;
  Lay("<IMG SRC=5>あ", 0);
  EXPECT_EQ(G(0).Width, 0) << "no picture: no size";
}

TEST_F(Layout, AlignmentPlacesTheRowInItsSpan) {
  Lay("<DIV ALIGN=CENTER>あい</DIV><BR>う", 121);
  EXPECT_EQ(G(1).X, 48) << "(121 - 24) / 2 toward zero";
  EXPECT_EQ(G(5).X, 0);
  Lay("<EVENT VALUE=e><DIV ALIGN=RIGHT>あ", 120);
  EXPECT_EQ(G(2).X, 108) << "an alignment before any text changes the row";
  Lay("<DIV ALIGN=RIGHT>あい<BR>う", 120);
  EXPECT_EQ(G(1).X, 96);
  EXPECT_EQ(G(4).X, 108);
  Lay("あいう<BR><DIV ALIGN=RIGHT>え", 0);
  EXPECT_EQ(w.Width, 36);
  EXPECT_EQ(G(5).X, 24) << "right of the width the layout found";
}

TEST_F(Layout, LineBreaksAndClear) {
  w.LineSpacing = 2;
  Lay("あ<BR><BR>い", 0);
  EXPECT_EQ(G(3).Y, 28) << "an empty line is one plain cell high";
  EXPECT_EQ(pages[0]->Height, 40);
  Lay("あ<BR CLEAR>い<CLEAR>", 0);
  EXPECT_EQ(Shape(), "あ/|い/|") << "no empty page after the last clear";
  EXPECT_EQ(G(2).Y, 0);
  EXPECT_EQ(G(2).Row, pages[1]->Rows[0].get());
}

TEST_F(Layout, PagingMovesARowThatEndsBelowTheVisibleHeight) {
  w.VisibleHeight = 30;
  Lay("あいうえおか", 24);
  EXPECT_EQ(Shape(), "あい/うえ/|おか/|");
  EXPECT_EQ(G(4).Y, 0);
  EXPECT_EQ(pages[0]->Height, 24);
  Lay("あいうえお<DIV ALIGN=RIGHT>かき<DIV ALIGN=LEFT><FONT SIZE=24>く", 60);
  EXPECT_EQ(Shape(), "あいうえお/|かきく/|") << "the taller row moves";
  EXPECT_EQ(G(6).X, 12) << "with the alignment it started with";
  Lay("あい<INDENT>うえおか<UNDENT><FONT SIZE=24>き", 60);
  EXPECT_EQ(Shape(), "あいうえお/|_かき/|") << "and its indent";
  w.Paging = false;
  Lay("あいうえおか", 24);
  EXPECT_EQ(Shape(), "あい/うえ/おか/|");
  EXPECT_EQ(pages[0]->Rows[2]->Top, 24);
}

TEST_F(Layout, DegenerateAreasStillFinish) {
  Lay("<NOBR>あいうえおか</NOBR><INDENT>きくけ", 36);
  EXPECT_EQ(Shape(), "あいうえおか/_き/_く/_け/|") << "an indent wider than the row";
  w.VisibleHeight = 0;
  Lay("あいう<BR>ab", 1);
  EXPECT_EQ(pages.size(), 4u);
  EXPECT_EQ(Shape(), "あ/|い/|う/|ab/|");
}

TEST_F(Layout, FloatingImagesNarrowTheRows) {
  w.ImageSize = [](const std::string&) { return std::pair<int32_t, int32_t>{30, 20}; };
  w.SetMarkup("");
  for (uint8_t align : {taLeft, taRight}) {
    auto img = NewGlyph<TWdImg>(w);
    img->Align = align;
    w.Add(std::move(img));
  }
  for (int i = 0; i < 3; ++i) w.Add(NewGlyph<TWdChar>(w, uint16_t(0x82A0), w.Decorations().Acquire({})));
  w.Width = 84;
  LayoutGlyphs(w, pages);
  EXPECT_EQ(Shape(), "**ああ/あ/|") << "24 px between the floats";
  EXPECT_EQ(G(0).X, 0);
  EXPECT_EQ(G(1).X, 54);
  EXPECT_EQ(G(3).X, 42);
  EXPECT_EQ(G(4).X, 30);
  EXPECT_EQ(G(4).Y, 12);
  EXPECT_EQ(pages[0]->Height, 24);
  pages.clear();
  w.Width = 0;
  LayoutGlyphs(w, pages);
  EXPECT_EQ(w.Width, 96) << "room for both floats and the row between";
  EXPECT_EQ(G(1).X, 66);
}

TEST_F(Layout, ALaterRangeStartsFresh) {
  Lay("あい<BR>うえ", 0);
  TWdPages more;
  LayoutGlyphs(w, more, 3);
  EXPECT_EQ(G(3).Row, more[0]->Rows[0].get());
  EXPECT_EQ(G(3).X, 0);
  EXPECT_EQ(G(3).Y, 0);
  EXPECT_EQ(G(0).Row, pages[0]->Rows[0].get()) << "glyphs before the range keep theirs";
  LayoutGlyphs(w, more, 0, 1);
  EXPECT_EQ(more.size(), 2u) << "pages are appended";
  EXPECT_EQ(G(2).Row, pages[0]->Rows[0].get());
}

}  // namespace
}  // namespace kest
