// Mistakes are reported as FILE:LINE:COL: message, every one of them, and the
// compiler goes on past each.
#include "kestc_test_util.h"

namespace kest::test {
using namespace kest::kestc;
namespace {

struct TCase {
  const char* Text;
  const char* Error;
};

TEST(Errors, CarryTheFileLineAndColumn) {
  const TCase cases[] = {
      {"calc x = = 1\n", "start.kst:1:6: 構文エラー"},
      {"calc a\nif Nothing(1)\n", "start.kst:2:4: \"Nothing\" 関数名がありません"},
      {"jump :nowhere\n", "start.kst:1:6: page start.ksb has no label nowhere"},
      {"call other(1)\n", "start.kst:1:6: there is no page other.ksb (page names are case-sensitive)"},
      {"jump Start\n", "start.kst:1:6: there is no page Start.ksb (page names are case-sensitive)"},
      {"jump start.kst\n", "start.kst:1:6: a page is named without its extension: menu, sub/menu"},
      {"boxnew name=\"a\" colour=1\n", "start.kst:1:17: unknown property colour of BoxNew"},
      {"flip speed=1\n",
       "start.kst:1:6: Flip has no field speed (its fields: kind, duration, reverse, move, names, "
       "scrap, param1, param2, mask, block)"},
      {"flip kind= 1\n", "start.kst:1:6: kind= needs a value (() is the empty expression)"},
      {"frobnicate x=1\n", "start.kst:1:1: unknown command frobnicate"},
      {"if a\n    calc b\n  calc c\n",
       "start.kst:3:1: an indentation of 2 spaces is not a multiple of this file's step of 4"},
      {"calc a\n    calc b\n",
       "start.kst:2:1: unexpected indentation: only the lines after if, elseif, else, while and "
       "for go one level deeper"},
      {"  calc a\n", "start.kst:1:1: the first command is not indented"},
      {"if a\n\tcalc b\n    calc c\n", "start.kst:3:1: this file indents with tabs, this line with spaces"},
      {"comment ok 😀\n", "start.kst:1:12: the character 😀 has no Shift-JIS form"},
      {"calc s = \"ア and 😀\"\n", "start.kst:1:17: the character 😀 has no Shift-JIS form"},
      {"label 😀\n", "start.kst:1:7: the character 😀 has no Shift-JIS form"},
      {"break\n", "start.kst:1:1: break is not inside a while or for loop"},
      {"for i = 0; i < 2; i = i + 1\ncontinue\n", "start.kst:2:1: continue is not inside a while or for loop"},
      {"else\n", "start.kst:1:1: else follows an if or elseif at the same indentation"},
      {"if a\n    calc b\n    elseif c\n", "start.kst:3:5: elseif follows an if or elseif at the same indentation"},
      {"label a\nlabel a\n", "start.kst:2:7: label a is already defined at line 1"},
      {"@version 99\n", "start.kst:1:10: the number is out of range: from 103 to 116"},
      {"calc a\n@result int\n", "start.kst:2:2: @result comes before the first command"},
      {"@frob\n", "start.kst:1:2: unknown directive @frob (@version, @result, @continue, @mask)"},
      {"call x(1\n", "start.kst:1:7: this ( is never closed"},
      {"calc \"abc\n", "start.kst:1:6: 構文エラー"},
      {"flip names=(\"a)\n", "start.kst:1:13: this string has no closing quote"},
      {"calc raw:0100\n", "start.kst:1:6: this raw expression record is damaged"},
      {"calc raw:000000000000\n", "start.kst:1:6: this raw expression record has bytes past its end"},
      {"calc raw:0G\n", "start.kst:1:11: not a hexadecimal digit"},
      {"var big x\n", "start.kst:1:5: var needs a kind: int, real, flag or string"},
      {"var int x oops\n", "start.kst:1:11: expected = VALUE or a scope: global, auto, local or status"},
      {"jump :a when b\nlabel a\n", "start.kst:1:9: expected if CONDITION or the end of the line"},
      {"for i = 0; i < 1\n", "start.kst:1:5: for is written for INIT; CONDITION; STEP"},
      {"for i = 0; ; i = i + 1\n",
       "start.kst:1:12: the loop needs a condition (an empty one is false: TRUE loops until a "
       "break)"},
      {"[skip loud] calc a\n", "start.kst:1:7: unknown modifier loud (skip, continue=on|off, line=N, indent=N)"},
      {"pcreset flag=300\n", "start.kst:1:14: the number is out of range: from 0 to 255"},
      {"textins text=0A0B\n", "start.kst:1:14: data is written hex:0A0B..."},
      {"flip names=a\n", "start.kst:1:12: a list is written (VALUE, VALUE, ...)"},
      {"flip names=(a, , b)\n", "start.kst:1:15: an empty list element: write () for an empty expression"},
      {"flip kind=1 kind=2\n", "start.kst:1:13: kind is given twice"},
      {"@mask BoxNew 00\n", "start.kst:1:14: a mask is 21 bytes (42 hexadecimal digits)"},
  };
  for (const TCase& c : cases) EXPECT_EQ(CompileOne(c.Text).FirstError(), c.Error) << c.Text;
}

TEST(Errors, EveryBadLineIsReportedAndTheRestStillCompiles) {
  const TCompiled c = CompileOne(
      "calc a = = 1\n"
      "for i = 0; i < = 3; i = i + 1\n"
      "    break if )\n"
      "    calc b = 1\n"
      "jump :missing\n");
  ASSERT_EQ(c.Errors.Items().size(), 4u) << c.Errors.Text();
  EXPECT_EQ(c.Errors.Items()[0].Line, 1);
  EXPECT_EQ(c.Errors.Items()[1].Line, 2) << "a broken loop condition still opens the loop";
  EXPECT_EQ(c.Errors.Items()[1].Column, 12);
  EXPECT_EQ(c.Errors.Items()[2].Line, 3);
  EXPECT_EQ(c.Errors.Items()[3].Line, 5);
  EXPECT_EQ(Ids(c.Page()).size(), 7u);
}

TEST(Errors, ReferencesIntoBrokenPagesAreStillChecked) {
  const TCompiled c = Compile({{"a", "jump b:there\njump b:gone\n"}, {"b", "calc = \nlabel there\n"}});
  ASSERT_EQ(c.Errors.Items().size(), 2u) << c.Errors.Text();
  EXPECT_EQ(FormatDiagnostic(c.Errors.Items()[0]), "b.kst:1:6: 構文エラー");
  EXPECT_EQ(FormatDiagnostic(c.Errors.Items()[1]), "a.kst:2:6: page b.ksb has no label gone");
}

// Commands of one kind on one page share the property list of the page, so
// a property one of them leaves out is stored empty for it.
// Only a left-out property whose creation default differs from what the
// object starts with is told: the others change nothing.
TEST(Warnings, NameTheCommandThatLeavesOutPropertiesOthersOfItsKindSet) {
  const TCompiled c = CompileOne(
      "imgnew name=\"a\" source=\"a.png\" left=10 width=100 height=()\n"
      "imgnew name=\"b\" source=\"b.png\"\n"
      "button name=\"c\" source=\"c.png\" left=1 top=2 repeat=TRUE\n"
      "button name=\"d\" top=3 source=\"d.png\"\n"
      "sound name=\"e\" source=\"e.ogg\" volume=500\n"
      "sound name=\"f\" source=\"f.ogg\" volume=()\n"
      "boxnew name=\"g\" color=$FF\n"
      "boxnew name=\"h\" width=8 color=$FF\n");
  EXPECT_TRUE(c.Errors.Empty()) << c.Errors.Text();
  ASSERT_EQ(c.Errors.Warnings().size(), 2u) << c.Errors.WarningText();
  EXPECT_EQ(FormatDiagnostic(c.Errors.Warnings()[0]),
            "start.kst:2: warning: ImgNew leaves out width, set by another ImgNew on this page: stored empty here, "
            "it takes its creation default; width 0 replaces its picture's size, so it draws nothing")
      << "a property written as () is given, and left (0 either way) is not told";
  EXPECT_EQ(FormatDiagnostic(c.Errors.Warnings()[1]),
            "start.kst:4: warning: Button leaves out repeat, set by another Button on this page: stored empty here, "
            "it takes its creation default");
}

}  // namespace
}  // namespace kest::test
