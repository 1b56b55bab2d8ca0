#include "common/stream.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "common/errors.h"
#include "common/string_lists.h"

namespace kest {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

TEST(StreamTest, PrimitivesAreLittleEndianWithoutPadding) {
  TByteStream s;
  WriteInt(s, -2);
  WriteByte(s, 0xAB);
  WriteFlag(s, true);
  WriteInt64(s, 0x0102030405060708);
  WriteDouble(s, 1.0);
  WriteStr(s, "ab");
  WriteStr(s, "");
  EXPECT_EQ(s.Bytes(), Bytes({0xFE, 0xFF, 0xFF, 0xFF, 0xAB, 0x01, 8, 7, 6, 5, 4,   3,   2, 1, 0, 0,
                              0,    0,    0,    0,    0xF0, 0x3F, 2, 0, 0, 0, 'a', 'b', 0, 0, 0, 0}));
  s.Seek(0);
  EXPECT_EQ(ReadInt(s), -2);
  EXPECT_EQ(ReadByte(s), 0xAB);
  EXPECT_TRUE(ReadFlag(s));
  EXPECT_EQ(ReadInt64(s), 0x0102030405060708);
  EXPECT_EQ(ReadDouble(s), 1.0);
  EXPECT_EQ(ReadStr(s), "ab");
  EXPECT_EQ(ReadStr(s), "");
  EXPECT_EQ(s.Remaining(), 0);
}

TEST(StreamTest, ExtendedIsTenBytes) {
  TByteStream s;
  WriteExtended(s, 1.0L);
  EXPECT_EQ(s.Bytes(), Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
  WriteExtended(s, -0.5L);
  s.Seek(0);
  EXPECT_EQ(ReadExtended(s), 1.0L);
  EXPECT_EQ(ReadExtended(s), -0.5L);
}

TEST(StreamTest, FlagsAreTrueForAnyNonZeroByte) {
  const auto data = Bytes({0, 2, 0xFF});
  TByteStream s{std::span<const uint8_t>(data)};
  EXPECT_FALSE(ReadFlag(s));
  EXPECT_TRUE(ReadFlag(s));
  EXPECT_TRUE(ReadFlag(s));
}

TEST(StreamTest, NonPositiveStringLengthsReadAsEmpty) {
  const auto data = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 'x'});
  TByteStream s{std::span<const uint8_t>(data)};
  EXPECT_EQ(ReadStr(s), "");
  EXPECT_EQ(ReadStr(s), "");
  EXPECT_EQ(s.Position(), 8);
}

TEST(StreamTest, ShortReadsRaise) {
  const auto data = Bytes({1, 2, 3});
  TByteStream s{std::span<const uint8_t>(data)};
  EXPECT_THROW(ReadInt(s), EReadError);
  TByteStream empty;
  EXPECT_THROW(ReadByte(empty), EReadError);
  EXPECT_THROW(ReadDouble(empty), EReadError);
  EXPECT_THROW(ReadExtended(empty), EReadError);
  EXPECT_THROW(ReadInt64(empty), EReadError);
}

TEST(StreamTest, StringLongerThanTheRestRaisesBeforeAllocating) {
  // A length of 5 with 4 bytes behind it.
  const auto truncated = Bytes({5, 0, 0, 0, 'a', 'b', 'c', 'd'});
  TByteStream s{std::span<const uint8_t>(truncated)};
  EXPECT_THROW(ReadStr(s), EReadError);
  // 2 GiB - 1: allocating first would fail or exhaust memory long before the
  // read came up short.
  const auto huge = Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a'});
  TByteStream h{std::span<const uint8_t>(huge)};
  EXPECT_THROW(ReadStr(h), EReadError);
}

TEST(StreamTest, RequireRemaining) {
  const auto data = Bytes({1, 2, 3, 4});
  TByteStream s{std::span<const uint8_t>(data)};
  EXPECT_NO_THROW(RequireRemaining(s, 4));
  EXPECT_THROW(RequireRemaining(s, 5), EReadError);
  EXPECT_THROW(RequireRemaining(s, -1), EReadError);
  s.Seek(3);
  EXPECT_NO_THROW(RequireRemaining(s, 1));
  EXPECT_THROW(RequireRemaining(s, 2), EReadError);
  s.Seek(100);
  EXPECT_THROW(RequireRemaining(s, 0), EReadError);
}

TEST(StreamTest, ByteStreamSeeksAndGrows) {
  TByteStream s;
  s.Seek(3);
  WriteByte(s, 7);
  EXPECT_EQ(s.Bytes(), Bytes({0, 0, 0, 7}));
  s.Seek(-5);
  EXPECT_EQ(s.Position(), 0);
  uint8_t buffer[8];
  EXPECT_EQ(s.Read(buffer, 8), 4);
  EXPECT_EQ(s.Read(buffer, 8), 0);
  s.Seek(10);
  EXPECT_EQ(s.Read(buffer, 1), 0);
}

TEST(ArrayStringTest, StoredForm) {
  TArrayString a;
  a.Add("");
  a.Add("ab");
  TByteStream s;
  a.SaveToStream(s);
  EXPECT_EQ(s.Bytes(), Bytes({2, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 'a', 'b'}));
  s.Seek(0);
  TArrayString b;
  b.Add("old");
  b.LoadFromStream(s);
  ASSERT_EQ(b.Count(), 2);
  EXPECT_EQ(b.Strings(0), "");
  EXPECT_EQ(b.Strings(1), "ab");
}

TEST(ArrayStringTest, CountsBeyondTheDataRaiseAndKeepTheStrings) {
  TArrayString a;
  a.Add("keep");
  // 0x7FFFFFFF strings announced, one byte behind.
  const auto huge = Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0});
  TByteStream h{std::span<const uint8_t>(huge)};
  EXPECT_THROW(a.LoadFromStream(h), EReadError);
  // Two announced, the second cut short.
  const auto cut = Bytes({2, 0, 0, 0, 1, 0, 0, 0, 'x', 3, 0, 0, 0, 'y'});
  TByteStream c{std::span<const uint8_t>(cut)};
  EXPECT_THROW(a.LoadFromStream(c), EReadError);
  ASSERT_EQ(a.Count(), 1);
  EXPECT_EQ(a.Strings(0), "keep");
  // A negative count is no strings.
  const auto negative = Bytes({0xFE, 0xFF, 0xFF, 0xFF});
  TByteStream n{std::span<const uint8_t>(negative)};
  a.LoadFromStream(n);
  EXPECT_EQ(a.Count(), 0);
}

}  // namespace
}  // namespace kest
