#include <gtest/gtest.h>

#include <map>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/build_kest_parser.h"
#include "language/kest_parser.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"
#include "text/markup_tokenizer.h"
#include "text/tp_word.h"
#include "text/var_evaluator.h"

namespace kest {
namespace {

// The glyphs as text: characters as themselves (CP932), others in brackets.
std::string Shape(const TTpWord& w) {
  std::string out;
  for (int32_t i = 0; i < w.Count(); ++i) {
    const TWdGlyph* g = w.Glyph(i);
    switch (g->Kind()) {
      case TGlyphKind::Char:
      case TGlyphKind::VarChar: {
        const uint16_t c = static_cast<const TWdChar*>(g)->CharCode;
        if (c > 0xFF) out += char(c >> 8);
        out += char(c & 0xFF);
        break;
      }
      case TGlyphKind::Return:
      case TGlyphKind::VarReturn: out += static_cast<const TWdOpeReturn*>(g)->Clear ? "[CLR]" : "[BR]"; break;
      case TGlyphKind::Align: out += "[AL" + std::to_string(static_cast<const TWdOpeAlign*>(g)->Align) + "]"; break;
      case TGlyphKind::Img: out += "[IMG" + std::to_string(static_cast<const TWdImg*>(g)->Align) + "]"; break;
      default: out += "[" + std::to_string(g->Code()) + "]"; break;
    }
  }
  return out;
}

const TDecorate& DecorationOf(const TTpWord& w, int32_t i) { return *static_cast<TWdChar*>(w.Glyph(i))->Decoration(); }

TEST(Markup, EscapesSpacesAndLineBreaks) {
  TTpWord w;
  w.SetMarkup("a\\<B>b\\\\c  d");
  EXPECT_EQ(Shape(w), "a<B>b\\c d");
  EXPECT_EQ(DecorationOf(w, 4).Style, 0) << "an escaped bracket opens no tag";
  w.SetMarkup(std::vector<std::string>{"one", "two"});
  EXPECT_EQ(Shape(w), "one two");
  w.SetMarkup(std::vector<std::string>{"<PRE>", "a", "b\tc</PRE>"});
  EXPECT_EQ(Shape(w), "a[BR]b        c");
  w.SetMarkup("say \"<B>\" x");
  EXPECT_EQ(Shape(w), "say \"<B>\" x") << "markup between quotes is text";
}

TEST(Markup, DoubleByteCharactersAreNeverSplit) {
  // ソ and 表 end in 0x5C, the backslash.
  const std::string so = Utf8ToCp932("ソ");
  const std::string hyo = Utf8ToCp932("表");
  TTpWord w;
  w.SetMarkup(so + "<B>x</B>");
  ASSERT_EQ(w.Count(), 2);
  EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(0))->CharCode, 0x835C);
  EXPECT_EQ(DecorationOf(w, 0).Style, 0);
  EXPECT_EQ(DecorationOf(w, 1).Style, kStyleBold);
  w.SetMarkup(hyo + "\\<" + so + "\"a");
  EXPECT_EQ(Shape(w), hyo + "<" + so + "\"a");
  EXPECT_EQ(TokenizeMarkup(so + "</FONT>").Strings(), (std::vector<std::string>{so, "</FONT>"}));
}

TEST(Markup, CommentsAndBlocksHideTheirTags) {
  TTpWord w;
  w.SetMarkup("<!-- <B> -->x<SCRIPT>y</script>z");
  EXPECT_EQ(Shape(w), "xz");
  EXPECT_EQ(DecorationOf(w, 0).Style, 0);
}

TEST(Markup, FontAttributesAndTheirDefaults) {
  TTpWord w;
  w.SetMarkup(
      "<FONT COLOR=#FF0000 BORDER SHADOW=-3 SIZE=20>a<FONT COLOR=red SIZE=x BCOLOR=\"#00FF80\">b</FONT>c"
      "</FONT></FONT>d");
  const TDecorate& a = DecorationOf(w, 0);
  EXPECT_EQ(a.FontColor, 0x0000FF);
  EXPECT_EQ(a.BorderWidth, 1);
  EXPECT_EQ(a.ShadowOffset, 0);
  EXPECT_EQ(a.FontSize, 20);
  const TDecorate& b = DecorationOf(w, 1);
  EXPECT_EQ(b.FontColor, 0x0000FF) << "a colour that is no #RRGGBB keeps the current one";
  EXPECT_EQ(b.FontSize, 20);
  EXPECT_EQ(b.BorderColor, 0x80FF00);
  EXPECT_EQ(&DecorationOf(w, 2), &a) << "equal decorations are one record";
  EXPECT_EQ(a.RefCount, 2);
  const TDecorate& d = DecorationOf(w, 3);
  EXPECT_EQ(d, TDecorateValues{}) << "popping an empty stack leaves the defaults";
}

