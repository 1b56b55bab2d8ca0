// Story text: the text line compiles markup into the glyph stream the player
// reads, markup written from stored glyphs parses back to the same glyphs,
// and the dumper writes a text line only where that holds.
#include "common/stream.h"
#include "kestc/story_text.h"
#include "kestc_test_util.h"
#include "text/glyph_stream.h"
#include "text/markup_writer.h"
#include "text/tp_word.h"

namespace kest::test {
using namespace kest::kestc;
namespace {

std::string StreamOf(const TTpWord& word) {
  TByteStream out;
  WriteGlyphStream(out, word);
  const std::vector<uint8_t> bytes = out.TakeBytes();
  return {bytes.begin(), bytes.end()};
}

std::string StreamOfMarkup(std::string_view utf8, int32_t delay = kCompileTextDelay) {
  TTpWord word;
  word.TextDelay = delay;
  word.SetMarkup(Utf8ToCp932(utf8));
  return StreamOf(word);
}

TEST(TextLine, CompilesItsMarkupAndFields) {
  const TCompiled c = CompileOne(
      "text \"mes\": 春は<B>あけぼの</B>。\n"
      "text (w ++ \"1\") history wait=(n > 1) BLOCK:  前に空白\n"
      "!textins text=markup:\"<I>\\\"x\\\"</I>\" window=\"mes\"\n"
      "text raw:00000000:\n");
  ASSERT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  EXPECT_EQ(c.At(0).GetCommandId(), ciTextIns);
  EXPECT_EQ(c.At(0).At(kTextInsText), StreamOfMarkup("春は<B>あけぼの</B>。"));
  EXPECT_EQ(Bytes(c.At(0).At(kTextInsWindow)), Expr("\"mes\""));
  EXPECT_EQ(Bytes(c.At(0).At(kTextInsHistory)), Empty());
  EXPECT_EQ(Bytes(c.At(0).At(kTextInsBlock)), Empty());
  EXPECT_EQ(c.At(1).At(kTextInsText), StreamOfMarkup(" 前に空白")) << "one blank after the colon is eaten";
  EXPECT_EQ(Bytes(c.At(1).At(kTextInsWindow)), Expr("w ++ \"1\""));
  EXPECT_EQ(Bytes(c.At(1).At(kTextInsHistory)), Expr("TRUE"));
  EXPECT_EQ(Bytes(c.At(1).At(kTextInsWait)), Expr("n > 1"));
  EXPECT_EQ(Bytes(c.At(1).At(kTextInsBlock)), Expr("TRUE"));
  EXPECT_EQ(c.At(2).At(kTextInsText), StreamOfMarkup("<I>\"x\"</I>"));
  EXPECT_EQ(c.At(3).At(kTextInsText), StreamOfMarkup("")) << "raw: keeps its own colon";
}

TEST(TextLine, ReportsMistakesWhereTheyAre) {
  const std::pair<std::string, std::string> cases[] = {
      {"text \"mes\": あ<A>い</A>", "start.kst:1:14: <A>タグにHREF値がありません"},
      {"text \"mes\" history", "start.kst:1:19: expected : and the markup: text \"mes\": MARKUP"},
      {"text : x", "start.kst:1:6: text needs a window: text \"mes\": MARKUP"},
      {"text \"mes\" slow: x", "start.kst:1:12: expected history, wait, block or the : before the markup"},
      {"text \"mes\" wait wait: x", "start.kst:1:17: wait is given twice"},
      {"text \"mes\": a€", "start.kst:1:14: the character € has no Shift-JIS form"},
      {"@version 106\ntext \"mes\" block: x",
       "start.kst:2:12: block needs @version 107 or later (this page is version 106)"},
  };
  for (const auto& [source, message] : cases) EXPECT_EQ(CompileOne(source).FirstError(), message) << source;
}

// The glyphs of markup, written as markup and parsed again, give the same
// stream; the written markup stays on one line.
void ExpectMarkupRoundTrip(std::string_view utf8, int32_t delay = kCompileTextDelay) {
  TTpWord word;
  word.TextDelay = delay;
  word.SetMarkup(Utf8ToCp932(utf8));
  const std::optional<std::string> markup = WriteMarkup(word);
  ASSERT_TRUE(markup) << utf8;
  EXPECT_EQ(markup->find_first_of("\r\n"), std::string::npos) << utf8;
  TTpWord again;
  again.TextDelay = delay;
  again.SetMarkup(*markup);
  EXPECT_EQ(StreamOf(again), StreamOf(word)) << utf8 << "\n -> " << Cp932ToUtf8(*markup);
}

TEST(WriteMarkup, GivesBackTheGlyphsOfVariedMarkup) {
  const char* const samples[] = {
      "",
      "plain text",
      "ソ表示\\\\ \\<tag\\> \\\"q\\\" \\% \\{x\\}",
      "two  spaces, <B> </B> and a trailing one ",
      " leading and <BR> around a break <BR CLEAR> ",
      "<FONT SIZE=20 COLOR=#FF8000>大<FONT NAME='ＭＳ 明朝' BCOLOR=#000001 BORDER=2>字</FONT>中</FONT>小",
      "<FONT SCOLOR=#FFFFFF SHADOW=0 SIZE=-3>影</FONT><FONT BORDER=-4 SIZE=0>縁</FONT>",
      "<B>b<I>bi<U>biu<S>bius</B>ius</I>us</U>s</S>",
      "<NOBR>離さない</NOBR><RUBY VALUE=\"かん\">漢</RUBY><RUBY VALUE='じ'>字</RUBY>",
      "<A HREF=\"page.kst:top\">link</A><A HREF='a \\\"q\\\" \\\\ \\n'>quotes</A><A HREF=x\\\\n>back</A>",
      "<WAIT VALUE=100>slow<WAIT VALUE=0>fast</WAIT></WAIT>normal<WAIT VALUE=-7>odd",
      "<DIV ALIGN=CENTER>中<DIV ALIGN=RIGHT>右</DIV><BR></DIV>左<DIV>l</DIV></DIV></DIV>",
      "<DIV ALIGN=CENTER>中<BR><DIV ALIGN=LEFT>左",
      "<IMG SRC=\"face 1.png\" ALIGN=TOP><A HREF=x><IMG SRC=a.png ALIGN=CENTER></A><IMG SRC=b.png>",
      "<VAR NAME=\"score * 2\"><B><HISTCHAR VALUE=name></B><WAIT VALUE=9><VAR NAME=\"'a\\\"'\"></WAIT>",
      "<EVENT VALUE=\"go\"><EVENT VALUE='a\\\"b\\nc' END><EVENT VALUE=\"\" END><INDENT>x<UNDENT>",
      "<FONT COLOR=#123456><B>太</B></FONT><BR><FONT COLOR=#123456>同じ</FONT>",
  };
  for (const char* sample : samples) ExpectMarkupRoundTrip(sample);
  ExpectMarkupRoundTrip("<WAIT VALUE=50>wait of the compiler</WAIT>", 30);
}

TEST(WriteMarkup, RefusesGlyphsNoMarkupGives) {
  auto refused = [](auto&& change) {
    TTpWord word;
    word.SetMarkup("<B>a</B><FONT COLOR=#010203>b</FONT><VAR NAME=v><DIV ALIGN=RIGHT><IMG SRC=i.png>");
    change(word);
    return !WriteMarkup(word).has_value();
  };
  auto at = [](TTpWord & w, int32_t i) -> auto& { return *w.Glyph(i); };
  EXPECT_FALSE(refused([](TTpWord&) {})) << "the sample itself is written";
  EXPECT_TRUE(refused([&](TTpWord& w) { static_cast<TWdChar&>(at(w, 0)).CharCode = 0x0D; }));
  EXPECT_TRUE(refused([&](TTpWord& w) { static_cast<TWdChar&>(at(w, 0)).CharCode = 0x81; })) << "a lone lead byte";
  EXPECT_TRUE(refused([&](TTpWord& w) { w.Decorations().At(1)->FontColor = 0x01000000; }));
  EXPECT_TRUE(refused([&](TTpWord& w) { w.Decorations().At(1)->BorderWidth = -2; }));
  EXPECT_TRUE(refused([&](TTpWord& w) { w.Decorations().At(0)->Style = 16; }));
  EXPECT_TRUE(refused([&](TTpWord& w) { static_cast<TWdOpeVar&>(at(w, 2)).Expression.clear(); }));
  EXPECT_TRUE(refused([&](TTpWord& w) { static_cast<TWdOpeAlign&>(at(w, 3)).Align = taTop; }));
  EXPECT_TRUE(refused([&](TTpWord& w) { static_cast<TWdImg&>(at(w, 4)).Align = taLeft; }));
  EXPECT_TRUE(refused([&](TTpWord& w) { static_cast<TWdImg&>(at(w, 4)).Link = "a\nb"; }));
  EXPECT_TRUE(refused([&](TTpWord& w) { w.Decorations().Append(TDecorateValues{}); })) << "a record no glyph uses";
  EXPECT_TRUE(refused([&](TTpWord& w) {
    static_cast<TWdChar&>(at(w, 1)).ChangeDecoration(*w.Decorations().At(0));
    static_cast<TWdChar&>(at(w, 0)).ChangeDecoration(TDecorateValues{});
  })) << "records out of the order a parse makes";
}

// A page holding a text-insertion command with these data and window.
std::unique_ptr<TPage> TextPage(const std::string& data, std::string_view window) {
  TCompiled c = CompileOne("textins window=" + std::string(window) + "\n");
  c.At(0).At(kTextInsText) = data;
  return std::move(c.Pages.front().Page);
}

TEST(DumpText, WritesTheTextLineOnlyWhereItComesBack) {
  const std::string markup = "ソ<RUBY VALUE=\"ひょう\">表</RUBY> <_> <A HREF='a \\\"b\\\"'>x</A>";
  const std::string stream = StreamOfMarkup(markup);
  TTpWord odd;
  odd.SetMarkup("ab");
  static_cast<TWdChar*>(odd.Glyph(1))->CharCode = 0x01;
  const std::pair<std::unique_ptr<TPage>, std::string> cases[] = {
      {TextPage(stream, "\"mes\""), "text \"mes\": " + markup + "\n"},
      {TextPage(StreamOfMarkup(""), "(a ++ b)"), "text (a ++ b):\n"},
      {TextPage(stream, "()"), "textins text=hex:"},
      {TextPage(StreamOf(odd), "\"mes\""), "textins text=hex:"},
      {TextPage(stream + "x", "\"mes\""), "textins text=hex:"},
      {TextPage(StreamOfMarkup("x", 40), "\"mes\""), "text \"mes\": <WAIT VALUE=40>x</WAIT>\n"},
      {TextPage(StreamOfMarkup("end "), "\"mes\""), "text \"mes\": end <_>\n"},
  };
  for (const auto& [page, start] : cases) {
    const std::string text = ExpectRoundTrip(*page, "start.ksb");
    EXPECT_TRUE(text.starts_with(start)) << text;
  }
}

}  // namespace
}  // namespace kest::test
