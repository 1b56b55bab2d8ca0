#include <gtest/gtest.h>

#include "common/errors.h"
#include "fake_hosts.h"
#include "language/param_collection.h"
#include "language/param_var.h"
#include "language/system_variables.h"
#include "language/typed_param.h"
#include "record_bytes.h"

namespace kest {
namespace {

using test::RecordBytes;

std::vector<uint8_t> SaveGame(const TParamCollection& store) {
  TByteStream s;
  store.SaveGameVars(s);
  return s.TakeBytes();
}

void LoadGame(TParamCollection& store, const std::vector<uint8_t>& bytes, int32_t version = 140) {
  TByteStream s(bytes);
  store.LoadGameVars(s, version);
  EXPECT_EQ(s.Remaining(), 0);
}

TParamCollectionItem* Add(TParamCollection& store, const char* name, uint8_t type) {
  TParamCollectionItem* item = store.AddVar(type);
  item->SetName(name);
  return item;
}

// Every type, arrays of one to three dimensions, a reference, scopes, and the
// tail fields.
void Fill(TParamCollection& store) {
  Add(store, "ref", PT_NONE);  // written after its target although it comes first
  Add(store, "count", PT_INT)->SetAsInt(-5);
  TCustomParam* grid = Add(store, "grid", PT_FLOAT)->Value();
  const int32_t d2[] = {3, 4};
  grid->SetDims(d2);
  grid->SetFloat(6, 1.0L / 3);
  grid->SetFloat(11, -1e300L);
  TCustomParam* flags = Add(store, "flags", PT_BOOL)->Value();
  const int32_t d1[] = {5};
  flags->SetDims(d1);
  flags->SetFlag(4, true);
  TCustomParam* names = Add(store, "\x96\xBC\x91\x4F", PT_STR)->Value();  // 名前
  const int32_t d3[] = {2, 2, 2};
  names->SetDims(d3);
  names->SetStr(7, "\x83\x5C\x83\x74\x83\x67");  // ソフト
  const int32_t at[] = {1, 2};
  static_cast<TParamVar*>(store.FindVar("ref")->Value())->SetReference("grid", at);
  TParamCollectionItem* local = Add(store, "loc", PT_STR);
  local->IsLocal = 1;
  local->OwnerId = 2;
  local->Value()->SetAsStr("here");
  Add(store, "kept", PT_INT)->IsStatus = 1;
  store.TextDelay = 33;
  store.CursorName = "c.cur";
  store.SelStr = "yes";
  store.SelIndex = 2;
  store.TempTarget = "count";
  const std::string pushed[] = {"count", "flags"};
  store.PushVar(pushed);
}

TEST(ParamRecords, GameBlockRoundTrip) {
  TParamCollection source;
  Fill(source);
  const auto first = SaveGame(source);
  TParamCollection loaded;
  Add(loaded, "stale", PT_INT);
  Add(loaded, "status", PT_INT)->IsStatus = 1;
  LoadGame(loaded, first);
  EXPECT_EQ(loaded.FindVar("stale"), nullptr);
  EXPECT_NE(loaded.FindVar("status"), nullptr);
  EXPECT_EQ(loaded.FindVar("kept"), nullptr);  // status variables are not in a game block
  EXPECT_EQ(loaded.FindVar("count")->GetAsInt(), -5);
  EXPECT_EQ(loaded.FindVar("grid")->Value()->GetFloat(6), 1.0L / 3);
  EXPECT_EQ(loaded.FindVar("grid")->Value()->GetDim(1), 4);
  EXPECT_TRUE(loaded.FindVar("flags")->Value()->GetFlag(4));
  EXPECT_EQ(loaded.FindVar("\x96\xBC\x91\x4F")->Value()->GetStr(7), "\x83\x5C\x83\x74\x83\x67");
  EXPECT_EQ(loaded.FindVar("ref")->Value()->GetAsFloat(), 1.0L / 3);
  EXPECT_EQ(loaded.FindVar("loc"), nullptr);  // local to depth 2
  loaded.CurrentLocalId = 2;
  EXPECT_EQ(loaded.FindVar("loc")->GetAsInt(), 0);
  EXPECT_EQ(loaded.FindVar("loc")->Value()->GetAsStr(), "here");
  EXPECT_EQ(loaded.TextDelay, 33);
  EXPECT_EQ(loaded.CursorName, "c.cur");
  EXPECT_EQ(loaded.SelStr, "yes");
  EXPECT_EQ(loaded.SelIndex, 2);
  EXPECT_EQ(loaded.TempTarget, "count");
  EXPECT_EQ(loaded.PushStackCount(), 1);

  // Each save writes the variables from the last to the first, so the order
  // flips with every cycle and the bytes come back after two.
  const auto second = SaveGame(loaded);
  EXPECT_EQ(second.size(), first.size());
  TParamCollection again;
  LoadGame(again, second);
  EXPECT_EQ(SaveGame(again), first);
}

TEST(ParamRecords, PushStackSurvivesASaveInOrder) {
  TParamCollection store;
  Add(store, "a", PT_INT)->SetAsInt(1);
  const std::string names[] = {"a"};
  store.PushVar(names);
  store.FindVar("a")->SetAsInt(2);
  store.PushVar(names);
  store.FindVar("a")->SetAsInt(3);
  TParamCollection loaded;
  LoadGame(loaded, SaveGame(store));
  ASSERT_EQ(loaded.PushStackCount(), 2);
  loaded.PopVar();
  EXPECT_EQ(loaded.FindVar("a")->GetAsInt(), 2);
  loaded.PopVar();
  EXPECT_EQ(loaded.FindVar("a")->GetAsInt(), 1);
  loaded.PopVar();
  EXPECT_EQ(loaded.FindVar("a")->GetAsInt(), 1);
}

TEST(ParamRecords, PopVarRestoresTypeAndKeepsSystemVariablesInPlace) {
  TParamCollection store;
  test::FakeHosts hosts;
  store.Hosts = hosts.All();
  TParamStr result;
  hosts.CallStack.Result = &result;
  result.SetAsStr("before");
  Add(store, "v", PT_STR)->Value()->SetAsStr("text");
  store.SelIndex = 7;
  const std::string names[] = {"v", "@SelIndex", "@Result", "@Year", "missing"};
  store.PushVar(names);
  delete store.FindVar("v");
  Add(store, "v", PT_INT)->SetAsInt(9);
  store.FindVar("v")->IsStatus = 1;
  store.SelIndex = 0;
  TParamInt newResult;  // the page changed: @Result is now an integer
  hosts.CallStack.Result = &newResult;
  store.PopVar();
  EXPECT_EQ(store.FindVar("v")->Value()->ParamType(), PT_STR);
  EXPECT_EQ(store.FindVar("v")->Value()->GetAsStr(), "text");
  EXPECT_EQ(store.FindVar("v")->IsStatus, 0);  // made again, as a global
  EXPECT_EQ(store.SelIndex, 7);
  EXPECT_EQ(store.Items(SV_RESULT)->Name(), "@Result");
  EXPECT_EQ(store.Items(SV_SELINDEX)->Name(), "@SelIndex");
  EXPECT_EQ(newResult.GetAsStr(), "0");  // "before" as an integer
  EXPECT_EQ(store.PushStackCount(), 0);
}

TEST(ParamRecords, ReferenceToAnUnsavedTargetDoesNotHoldTheSaveUp) {
  TParamCollection store;
  Add(store, "st", PT_INT)->IsStatus = 1;
  TParamCollectionItem* ref = Add(store, "r", PT_NONE);
  const int32_t zero[] = {0};
  static_cast<TParamVar*>(ref->Value())->SetReference("st", zero);
  const auto bytes = SaveGame(store);
  TParamCollection loaded;
  LoadGame(loaded, bytes);
  EXPECT_NE(loaded.FindVar("r"), nullptr);
}

// A game block of version 102, assembled from the record layout: one integer
// and one string, no selection fields.
TEST(ParamRecords, ReadsVersion102) {
  RecordBytes b;
  b.Int(2);
  b.Byte(PT_INT).Str("n").ScalarInt(42).Scope(0, -1, 0);
  b.Byte(PT_STR).Str("s").ScalarStr("hi").Scope(0, 3, 1);
  b.Int(80).Str("arrow.cur");
  TParamCollection store;
  store.SelStr = "unchanged";
  LoadGame(store, b.Bytes(), 102);
  EXPECT_EQ(store.FindVar("n")->GetAsInt(), 42);
  EXPECT_EQ(store.FindScoped("s", false), nullptr);
  store.CurrentLocalId = 3;
  EXPECT_EQ(store.FindVar("s")->Value()->GetAsStr(), "hi");
  EXPECT_EQ(store.TextDelay, 80);
  EXPECT_EQ(store.CursorName, "arrow.cur");
  EXPECT_EQ(store.SelStr, "unchanged");
}

// Version 120 keeps six values of the history's default format, and has no
// @Temp target; an empty-named record is read and dropped.
TEST(ParamRecords, ReadsVersion120) {
  RecordBytes b;
  b.Int(2);
  b.Byte(PT_BOOL).Str("").Int(0).Int(1).Byte(1).Scope(0, -1, 0);
  b.Byte(PT_FLOAT).Str("f").Int(0).Int(1).Raw({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}).Scope(0, -1, 0);
  b.Int(50).Str("").Str("pick").Int(3);
  for (int32_t v = 1; v <= 6; ++v) b.Int(v * 11);
  TParamCollection store;
  test::FakeHosts hosts;
  store.Hosts = hosts.All();
  store.TempTarget = "old";
  LoadGame(store, b.Bytes(), 120);
  EXPECT_EQ(store.Count(), kSysVarCount + 1);
  EXPECT_EQ(store.FindVar("f")->Value()->GetAsFloat(), 1.5L);
  EXPECT_EQ(store.SelStr, "pick");
  EXPECT_EQ(store.SelIndex, 3);
  EXPECT_EQ(hosts.History.Legacy, std::vector<int32_t>({11, 22, 33, 44, 55, 66}));
  EXPECT_EQ(store.TempTarget, "old");
}

// Version 138: the @Temp target, but no history values and no push stack; a
// reference record whose target comes first.
TEST(ParamRecords, ReadsVersion138) {
  RecordBytes b;
  b.Int(2);
  b.Byte(PT_INT).Str("arr").Int(1).Int(3).Int(3).Int(7).Int(8).Int(9).Scope(0, -1, 0);
  b.Byte(PT_NONE).Str("r").Int(0).Str("arr").Str("arr").Byte(0).Int(2).Scope(0, -1, 0);
  b.Int(50).Str("").Str("").Int(-1).Str("arr");
  TParamCollection store;
  const std::string names[] = {"arr"};
  store.PushVar(names);
  LoadGame(store, b.Bytes(), 138);
  EXPECT_EQ(store.FindVar("r")->Value()->GetAsInt(), 9);
  EXPECT_EQ(store.TempTarget, "arr");
  EXPECT_EQ(store.SelIndex, -1);
  EXPECT_EQ(store.PushStackCount(), 0);
}

// Version 140 with one push-stack entry of two records.
TEST(ParamRecords, ReadsVersion140PushStack) {
  RecordBytes entry;
  entry.Int(2).Int(PT_INT).Str("x").ScalarInt(5).Int(PT_STR).Str("y").ScalarStr("z");
  RecordBytes b;
  b.Int(0).Int(50).Str("").Str("").Int(0).Str("").Int(1).Append(entry);
  TParamCollection store;
  LoadGame(store, b.Bytes(), 140);
  ASSERT_EQ(store.PushStackCount(), 1);
  store.PopVar();
  EXPECT_EQ(store.FindVar("x")->GetAsInt(), 5);
  EXPECT_EQ(store.FindVar("y")->Value()->GetAsStr(), "z");
  RecordBytes saved;
  saved.Int(2);
  saved.Byte(PT_STR).Str("y").ScalarStr("z").Scope(0, -1, 0);
  saved.Byte(PT_INT).Str("x").ScalarInt(5).Scope(0, -1, 0);
  saved.Int(50).Str("").Str("").Int(0).Str("").Int(0);
  EXPECT_EQ(SaveGame(store), saved.Bytes());
}

TEST(ParamRecords, StatusBlockAddsWithoutDeleting) {
  TParamCollection source;
  Add(source, "opened", PT_BOOL)->IsStatus = 1;
  source.FindVar("opened")->SetAsInt(1);
  Add(source, "game", PT_INT);
  TByteStream s;
  source.SaveStatusVars(s);
  EXPECT_EQ(s.Bytes(), RecordBytes().Int(1).Byte(PT_BOOL).Str("opened").Int(0).Int(1).Byte(1).Scope(1, -1, 0).Bytes());
  TParamCollection store;
  Add(store, "game", PT_INT);
  s.Seek(0);
  store.LoadStatusVars(s, 103);
  EXPECT_NE(store.FindVar("game"), nullptr);
  EXPECT_TRUE(store.FindVar("opened")->Value()->GetAsFlag());
  store.ClearGameVars();
  EXPECT_NE(store.FindVar("opened"), nullptr);
}

// Every cut of a good block, and blocks with impossible counts, raise
// EReadError and leave the store as it was.
TEST(ParamRecords, DamagedBlocksLeaveTheStoreAlone) {
  TParamCollection source;
  Fill(source);
  const auto good = SaveGame(source);
  TParamCollection store;
  Add(store, "mine", PT_INT)->SetAsInt(4);
  for (size_t cut = 0; cut < good.size(); ++cut) {
    std::vector<uint8_t> bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    TByteStream s(bytes);
    EXPECT_THROW(store.LoadGameVars(s, 140), EReadError) << cut;
  }
  const std::vector<std::vector<uint8_t>> bad = {
      RecordBytes().Int(0x7FFFFFFF).Bytes(),
      RecordBytes().Int(-1).Bytes(),
      RecordBytes()
          .Int(1)
          .Byte(9)
          .Str("a")
          .ScalarInt(1)
          .Scope(0, -1, 0)
          .Int(50)
          .Str("")
          .Str("")
          .Int(0)
          .Str("")
          .Int(0)
          .Bytes(),
      RecordBytes()
          .Int(1)
          .Byte(PT_INT)
          .Str("1a")
          .ScalarInt(1)
          .Scope(0, -1, 0)
          .Int(50)
          .Str("")
          .Str("")
          .Int(0)
          .Str("")
          .Int(0)
          .Bytes(),
      RecordBytes().Int(0).Int(50).Str("").Str("").Int(0).Str("").Int(0x10000000).Bytes(),
      RecordBytes().Int(0).Int(50).Str("").Str("").Int(0).Str("").Int(1).Int(1).Int(7).Str("q").ScalarInt(1).Bytes(),
  };
  for (const auto& bytes : bad) {
    TByteStream s(bytes);
    EXPECT_THROW(store.LoadGameVars(s, 140), EReadError);
  }
  EXPECT_EQ(store.FindVar("mine")->GetAsInt(), 4);
  EXPECT_EQ(store.Count(), kSysVarCount + 1);
}

}  // namespace
}  // namespace kest
