#include "script/status_record.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/stream.h"
#include "language/param_collection.h"
#include "script/kept_status_parts.h"
#include "script/script_test_util.h"

namespace kest {
namespace {

using test::TBytes;
using test::TRecordBytes;

struct TStatusParts {
  TParamCollection Vars;
  TKeptReadList ReadList;
  TKeptImageCacheState ImageCache;
  TKeptStatusTables Tables;
  TStatusRecord Record{Vars, ReadList, ImageCache, Tables};

  int32_t Load(const TBytes& bytes) {
    TByteStream stream{std::span<const uint8_t>(bytes)};
    return Record.LoadFromStream(stream);
  }
  TBytes Save() const {
    TByteStream stream;
    Record.SaveToStream(stream);
    return stream.TakeBytes();
  }
};

void AddStatusInt(TParamCollection& vars, const char* name, int32_t value) {
  TParamCollectionItem* item = vars.AddVar(PT_INT);
  item->SetName(name);
  item->IsStatus = 1;
  item->Value()->SetAsInt(value);
}

// One status variable record: integer Clear = 3.
void StatusVar(TRecordBytes& b) {
  b.Int(1).Byte(PT_INT).Str("Clear").Int(0).Int(1).Int(3).Byte(1).Byte(0).Int(-1).Byte(0);
}

void ReadMarks(TRecordBytes& b) {
  b.Int(1).Str("a.ksb").Int(2).Int(4).Int(9).Int(0).Int(1);
  b.Str("b.ksb").Int(7).Int(2).Str("win");
}

void OneTable(TRecordBytes& b) {
  b.Int(100).Int(1);
  b.Byte(0).Str("score").Byte(1).Int(2).Int(4).Str("hp").Byte(1).Int(41).Str("who").Byte(4);
  b.Int(2);
  for (int i = 0; i < 2 * 45; ++i) b.Byte(static_cast<uint8_t>(i));
  b.Int(1);
}

TEST(StatusRecord, WritesVersion103AndReadsItBack) {
  TStatusParts first;
  AddStatusInt(first.Vars, "Clear", 3);
  TParamCollectionItem* game = first.Vars.AddVar(PT_INT);
  game->SetName("Turn");
  const TBytes bytes = first.Save();
  ASSERT_GE(bytes.size(), 9u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 9), "Status103");

  TStatusParts second;
  EXPECT_EQ(second.Load(bytes), 103);
  ASSERT_NE(second.Vars.FindVar("Clear"), nullptr);
  EXPECT_EQ(second.Vars.FindVar("Clear")->Value()->GetAsInt(), 3);
  EXPECT_EQ(second.Vars.FindVar("Turn"), nullptr);
  EXPECT_EQ(second.Save(), bytes);
}

TEST(StatusRecord, EmptyPartsHaveTheirEmptyForms) {
  TStatusParts parts;
  TRecordBytes expected;
  expected.Raw("Status103").Int(0);
  expected.Int(0).Str("").Int(0).Int(0).Str("");
  expected.Byte(0);
  expected.Int(100).Int(0);
  EXPECT_EQ(parts.Save(), expected.Bytes());
}

TEST(StatusRecord, PartsOfLaterSubsystemsPassThroughUnchanged) {
  TRecordBytes b;
  b.Raw("Status103");
  StatusVar(b);
  ReadMarks(b);
  b.Byte(1);
  OneTable(b);
  TStatusParts parts;
  EXPECT_EQ(parts.Load(b.Bytes()), 103);
  EXPECT_EQ(parts.Save(), b.Bytes());
}

TEST(StatusRecord, OlderVersionsCarryFewerParts) {
  TRecordBytes v102;
  v102.Raw("Status102");
  StatusVar(v102);
  ReadMarks(v102);
  v102.Byte(1);
  TStatusParts parts;
  EXPECT_EQ(parts.Load(v102.Bytes()), 102);
  EXPECT_EQ(parts.Vars.FindVar("Clear")->Value()->GetAsInt(), 3);
  EXPECT_TRUE(parts.Tables.Kept().empty());

  TRecordBytes v0;
  StatusVar(v0);
  TStatusParts old;
  EXPECT_EQ(old.Load(v0.Bytes()), 0);
  EXPECT_EQ(old.Vars.FindVar("Clear")->Value()->GetAsInt(), 3);
  EXPECT_TRUE(old.ReadList.Kept().empty());
  EXPECT_TRUE(old.ImageCache.Kept().empty());

  TRecordBytes odd;
  odd.Raw("StatusXY1").Int(0);
  TStatusParts unnumbered;
  EXPECT_EQ(unnumbered.Load(odd.Bytes()), 0);
}

TEST(StatusRecord, DamagedRecordsRaise) {
  TRecordBytes b;
  b.Raw("Status103");
  StatusVar(b);
  ReadMarks(b);
  b.Byte(1);
  OneTable(b);
  const TBytes& whole = b.Bytes();
  for (size_t cut = 9; cut < whole.size(); ++cut) {
    TStatusParts parts;
    EXPECT_THROW(parts.Load(TBytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut))), EReadError)
        << cut;
  }
  TRecordBytes marks;
  marks.Raw("Status103").Int(0).Int(0x40000000);
  TStatusParts huge;
  EXPECT_THROW(huge.Load(marks.Bytes()), EReadError);
  TRecordBytes records;
  records.Raw("Status103").Int(0).Int(0).Str("").Int(0).Int(0).Str("").Byte(0);
  records.Int(100).Int(1).Byte(0).Str("t").Byte(1).Int(1).Int(0x7FFFFFFF).Str("f").Byte(4).Int(0x7FFFFFFF);
  TStatusParts big;
  EXPECT_THROW(big.Load(records.Bytes()), EReadError);
}

}  // namespace
}  // namespace kest
