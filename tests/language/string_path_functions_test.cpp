// The string and path functions where Shift-JIS second bytes, limits and
// padding matter, through compiled expressions.
#include "language/expression_fixture.h"

namespace kest::test {
namespace {

using StringPathFunctionsTest = ExpressionTest;

TEST_F(StringPathFunctionsTest, IntToStrPadsWithoutAFormat) {
  EXPECT_EQ(Eval("IntToStr(0 - 5, 3)"), "-005");
  EXPECT_EQ(Eval("IntToStr(5, 0 - 2)"), "5");
  EXPECT_EQ(Eval("Length(IntToStr(7, 9999))"), "255");
  EXPECT_EQ(Eval("IntToStr(7, \"%s%n\")"), "<none>");
}

TEST_F(StringPathFunctionsTest, ComparisonsAndReplacementsFoldOnlySingleByteLetters) {
  EXPECT_EQ(Eval("CompareStr(\"abc\", \"ab\")"), "1");
  EXPECT_EQ(Eval("CompareStr(\"a\", \"c\")"), "-2");
  EXPECT_EQ(Eval("CompareText(\"Ab\", \"aB\")"), "0");
  EXPECT_EQ(Eval("CompareText(\"abc\", \"ABD\")"), "-1");
  EXPECT_EQ(Eval("CompareText(\"ヂ\", \"ア\")"), "1") << "83 61 and 83 41 are different characters";
  EXPECT_EQ(Eval("StringReplace(\"aXbxc\", \"x\", \"-\")"), "aXb-c");
  EXPECT_EQ(Eval("StringReplace(\"xaXbx\", \"x\", \"-\", TRUE)"), "-aXb-");
  EXPECT_EQ(Eval("StringReplace(\"aXbxc\", \"x\", \"-\", TRUE, TRUE)"), "a-b-c");
  EXPECT_EQ(Eval("StringReplace(\"アA\", \"a\", \"b\", TRUE, TRUE)"), "アb");
  EXPECT_EQ(Eval("StringReplace(\"ア\", \"A\", \"z\", TRUE)"), "ア") << "the second byte of ア is no A";
  EXPECT_EQ(Eval("StringReplace(\"abc\", \"\", \"z\", TRUE)"), "abc");
  EXPECT_EQ(Eval("UpperCase(\"aア\")"), "Aア");
}

TEST_F(StringPathFunctionsTest, ReplacementsAreHeldToTheStringLimit) {
  Var("s", PT_STR).SetAsStr(std::string(1 << 20, 'a'));
  EXPECT_EQ(Eval("Length(StringReplace(s, \"a\", StringOfChar(\"b\", 100), TRUE))"), "<none>");
}

// 表 is 95 5C: its second byte is the backslash's.
TEST_F(StringPathFunctionsTest, PathsSplitOnlyAtWholeDelimiters) {
  Var("p", PT_STR).SetAsStr(Utf8ToCp932("c:\\dir.x\\表"));
  Var("t", PT_STR).SetAsStr(Utf8ToCp932("表"));
  Var("e", PT_STR).SetAsStr(Utf8ToCp932("d\\a.b\\name.txt"));
  EXPECT_EQ(Eval("ExtractFilePath(p)"), "c:\\dir.x\\");
  EXPECT_EQ(Eval("ExtractFileName(p)"), "表");
  EXPECT_EQ(Eval("ExtractFileExt(p)"), "");
  EXPECT_EQ(Eval("ExtractFileName(\"c:x\")"), "x");
  EXPECT_EQ(Eval("ExtractFileExt(e)"), ".txt");
  EXPECT_EQ(Eval("ChangeFileExt(e, \".bmp\")"), "d\\a.b\\name.bmp");
  EXPECT_EQ(Eval("ChangeFileExt(p, \".bmp\")"), "c:\\dir.x\\表.bmp");
  EXPECT_EQ(Eval("AddBackSlash(t)"), "表\\");
  EXPECT_EQ(Eval("AddBackSlash(ExtractFilePath(p))"), "c:\\dir.x\\");
  EXPECT_EQ(Eval("AddBackSlash(\"\")"), "\\");
  EXPECT_EQ(Eval("IsPathDelimiter(p, 3)"), "TRUE");
  EXPECT_EQ(Eval("IsPathDelimiter(t, 2)"), "FALSE");
  EXPECT_EQ(Eval("IsPathDelimiter(p, 0)"), "FALSE");
  EXPECT_EQ(Eval("IsPathDelimiter(p, 99)"), "FALSE");
  EXPECT_EQ(Eval("IsDelimiter(\",;\", \"a;b\", 2)"), "TRUE");
  EXPECT_EQ(Eval("IsDelimiter(\",;\", \"a;b\", 3)"), "FALSE");
  EXPECT_EQ(Eval("IsDelimiter(\",;\", \"a;b\", 4)"), "FALSE");
  Var("wide", PT_STR).SetAsStr(Utf8ToCp932("、"));
  Var("wideText", PT_STR).SetAsStr(Utf8ToCp932("xAy、"));
  EXPECT_EQ(Eval("IsDelimiter(wide, wideText, 2)"), "FALSE") << "the A of 、 (81 41) is no delimiter";
  EXPECT_EQ(Eval("IsDelimiter(wide, wideText, 4)"), "TRUE");
}

}  // namespace
}  // namespace kest::test