TEST(Markup, AlignmentsBreaksAndOperations) {
  TTpWord w;
  w.SetMarkup(
      "<DIV ALIGN=TOP>a<DIV ALIGN=center>b</DIV></DIV></DIV><IMG SRC=p.pxa ALIGN=LEFT><IMG ALIGN=TOP>"
      "<BR><BR CLEAR><CLEAR><INDENT><UNDENT><EVENT VALUE=go\\\"x END><VAR NAME=n><HISTCHAR VALUE=h>"
      "<VAR><unknown>");
  EXPECT_EQ(Shape(w), "[AL1]a[AL3]b[AL1][AL1][AL1][IMG5][BR][CLR][CLR][4][5][6][7][10]");
  const auto* event = static_cast<TWdOpeEvent*>(w.Glyph(13));
  EXPECT_EQ(event->Value, "go\"x");
  EXPECT_TRUE(event->End);
}

TEST(Markup, LinksWaitsAndTheMissingHref) {
  TTpWord w;
  w.TextDelay = 30;
  w.SetMarkup("<A HREF=\"a\\nb\">x</A><WAIT VALUE=5>y</WAIT>z");
  EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(0))->Link, "a\r\nb");
  EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(0))->Wait, 30);
  EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(1))->Wait, 5);
  EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(2))->Wait, 30);
  EXPECT_TRUE(static_cast<TWdChar*>(w.Glyph(2))->Link.empty());
  try {
    w.SetMarkup("ab<A>c");
    FAIL();
  } catch (const EKestError& e) {
    EXPECT_EQ(Cp932ToUtf8(e.what()), "<A>タグにHREF値がありません");
  }
  EXPECT_EQ(Shape(w), "ab") << "what was parsed before stays";
}

class TFakeEvaluator : public IVarEvaluator {
 public:
  std::map<std::string, std::string> Values;
  int Calls = 0;
  std::optional<std::string> EvaluateText(std::string_view text) override {
    ++Calls;
    auto it = Values.find(std::string(text));
    if (it == Values.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::string> EvaluateCompiled(TKestParser&) override { return std::nullopt; }
};

TEST(Markup, VariablesExpandAndComeOutAgain) {
  TFakeEvaluator eval;
  eval.Values = {{"name", "Bob"},
                 {"h", "H"},
                 {"two",
                  "a\r\n\x02"
                  "b"}};
  TTpWord w;
  w.SetMarkup("<B>[<VAR NAME=\" name \">]</B><HISTCHAR VALUE=h><VAR NAME=two><VAR NAME=bad>");
  w.ExpandVariables(0, w.Count() - 1, false, eval);
  EXPECT_EQ(Shape(w), "[[7]Bob][10][7]a[BR]b[7]") << "history glyphs wait for the history";
  EXPECT_EQ(DecorationOf(w, 2).Style, kStyleBold);
  EXPECT_EQ(static_cast<TWdVarChar*>(w.Glyph(2))->Producer, w.Glyph(1));
  w.RemoveExpansions(0, w.Count() - 1);
  EXPECT_EQ(Shape(w), "[[7]][10][7][7]");
  EXPECT_EQ(DecorationOf(w, 0).RefCount, 3) << "what the expansion held is given back";

  std::vector<std::string> saved;
  w.ExpandVariables(0, w.Count() - 1, true, eval);
  EXPECT_EQ(Shape(w), "[[7]Bob][10]H[7]a[BR]b[7]");
  w.SaveVarValues(0, w.Count() - 1, saved);
  EXPECT_EQ(saved, (std::vector<std::string>{" name =Bob", "h=H",
                                             "two=a\x01\x02"
                                             "b"}));

  // A history shows the saved values again instead of evaluating.
  TTpWord history;
  history.CopyGlyphs(w, 0, w.Count() - 1);
  history.RemoveExpansions(0, history.Count() - 1);
  history.VarValues() = {"two=x\x01y"};
  eval.Calls = 0;
  history.ExpandVariables(0, history.Count() - 1, true, eval);
  EXPECT_EQ(Shape(history).substr(Shape(history).find("[7]x")), "[7]x[BR]y[7]");
  EXPECT_EQ(eval.Calls, 3) << "name, h and bad are evaluated; two is saved";
}

TEST(Markup, TheGamesVariablesGiveTheValues) {
  TParamCollection store;
  TSysFuncMan funcs;
  store.CreateVar("n", PT_INT, PS_GLOBAL).Item->Value()->SetAsInt(21);
  TStoreVarEvaluator eval(store, funcs);
  TTpWord w;
  w.SetMarkup("<VAR NAME=\"n * 2\">/<VAR NAME=\"n +\">/<VAR NAME=missing>");
  w.ExpandVariables(0, w.Count() - 1, false, eval);
  EXPECT_EQ(Shape(w), "[7]42/[7]/[7]") << "what does not build or run inserts nothing";
  TKestParser compiled = TBuildKestParser::Compile("n - 1");
  EXPECT_EQ(eval.EvaluateCompiled(compiled), "20");
}

}  // namespace
}  // namespace kest
