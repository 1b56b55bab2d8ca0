#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "text/history/read_list.h"

namespace kest {
namespace {

std::vector<uint8_t> Saved(const TKestReadList& list) {
  TByteStream out;
  list.SaveToStream(out);
  return out.TakeBytes();
}

TEST(ReadList, MarksOneScreenfulOnceForItsOwnWindow) {
  TKestReadList list;
  list.SetPending("W", "Scene01", 2, 5);
  list.Commit("Other");
  EXPECT_FALSE(list.IsRead("Scene01", 5, 2)) << "another window's move changes nothing";
  list.Commit("W");
  EXPECT_TRUE(list.IsRead("scene01", 5, 2)) << "page names ignore case";
  EXPECT_FALSE(list.IsRead("Scene01", 2, 5));
  list.SetPending("W", "SCENE01", 2, 5);
  list.Commit("W");
  list.SetPending("W", "Scene01", 0, 5);
  list.Commit("W");
  list.Commit("W");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0]->Pairs(), (std::vector<std::pair<int32_t, int32_t>>{{5, 2}, {5, 0}}))
      << "the same screenful marked twice stores one pair";

  list.SetPending("W", "b", 0, 0);
  list.Clear();
  EXPECT_FALSE(list.IsRead("Scene01", 5, 2));
  list.Commit("W");
  EXPECT_TRUE(list.IsRead("b", 0, 0)) << "what was on screen at ClrRead is read after it";
}

TEST(ReadList, StatusSaveRoundTripsAndOldStatusHasNoMarks) {
  TKestReadList list;
  for (int32_t s = 0; s < 3; ++s) {
    list.SetPending("W", s == 2 ? "b" : "a", s, 7);
    list.Commit("W");
  }
  list.SetPending("W2", "c", 1, 2);
  const std::vector<uint8_t> bytes = Saved(list);
  TByteStream expected;
  for (int32_t v : std::initializer_list<int32_t>{2, 1, 'a', 2, 7, 7, 0, 1, 1, 'b', 1, 7, 2, 1, 'c', 2, 1}) {
    if (v >= 'a')
      WriteByte(expected, uint8_t(v));
    else
      WriteInt(expected, v);
  }
  WriteStr(expected, "W2");
  EXPECT_EQ(bytes, expected.Bytes());

  TKestReadList loaded;
  TByteStream in{std::span<const uint8_t>(bytes)};
  loaded.LoadFromStream(in, 100);
  EXPECT_EQ(in.Remaining(), 0);
  EXPECT_EQ(Saved(loaded), bytes);
  loaded.Commit("W2");
  EXPECT_TRUE(loaded.IsRead("C", 2, 1));

  TByteStream old{std::span<const uint8_t>(bytes)};
  loaded.LoadFromStream(old, 99);
  EXPECT_EQ(loaded.Count(), 0);
  EXPECT_EQ(old.Position(), 0) << "nothing is read";

  TByteStream twice;
  WriteInt(twice, 2);
  for (const char* name : {"a", "A"}) {
    WriteStr(twice, name);
    WriteInt(twice, 2);
    for (int32_t v : {1, 1, 0, 0}) WriteInt(twice, v);
  }
  for (int32_t v : {0, 0, 0, 0}) WriteInt(twice, v);
  TByteStream twiceIn{std::span<const uint8_t>(twice.Bytes())};
  loaded.LoadFromStream(twiceIn, 100);
  ASSERT_EQ(loaded.Count(), 1) << "names that differ in case are one page";
  EXPECT_EQ(loaded[0]->Pairs(), (std::vector<std::pair<int32_t, int32_t>>{{1, 0}}));
}

TEST(ReadList, DamagedStatusRaisesAndKeepsTheMarks) {
  TKestReadList list;
  list.SetPending("W", "a", 1, 2);
  list.Commit("W");
  list.SetPending("W", "b", 3, 4);
  const std::vector<uint8_t> bytes = Saved(list);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    TByteStream in{std::span<const uint8_t>(bytes.data(), cut)};
    EXPECT_THROW(list.LoadFromStream(in, 100), EReadError) << "cut at " << cut;
  }
  EXPECT_EQ(Saved(list), bytes);

  for (int32_t pairs : {-1, 0x40000000}) {
    TByteStream huge;
    WriteInt(huge, 1);
    WriteStr(huge, "a");
    WriteInt(huge, pairs);
    for (int i = 0; i < 16; ++i) WriteInt(huge, 0);
    TByteStream in{std::span<const uint8_t>(huge.Bytes())};
    try {
      list.LoadFromStream(in, 100);
      ADD_FAILURE() << pairs << " pairs accepted";
    } catch (const EReadError& e) {
      EXPECT_NE(std::string(e.what()).find("Read pair count"), std::string::npos) << e.what();
    }
  }
  EXPECT_TRUE(list.IsRead("a", 2, 1));
}

}  // namespace
}  // namespace kest
