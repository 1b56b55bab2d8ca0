#include "common/sjis.h"

#include <gtest/gtest.h>

namespace kest {
namespace {

TEST(SjisTest, FoldingTouchesSingleByteAsciiLettersOnly) {
  EXPECT_EQ(FoldName("BG\\Title.PXA"), "bg\\title.pxa");
  EXPECT_EQ(UpperName("bg\\title.pxa"), "BG\\TITLE.PXA");
  // ヂ 83 61 keeps its second byte, in both directions.
  EXPECT_EQ(UpperName("\x83\x61"), "\x83\x61");
  EXPECT_EQ(FoldName("\x83\x41"), "\x83\x41");
  // Full-width Ａ (82 60) keeps its case.
  EXPECT_EQ(FoldName("\x82\x60"), "\x82\x60");
  // A lone lead byte at the end stands alone; the letter before it folds.
  EXPECT_EQ(FoldName("A\x83"), "a\x83");
  // Half-width katakana and other high single bytes are not letters.
  EXPECT_EQ(UpperName("\xB1\xDE"), "\xB1\xDE");
}

TEST(SjisTest, SameNameFollowsTheFoldingRule) {
  EXPECT_TRUE(SameName("Bg\\Bg001.PXA", "bG\\bg001.pxa"));
  EXPECT_TRUE(SameName("", ""));
  EXPECT_FALSE(SameName("a", "ab"));
  // ヂ (83 61) is not ア (83 41), and ア is not ヂ.
  EXPECT_FALSE(SameName("\x83\x61", "\x83\x41"));
  EXPECT_FALSE(SameName("\x83\x41", "\x83\x61"));
  // Full-width Ａ (82 60) and half-width A are different names, as are Ａ and ａ (82 81).
  EXPECT_FALSE(SameName("\x82\x60", "A"));
  EXPECT_FALSE(SameName("\x82\x60", "\x82\x81"));
  // A trail byte that is a letter folds nowhere: x + ヂ against X + ア.
  EXPECT_FALSE(SameName("x\x83\x61", "X\x83\x41"));
  EXPECT_TRUE(SameName("x\x83\x61", "X\x83\x61"));
  // Non-letters never fold onto letters ('@' 0x40 and '`' 0x60 lie beside them).
  EXPECT_FALSE(SameName("@", "`"));
  EXPECT_FALSE(SameName("[", "{"));
}

TEST(SjisTest, NameHashAgreesWithSameName) {
  EXPECT_EQ(NameHash("Bg\\Bg001.PXA"), NameHash("bg\\BG001.pxa"));
  EXPECT_EQ(NameHash("@Result"), NameHash("@RESULT"));
  EXPECT_NE(NameHash("\x83\x61"), NameHash("\x83\x41"));
  EXPECT_NE(NameHash("bg\\bg001.pxa"), NameHash("bg\\bg002.pxa"));
}

TEST(SjisTest, Cp932ToUtf8) {
  // あ, the yen-less backslash, ～ (81 60 is U+FF5E in CP932), ① (87 40).
  EXPECT_EQ(Cp932ToUtf8("\x82\xA0\\\x81\x60\x87\x40"), "\xE3\x81\x82\\\xEF\xBD\x9E\xE2\x91\xA0");
  // Half-width katakana ｱ (B1) is U+FF71.
  EXPECT_EQ(Cp932ToUtf8Strict("\xB1").value(), "\xEF\xBD\xB1");
  EXPECT_EQ(Cp932ToUtf8(""), "");
}

TEST(SjisTest, MalformedCp932IsReplacedOrRefused) {
  const std::string replacement = "\xEF\xBF\xBD";
  // A lead byte before a byte that cannot follow it gives up only the lead byte.
  EXPECT_EQ(Cp932ToUtf8("\x82\x20"), replacement + " ");
  EXPECT_EQ(Cp932ToUtf8("\x82\r\n"), replacement + "\r\n");
  // A lone lead byte at the end, and bytes without a character.
  EXPECT_EQ(Cp932ToUtf8("a\x82"), "a" + replacement);
  EXPECT_EQ(Cp932ToUtf8("\x80\xA0\xFD"), replacement + replacement + replacement);
  // An unassigned pair is one character: 85 40 is empty in CP932.
  EXPECT_EQ(Cp932ToUtf8("\x85\x40z"), replacement + "z");
  EXPECT_FALSE(Cp932ToUtf8Strict("\x82\x20").has_value());
  EXPECT_FALSE(Cp932ToUtf8Strict("a\x82").has_value());
  EXPECT_FALSE(Cp932ToUtf8Strict("\xA0").has_value());
}

TEST(SjisTest, Utf8ToCp932) {
  EXPECT_EQ(Utf8ToCp932("\xE3\x81\x82"
                        "abc"),
            "\x82\xA0"
            "abc");
  // Both wave dashes become 81 60, as the C library's CP932 maps them.
  EXPECT_EQ(Utf8ToCp932Strict("\xE3\x80\x9C").value(), "\x81\x60");
  EXPECT_EQ(Utf8ToCp932Strict("\xEF\xBD\x9E").value(), "\x81\x60");
  // Characters CP932 lacks (é, an emoji) and broken UTF-8.
  EXPECT_EQ(Utf8ToCp932("a\xC3\xA9z"), "a?z");
  EXPECT_EQ(Utf8ToCp932("\xF0\x9F\x98\x80"), "?");
  EXPECT_FALSE(Utf8ToCp932Strict("a\xC3\xA9z").has_value());
  // An overlong '/', a lone continuation byte, an encoded surrogate, a cut-off sequence.
  EXPECT_EQ(Utf8ToCp932("\xC0\xAF"), "??");
  EXPECT_FALSE(Utf8ToCp932Strict("\x80").has_value());
  EXPECT_FALSE(Utf8ToCp932Strict("\xED\xA0\x80").has_value());
  EXPECT_FALSE(Utf8ToCp932Strict("\xE3\x81").has_value());
}

}  // namespace
}  // namespace kest
