// The friendly forms compile to the commands and fields the player runs:
// loop layouts and their pcs, explicit TRUE conditions, references between
// pages, masks, version gates, directives and modifiers.
#include "kestc_test_util.h"
#include "scene/property_table.h"

namespace kest::test {
using namespace kest::kestc;
namespace {

TEST(LoopLayout, ForIsInitWhileBodyAndLoop) {
  const TCompiled c = CompileOne(
      "var int i = 0\n"
      "for i = 0; i < 3; i = i + 1\n"
      "    calc x = i\n"
      "calc y = 1\n");
  ASSERT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  EXPECT_EQ(Ids(c.Page()), (std::vector<uint8_t>{ciVarNew, ciWhileInit, ciWhile, ciCalc, ciWhileLoop, ciCalc}));
  EXPECT_EQ(Bytes(c.At(1).Field("init").Expr), Expr("i = 0"));
  EXPECT_EQ(Bytes(c.At(2).Field("cond").Expr), Expr("i < 3"));
  EXPECT_EQ(c.At(2).Field("exit").Int, 5) << "the command after the WhileLoop";
  EXPECT_EQ(Bytes(c.At(4).Field("step").Expr), Expr("i = i + 1"));
  EXPECT_EQ(c.At(4).Field("loop").Int, 2) << "back to the While";
  const int32_t indents[] = {0, 0, 0, 1, 0, 0};
  const int32_t lines[] = {1, 2, 2, 3, 2, 4};
  for (int32_t k = 0; k < 6; ++k) {
    EXPECT_EQ(c.At(k).Indent, indents[k]) << k;
    EXPECT_EQ(c.At(k).Line, lines[k]) << k;
  }
}

TEST(LoopLayout, WhileHasNoInitOrStepAndALoopMayEndThePage) {
  const TCompiled c = CompileOne("while n < 3\n\tcalc n = n + 1\n");
  ASSERT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  EXPECT_EQ(Ids(c.Page()), (std::vector<uint8_t>{ciWhileInit, ciWhile, ciCalc, ciWhileLoop}));
  EXPECT_EQ(Bytes(c.At(0).Field("init").Expr), Empty());
  EXPECT_EQ(Bytes(c.At(3).Field("step").Expr), Empty());
  EXPECT_EQ(c.At(1).Field("exit").Int, 4) << "past the last command";
  EXPECT_EQ(c.At(2).Indent, 1) << "a tab is one level";
}

TEST(LoopLayout, BreakAndContinueTargetTheInnermostLoop) {
  const TCompiled c = CompileOne(
      "for i = 0; i < 9; i = i + 1\n"  // 0 1
      "  break if i == 7\n"            // 2
      "  while TRUE\n"                 // 3 4
      "    if j == 2\n"                // 5
      "      continue\n"               // 6
      "    break\n"                    // 7
      "                                 \n"
      "  continue if i == 1\n"  // 8 WhileLoop, 9
      "calc done = 1\n");       // 10 WhileLoop, 11
  ASSERT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  EXPECT_EQ(Ids(c.Page()), (std::vector<uint8_t>{ciWhileInit, ciWhile, ciBreak, ciWhileInit, ciWhile, ciIf, ciContinue,
                                                 ciBreak, ciWhileLoop, ciContinue, ciWhileLoop, ciCalc}));
  EXPECT_EQ(c.At(1).Field("exit").Int, 11);
  EXPECT_EQ(c.At(4).Field("exit").Int, 9);
  EXPECT_EQ(c.At(8).Field("loop").Int, 4);
  EXPECT_EQ(c.At(10).Field("loop").Int, 1);
  EXPECT_EQ(c.At(2).Field("target").Int, 11) << "outer break: after the outer WhileLoop";
  EXPECT_EQ(c.At(6).Field("target").Int, 8) << "inner continue: the inner WhileLoop";
  EXPECT_EQ(c.At(7).Field("target").Int, 9) << "inner break";
  EXPECT_EQ(c.At(9).Field("target").Int, 10) << "outer continue";
  EXPECT_EQ(c.At(8).Indent, 1);
  EXPECT_EQ(c.At(8).Line, 3);
}

TEST(Conditions, UnconditionalFlowCarriesTrueAndWaitStaysEmpty) {
  const TCompiled c = CompileOne(
      "label top\n"
      "jump :top\n"
      "jump :top if a == 1\n"
      "call :top\n"
      "exit\n"
      "exit if b\n"
      "while TRUE\n"
      "    break\n"
      "    continue\n"
      "wait 100\n");
  ASSERT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  const std::vector<uint8_t> yes = Expr("TRUE");
  EXPECT_EQ(Bytes(c.At(1).Field("cond").Expr), yes);
  EXPECT_EQ(Bytes(c.At(2).Field("cond").Expr), Expr("a == 1"));
  EXPECT_EQ(Bytes(c.At(3).Field("cond").Expr), yes);
  EXPECT_EQ(Bytes(c.At(4).Field("cond").Expr), yes);
  EXPECT_EQ(Bytes(c.At(5).Field("cond").Expr), Expr("b"));
  EXPECT_EQ(Bytes(c.At(8).Field("cond").Expr), yes);
  EXPECT_EQ(Bytes(c.At(9).Field("cond").Expr), yes);
  EXPECT_EQ(Bytes(c.At(11).Field("cond").Expr), Empty()) << "an empty wait condition waits";
  EXPECT_EQ(Bytes(c.At(11).Field("time").Expr), Expr("100"));
  EXPECT_EQ(Bytes(c.At(11).Field("block").Expr), Empty());
}

TEST(References, JumpsAndCallsCarryTheTargetPageAndPc) {
  const TCompiled c = Compile({
      {"start",
       "jump other:there\n"
       "call sub/menu:top(1, \"a b\", x + 1) -> r if ok\n"
       "jump other\n"
       "label here\n"
       "jump :here\n"
       "jump \"elsewhere.ksb\"@7\n"
       "call \"lib.ksb\"(2)\n"},
      {"other", "calc a = 1\ncalc b = 2\nlabel there\n!label name=there\n"},
      {"sub/menu", "calc a = 1\nlabel top\n"},
  });
  ASSERT_TRUE(c.Errors.Empty()) << c.FirstError();
  EXPECT_EQ(c.At(0).Field("page").Text, "other.ksb");
  EXPECT_EQ(c.At(0).Field("pc").Int, 2) << "the first label of that name";
  TCommand& call = c.At(1);
  EXPECT_EQ(call.Field("page").Text, "sub\\menu.ksb");
  EXPECT_EQ(call.Field("pc").Int, 1);
  EXPECT_EQ(call.Field("result").Text, "r");
  EXPECT_EQ(Bytes(call.Field("cond").Expr), Expr("ok"));
  ASSERT_EQ(call.Field("args").List.size(), 3u);
  EXPECT_EQ(Bytes(call.Field("args").List[1]), Expr("\"a b\""));
  EXPECT_EQ(Bytes(call.Field("args").List[2]), Expr("x + 1"));
  EXPECT_EQ(c.At(2).Field("pc").Int, 0) << "a page alone starts at its first command";
  EXPECT_EQ(c.At(4).Field("page").Text, "start.ksb");
  EXPECT_EQ(c.At(4).Field("pc").Int, 3);
  EXPECT_EQ(c.At(5).Field("page").Text, "elsewhere.ksb") << "a quoted page is taken as it is";
  EXPECT_EQ(c.At(5).Field("pc").Int, 7);
  EXPECT_EQ(c.At(6).Field("pc").Int, 0);
}

TEST(References, GenericPageFieldsResolveAndVersionGatesThePc) {
  const TCompiled c = Compile({
      {"start",
       "label top\npcreset page=other:two flag=1\ngamesave slot=1 page=:top title=\"t\"\nreset page=\"x.ksb\" pc=4\n"},
      {"other", "label one\nlabel two\n"},
      {"old", "@version 104\ngamesave slot=1 page=other\n"},
  });
  ASSERT_TRUE(c.Errors.Empty()) << c.FirstError();
  EXPECT_EQ(c.At(1).Field("page").Text, "other.ksb");
  EXPECT_EQ(c.At(1).Field("pc").Int, 1);
  EXPECT_EQ(c.At(1).Field("flag").Int, 1);
  EXPECT_EQ(c.At(2).Field("page").Text, "start.ksb");
  EXPECT_EQ(c.At(3).Field("pc").Int, 4);
  EXPECT_EQ(c.At(0, 2).Field("page").Text, "other.ksb");
  EXPECT_EQ(Compile({{"start", "@version 104\nlabel a\ngamesave page=:a\n"}}).FirstError(),
            "start.kst:3:15: a page of version 104 stores no pc here: refer to the page without a label");
  EXPECT_EQ(Compile({{"start", "label a\nreset page=:a pc=3\n"}}).FirstError(),
            "start.kst:2:15: the pc comes from the page reference: leave pc= out, or quote the page name");
}

TEST(Masks, AreTheUnionOfThePropertiesEachCommandIdUses) {
  const TCompiled c = CompileOne(
      "boxnew name=\"a\" left=1\n"
      "BOXNEW Name=\"b\" PR_TOP=2 width=()\n"
      "imgnew source=\"bg.png\"\n"
      "savecabinet name=\"c\" invert=TRUE names=(\"a\")\n");
  ASSERT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  const TPage& page = c.Page();
  for (int32_t p = 0; p < kPropertyCount; ++p) {
    const bool box = p == 0 || p == 3 || p == 4 || p == 5;
    EXPECT_EQ(page.HasProperty(ciBoxNew, p), box) << p;
    EXPECT_EQ(page.HasProperty(ciImgNew, p), p == 2) << p;
    EXPECT_EQ(page.HasProperty(ciSaveCabinet, p), p == 0) << p;
    EXPECT_FALSE(page.HasProperty(ciMesNew, p)) << p;
  }
  EXPECT_EQ(Bytes(c.At(3).Field("invert").Expr), Expr("TRUE"));
  // The slots a command left out are stored as empty expressions.
  const auto back = Reloaded(page, "start.ksb");
  const auto& first = back->Commands().Items(0)->Fields()[0].Props;
  ASSERT_TRUE(first[4] && first[5]);
  EXPECT_EQ(Bytes(*first[4]), Empty());
  EXPECT_EQ(Bytes(*first[3]), Expr("1"));
  EXPECT_EQ(Bytes(*back->Commands().Items(1)->Fields()[0].Props[4]), Expr("2"));
}

TEST(Versions, LaterFieldsAreRefusedBeforeTheirVersionAndLeftOutOfTheRecord) {
  EXPECT_EQ(CompileOne("@version 106\nwait 10 block\n").FirstError(),
            "start.kst:2:9: block needs @version 107 or later (this page is version 106)");
  EXPECT_EQ(CompileOne("@version 110\ncallhist window=\"m\" history=1\n").FirstError(),
            "start.kst:2:21: history needs @version 111 or later (this page is version 110)");
  const TCompiled old = CompileOne("@version 106\n!wait time=10\n");
  const TCompiled now = CompileOne("@version 107\n!wait time=10\n");
  ASSERT_TRUE(old.Errors.Empty() && now.Errors.Empty());
  EXPECT_EQ(old.Page().Version, 106);
  EXPECT_EQ(PageBytes(now.Page()).size() - PageBytes(old.Page()).size(), Empty().size())
      << "the 107 page alone stores the empty block expression";
  EXPECT_EQ(CompileOne("calc a = 1\n").Page().Version, 116);
}

TEST(Header, DirectivesModifiersLinesAndIndents) {
  const TCompiled c = CompileOne(
      "# a comment line is no command\n"
      "@version 110\n"
      "@result string\n"
      "calc a = 1\n"
      "@continue off\n"
      "if a\n"
      "   [skip continue=on line=99 indent=7] calc b = 2\n"
      "   calc c = 3\n"
      "@mask MesNew 010000000000000000000000000000000000000080\n");
  ASSERT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  EXPECT_EQ(c.Page().Version, 110);
  EXPECT_EQ(c.Page().ResultKind, 4);
  EXPECT_TRUE(c.At(0).Continue);
  EXPECT_FALSE(c.At(1).Continue);
  EXPECT_EQ(c.At(1).Line, 6);
  TCommand& b = c.At(2);
  EXPECT_TRUE(b.Skipped);
  EXPECT_TRUE(b.Continue);
  EXPECT_EQ(b.Line, 99);
  EXPECT_EQ(b.Indent, 7);
  EXPECT_FALSE(c.At(3).Skipped);
  EXPECT_EQ(c.At(3).Indent, 1);
  EXPECT_TRUE(c.Page().HasProperty(ciMesNew, 0));
  EXPECT_TRUE(c.Page().HasProperty(ciMesNew, 167)) << "bits past the table are kept";
  EXPECT_EQ(CompileOne("@result none\n").Page().ResultKind, 0);
  EXPECT_EQ(CompileOne("calc a\n").Page().ResultKind, 1);
}

TEST(Forms, VariablesWaitCommentsAndCalc) {
  const TCompiled c = CompileOne(
      "var int n = 5\n"
      "var string s = \"x\" ++ y local\n"
      "var flag f status\n"
      "var real r = 1.5 ローカル\n"
      "del n\n"
      "wait 500 while n == 0 block\n"
      "wait (t * 2)\n"
      "wait while busy\n"
      "wait 9 until a == 2\n"
      "comment  some text \n"
      "calc a[1] = 2\n"
      "doevent\n"
      "terminate\n");
  ASSERT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  EXPECT_EQ(c.At(0).Field("name").Text, "n");
  EXPECT_EQ(c.At(0).Field("kind").Int, 1);
  EXPECT_EQ(Bytes(c.At(0).Field("value").Expr), Expr("5"));
  EXPECT_EQ(c.At(0).Field("scope").Int, 0) << "global unless said";
  EXPECT_EQ(c.At(1).Field("kind").Int, 4);
  EXPECT_EQ(Bytes(c.At(1).Field("value").Expr), Expr("\"x\" ++ y"));
  EXPECT_EQ(c.At(1).Field("scope").Int, 2);
  EXPECT_EQ(c.At(2).Field("kind").Int, 3);
  EXPECT_EQ(Bytes(c.At(2).Field("value").Expr), Empty());
  EXPECT_EQ(c.At(2).Field("scope").Int, 3);
  EXPECT_EQ(c.At(3).Field("scope").Int, 2) << "the editor's scope names";
  EXPECT_EQ(c.At(4).Field("name").Text, "n");
  EXPECT_EQ(Bytes(c.At(5).Field("cond").Expr), Expr("n == 0"));
  EXPECT_EQ(Bytes(c.At(5).Field("time").Expr), Expr("500"));
  EXPECT_EQ(Bytes(c.At(5).Field("block").Expr), Expr("TRUE"));
  EXPECT_EQ(Bytes(c.At(6).Field("time").Expr), Expr("t * 2"));
  EXPECT_EQ(Bytes(c.At(7).Field("time").Expr), Empty());
  EXPECT_EQ(Bytes(c.At(7).Field("cond").Expr), Expr("busy"));
  EXPECT_EQ(Bytes(c.At(8).Field("cond").Expr), Expr("FALSE == (a == 2)"))
      << "the wait goes on while a <> 2, judged as a flag";
  EXPECT_EQ(c.At(9).Field("text").Text, "some text");
  EXPECT_EQ(Bytes(c.At(10).Field("expr").Expr), Expr("a[1] = 2"));
  EXPECT_EQ(c.At(11).GetCommandId(), ciDoEvent);
  EXPECT_EQ(c.At(12).GetCommandId(), ciTerminate);
}

TEST(Forms, GenericFormsSpellEveryKindOfField) {
  const TCompiled c = CompileOne(
      "flip kind=1 duration=(d + 500) names=(\"a\", b[1], (), raw:00000000) block=TRUE\n"
      "textins text=hex:0A0BFF window=\"mes\"\n"
      "!if\n"
      "    !While cond=(i < 2) exit=-1\n"
      "varnew name=\"v\" kind=7 scope=status\n"
      "getprop object=\"o\" prop=3 var=\"名前\\x81\"\n"
      "!comment text=\"say \\\"hi\\\"\\n\\\\x\"\n"
      "menuclose\n");
  ASSERT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  TCommand& flip = c.At(0);
  EXPECT_EQ(Bytes(flip.Field("duration").Expr), Expr("d + 500"));
  ASSERT_EQ(flip.Field("names").List.size(), 4u);
  EXPECT_EQ(Bytes(flip.Field("names").List[1]), Expr("b[1]"));
  EXPECT_EQ(Bytes(flip.Field("names").List[2]), Empty());
  EXPECT_EQ(flip.Field("names").List[3].Operations().size(), 0u) << "a raw record of no operations";
  EXPECT_EQ(c.At(1).Field("text").Text, "\x0A\x0B\xFF");
  EXPECT_EQ(Bytes(c.At(1).Field("window").Expr), Expr("\"mes\""));
  EXPECT_EQ(Bytes(c.At(2).Field("cond").Expr), Empty()) << "a generic If keeps its empty condition";
  EXPECT_EQ(c.At(3).Field("exit").Int, -1);
  EXPECT_EQ(c.At(4).Field("kind").Int, 7);
  EXPECT_EQ(c.At(4).Field("scope").Int, 3);
  EXPECT_EQ(c.At(5).Field("var").Text, Utf8ToCp932("名前") + "\x81");
  EXPECT_EQ(c.At(6).Field("text").Text, "say \"hi\"\r\n\\x");
  EXPECT_EQ(c.At(7).GetCommandId(), ciMenuClose);
}

TEST(Forms, EveryCommandNameIsAccepted) {
  for (int32_t id = 0; id < kCommandIdCount; ++id) {
    const TCompiled c = CompileOne("!" + std::string(CommandLayout(id)->Name) + "\n");
    ASSERT_TRUE(c.Errors.Empty()) << CommandLayout(id)->Name << ": " << c.Errors.Text();
    EXPECT_EQ(c.At(0).GetCommandId(), id);
  }
}

}  // namespace
}  // namespace kest::test
