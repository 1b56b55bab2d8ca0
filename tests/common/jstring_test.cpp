#include "common/jstring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/errors.h"

namespace kest {
namespace {

// Bytes used below: あ 82 A0, い 82 A2, ソ 83 5C, the full-width space 81 40.
const std::string A = "\x82\xA0";
const std::string I = "\x82\xA2";
const std::string SO = "\x83\x5C";
const std::string WIDE_SPACE = "\x81\x40";

TEST(JStringTest, LengthCountsCharacters) {
  EXPECT_EQ(JLength(""), 0);
  EXPECT_EQ(JLength("abc"), 3);
  EXPECT_EQ(JLength(A + "x"), 2);
  EXPECT_EQ(JLength("x\x82"), 2);  // a lone lead byte at the end is a character
  EXPECT_EQ(JLength(A + I + SO), 3);
}

TEST(JStringTest, CharToByteIndex) {
  const std::string t = "a" + A + "b";
  EXPECT_EQ(CharToByteIndex(t, -3), 1);
  EXPECT_EQ(CharToByteIndex(t, 1), 1);
  EXPECT_EQ(CharToByteIndex(t, 2), 2);
  EXPECT_EQ(CharToByteIndex(t, 3), 4);
  EXPECT_EQ(CharToByteIndex(t, 4), 5);
  EXPECT_EQ(CharToByteIndex(t, 99), 5);
  EXPECT_EQ(CharToByteIndex("a\x82", 3), 4);  // behind a lone lead byte: length + 2
}

TEST(JStringTest, IsTrailByte) {
  const std::string t = "a" + A + SO;
  EXPECT_FALSE(IsTrailByte(t, 1));
  EXPECT_FALSE(IsTrailByte(t, 2));
  EXPECT_TRUE(IsTrailByte(t, 3));
  EXPECT_FALSE(IsTrailByte(t, 4));
  EXPECT_TRUE(IsTrailByte(t, 5));
  // 81 81 41: the second 81 is the trail of the first, 41 stands alone.
  EXPECT_TRUE(IsTrailByte("\x81\x81\x41", 2));
  EXPECT_FALSE(IsTrailByte("\x81\x81\x41", 3));
  for (int bad : {0, -1, 6}) {
    try {
      IsTrailByte(t, bad);
      FAIL() << bad;
    } catch (const EKestError& e) {
      EXPECT_STREQ(e.what(), "Illegal Index");
    }
  }
  EXPECT_THROW(IsTrailByte("", 1), EKestError);
}

TEST(JStringTest, Copy) {
  const std::string t = A + "b" + I + "d";
  EXPECT_EQ(JCopy(t, 1, 0), "");
  EXPECT_EQ(JCopy(t, 1, -1), "");
  EXPECT_EQ(JCopy(t, 0, 3), A + "b");  // position 0 does not exist
  EXPECT_EQ(JCopy(t, -5, 7), A);
  EXPECT_EQ(JCopy(t, 2, 2), "b" + I);
  EXPECT_EQ(JCopy(t, 3, 1), I);
  EXPECT_EQ(JCopy(t, 4, 100), "d");
  EXPECT_EQ(JCopy(t, 5, 1), "");
  EXPECT_EQ(JCopy(t, 2147483647, 2147483647), "");
  EXPECT_EQ(JCopy("x\x82", 2, 1), "\x82");
}

TEST(JStringTest, Delete) {
  std::string t = A + "b" + I;
  JDelete(t, 4, 1);
  EXPECT_EQ(t, A + "b" + I);
  JDelete(t, 1, 0);
  EXPECT_EQ(t, A + "b" + I);
  JDelete(t, 2, 1);
  EXPECT_EQ(t, A + I);
  t = A + "b" + I;
  JDelete(t, 2, 100);
  EXPECT_EQ(t, A);
  t = A + "b" + I;
  JDelete(t, -3, 1);
  EXPECT_EQ(t, "b" + I);
  t = "ab\x82";
  JDelete(t, 3, 1);
  EXPECT_EQ(t, "ab");
}

TEST(JStringTest, Insert) {
  std::string t = A + I;
  JInsert("x", t, 0);
  EXPECT_EQ(t, "x" + A + I);
  JInsert("y", t, 3);
  EXPECT_EQ(t, "x" + A + "y" + I);
  JInsert("z", t, 99);
  EXPECT_EQ(t, "x" + A + "y" + I + "z");
  std::string empty;
  JInsert(SO, empty, 5);
  EXPECT_EQ(empty, SO);
}

TEST(JStringTest, PosNeverMatchesInsideACharacter) {
  EXPECT_EQ(JPos("@", WIDE_SPACE), 0);  // 0x40 is the second byte of 81 40
  EXPECT_EQ(JPos("\\", SO), 0);
  EXPECT_EQ(JPos("\\", SO + "\\"), 2);
  EXPECT_EQ(JPos("", "abc"), 0);
  EXPECT_EQ(JPos(I, A + "x" + I), 3);
  EXPECT_EQ(JPos("abcd", "abc"), 0);
  // 82 A0 82: a match of "\xA0\x82" would start inside あ.
  EXPECT_EQ(JPos("\xA0\x82", A + "\x82"), 0);
}

TEST(JStringTest, CharAt) {
  EXPECT_EQ(JCharAt(A, 1), 33440);
  EXPECT_EQ(JCharAt("x" + A, 1), 'x');
  EXPECT_EQ(JCharAt("x" + A, 3), 0);
  EXPECT_EQ(JCharAt("", 1), 0);
  EXPECT_EQ(JCharAt("x\x82", 2), 0x8200);
}

TEST(JStringTest, Trim) {
  EXPECT_EQ(JTrim(WIDE_SPACE + WIDE_SPACE), "");
  EXPECT_EQ(JTrim(""), "");
  EXPECT_EQ(JTrim(" \tx "), "\tx");
  EXPECT_EQ(JTrim(WIDE_SPACE + " a" + WIDE_SPACE + " "), "a");
  // ー 81 5B then space: fine; ア followed by 0x20 inside a character is not a space.
  EXPECT_EQ(JTrim("a\x81 "), "a\x81 ");
  // 0x40 ending a character other than the full-width space stays (ァ 83 40).
  EXPECT_EQ(JTrim("\x83\x40"), "\x83\x40");
  // 81 81 40: the trailing 40 belongs to 81 81 and 40 is a single '@'.
  EXPECT_EQ(JTrim("\x81\x81\x40"), "\x81\x81\x40");
  std::string left = "  x ";
  JTrimLeft(left);
  EXPECT_EQ(left, "x ");
  JTrimRight(left);
  EXPECT_EQ(left, "x");
}

TEST(JStringTest, SplitAtFirstOf) {
  std::string text = "a,b";
  std::string head = "old";
  SplitAtFirstOf(text, ",", head);
  EXPECT_EQ(head, "a");
  EXPECT_EQ(text, "b");
  text = SO + "\\x";
  SplitAtFirstOf(text, "\\", head);
  EXPECT_EQ(head, SO);
  EXPECT_EQ(text, "x");
  text = SO;
  SplitAtFirstOf(text, "\\", head);
  EXPECT_EQ(head, SO);
  EXPECT_EQ(text, "");
  text = "abc";
  SplitAtFirstOf(text, "", head);
  EXPECT_EQ(head, "abc");
  EXPECT_EQ(text, "");
  text = "";
  SplitAtFirstOf(text, ",", head);
  EXPECT_EQ(head, "");
  text = "int 80";
  SplitAtFirstOf(text, " ,", head);
  EXPECT_EQ(head, "int");
  EXPECT_EQ(text, "80");
}

TEST(JStringTest, CharacterIterator) {
  std::vector<uint16_t> codes;
  std::vector<size_t> offsets;
  const std::string text = "a" + A + "\x83";
  for (TJChar c : JChars(text)) {
    codes.push_back(c.Code);
    offsets.push_back(c.Offset);
  }
  EXPECT_EQ(codes, std::vector<uint16_t>({'a', 0x82A0, 0x8300}));
  EXPECT_EQ(offsets, std::vector<size_t>({0, 1, 3}));
  int count = 0;
  for ([[maybe_unused]] TJChar c : JChars("")) ++count;
  EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace kest
