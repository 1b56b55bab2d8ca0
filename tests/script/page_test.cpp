#include "script/page.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/sjis.h"
#include "language/param_collection.h"
#include "page_bytes.h"
#include "script/com_list.h"
#include "script/command.h"
#include "script/commands_flow.h"
#include "script/project_ui.h"
#include "script/script_test_util.h"

namespace kest {
namespace {

using namespace test;

TEST(PageMasks, SixtyOneRecordsOfTwentyOneBytesFillEverySlot) {
  TRecordBytes b = PageStart();
  Masks(b, 61, 21, [](int32_t i, int32_t j) { return static_cast<uint8_t>(i * 21 + j + 1); });
  b.Int(0);
  TPage page;
  Load(page, b.Bytes());
  for (int32_t i = 0; i < 61; ++i)
    for (int32_t j = 0; j < 21; ++j)
      ASSERT_EQ(page.Mask(i)[static_cast<size_t>(j)], static_cast<uint8_t>(i * 21 + j + 1)) << i << "," << j;
  EXPECT_TRUE(page.HasProperty(0, 0));
  EXPECT_FALSE(page.HasProperty(0, 1));
}

TEST(PageMasks, RecordsPastSlotSixtyAreSkippedWhole) {
  TRecordBytes b = PageStart();
  Masks(b, 70, 21, [](int32_t i, int32_t) { return static_cast<uint8_t>(i < 61 ? i : 0xEE); });
  b.Int(1);
  LabelCommand(b, ciLabel, "after");
  TPage page;
  Load(page, b.Bytes());
  for (int32_t i = 0; i < 61; ++i)
    for (uint8_t v : page.Mask(i)) ASSERT_EQ(v, i);
  ASSERT_EQ(page.Commands().Count(), 1);
  EXPECT_EQ(LabelName(page, 0), "after");
}

TEST(PageMasks, EmptyRecordsInAnyNumberReadNothing) {
  for (const auto& [k, s] : {std::pair{0x7FFFFFFF, 0}, std::pair{0, 0x7FFFFFFF}, std::pair{61, 0}}) {
    TRecordBytes b = PageStart();
    b.Int(k).Int(s).Int(1);
    LabelCommand(b, ciLabel, "after");
    TPage page;
    Load(page, b.Bytes());
    ASSERT_EQ(page.Commands().Count(), 1) << k << " " << s;
    EXPECT_EQ(LabelName(page, 0), "after");
    EXPECT_FALSE(page.HasProperty(0, 0));
  }
}

TEST(PageMasks, LongRecordsRunIntoTheFollowingSlots) {
  TRecordBytes b = PageStart();
  Masks(b, 3, 30, [](int32_t i, int32_t) { return static_cast<uint8_t>(0xA0 + i); });
  b.Int(0);
  TPage page;
  Load(page, b.Bytes());
  for (int32_t i = 0; i < 3; ++i)
    for (uint8_t v : page.Mask(i)) ASSERT_EQ(v, 0xA0 + i) << "slot " << i;
  for (size_t j = 0; j < 21; ++j) EXPECT_EQ(page.Mask(3)[j], j < 9 ? 0xA2 : 0) << j;

  // The last record reaches 9 bytes past the area; they are dropped.
  TRecordBytes full = PageStart();
  Masks(full, 61, 30, [](int32_t i, int32_t j) { return static_cast<uint8_t>(j < 21 ? i : 0xFF); });
  full.Int(1);
  LabelCommand(full, ciLabel, "after");
  Load(page, full.Bytes());
  for (int32_t i = 0; i < 61; ++i)
    for (uint8_t v : page.Mask(i)) ASSERT_EQ(v, i) << "slot " << i;
  EXPECT_EQ(LabelName(page, 0), "after");
}

TEST(PageMasks, RecordsLongerThanTheAreaKeepTheirHeadAndSkipTheRest) {
  auto fill = [](int32_t i, int32_t j) { return static_cast<uint8_t>(j * 7 + i * 101); };
  TRecordBytes b = PageStart();
  Masks(b, 2, 1300, fill);
  b.Int(1);
  LabelCommand(b, ciLabel, "after");
  TPage page;
  Load(page, b.Bytes());
  for (size_t j = 0; j < 21; ++j) {
    ASSERT_EQ(page.Mask(0)[j], fill(0, static_cast<int32_t>(j)));
    ASSERT_EQ(page.Mask(1)[j], fill(1, static_cast<int32_t>(j)));
    ASSERT_EQ(page.Mask(60)[j], fill(1, static_cast<int32_t>(59 * 21 + j)));
  }
  ASSERT_EQ(page.Commands().Count(), 1);
  EXPECT_EQ(LabelName(page, 0), "after");
}

TEST(PageMasks, AreaStartsFromZerosOnEveryLoad) {
  TRecordBytes filled = PageStart();
  Masks(filled, 61, 21, [](int32_t, int32_t) { return uint8_t{0xFF}; });
  filled.Int(1);
  LabelCommand(filled, ciLabel, "first");
  TRecordBytes empty = PageStart();
  Masks(empty, 1, 3, [](int32_t, int32_t) { return uint8_t{0x11}; });
  empty.Int(0);
  TPage page;
  Load(page, filled.Bytes());
  Load(page, empty.Bytes());
  for (size_t j = 0; j < 21; ++j) EXPECT_EQ(page.Mask(0)[j], j < 3 ? 0x11 : 0);
  for (int32_t i = 1; i < 61; ++i)
    for (uint8_t v : page.Mask(i)) ASSERT_EQ(v, 0);
  EXPECT_EQ(page.Commands().Count(), 0);
}

TEST(PageCommands, TypeByteHighBitIsIgnored) {
  TRecordBytes b = PageStart();
  NoMasks(b);
  b.Int(2);
  Header(b, 0x80);
  IntExpr(b, "x", 1);
  LabelCommand(b, 0x80 | ciLabel, "here");
  TPage page;
  Load(page, b.Bytes());
  ASSERT_EQ(page.Commands().Count(), 2);
  EXPECT_EQ(At(page, 0).GetCommandId(), ciIf);
  EXPECT_NE(dynamic_cast<TComIf*>(&At(page, 0)), nullptr);
  EXPECT_EQ(Describe(At(page, 0).Field("cond").Expr), "x=1");
  EXPECT_EQ(page.Commands().FindLabel("here"), 1);
}

TEST(PageCommands, IdsAboveSixtyAreRefused) {
  for (uint8_t type : {uint8_t{61}, uint8_t{0x7F}, uint8_t{0xFF}}) {
    TRecordBytes b = PageStart();
    NoMasks(b);
    b.Int(2);
    LabelCommand(b, ciLabel, "ok");
    Header(b, type);
    TPage page;
    try {
      Load(page, b.Bytes());
      ADD_FAILURE() << "type " << int{type} << " was accepted";
    } catch (const EKestError& e) {
      EXPECT_EQ(e.what(), Utf8ToCp932("不正なコマンド")) << int{type};
    }
    EXPECT_EQ(page.Commands().Count(), 0);
  }
}

TEST(PageCommands, ComponentReadsOneExpressionPerMaskBitOfItsOwnSlot) {
  // The neighbouring slots are full, so a reader that looks at the wrong slot
  // reads expressions that are not there.
  const std::vector<uint8_t> full(21, 0xFF);
  {
    TRecordBytes b = PageStart();
    SlotMasks(b, {{ciWait, full}, {ciImgNew, full}});
    b.Int(2);
    Header(b, ciBoxNew, 2, true, true, 77);
    LabelCommand(b, ciLabel, "end");
    TPage page;
    Load(page, b.Bytes());
    ASSERT_EQ(page.Commands().Count(), 2);
    TCommand& box = At(page, 0);
    EXPECT_EQ(box.Indent, 2);
    EXPECT_TRUE(box.Skipped);
    EXPECT_TRUE(box.Continue);
    EXPECT_EQ(box.Line, 77);
    for (const auto& p : box.Field("props").Props) EXPECT_EQ(p, nullptr);
    EXPECT_EQ(LabelName(page, 1), "end");
  }
  {
    TRecordBytes b = PageStart();
    SlotMasks(b, {{ciBoxNew, {0x09}}});
    b.Int(2);
    Header(b, ciBoxNew);
    IntExpr(b, "left", 10);
    IntExpr(b, "top", 13);
    LabelCommand(b, ciLabel, "end");
    TPage page;
    Load(page, b.Bytes());
    ASSERT_EQ(page.Commands().Count(), 2);
    const auto& props = At(page, 0).Field("props").Props;
    ASSERT_EQ(props.size(), 4u) << "slots as far as the highest property stored";
    for (size_t p = 0; p < props.size(); ++p) {
      if (p == 0 || p == 3) continue;
      EXPECT_EQ(props[p], nullptr) << p;
    }
    ASSERT_NE(props[0], nullptr);
    ASSERT_NE(props[3], nullptr);
    EXPECT_EQ(Describe(*props[0]), "left=10");
    EXPECT_EQ(Describe(*props[3]), "top=13");
    EXPECT_EQ(LabelName(page, 1), "end");
  }
}

TEST(PageCommands, MaskBitsPastTheLastPropertyReadNothing) {
  std::vector<uint8_t> slot(21);
  slot[20] = 0xF0;  // properties 164 to 167; only 164 exists
  TRecordBytes b = PageStart();
  SlotMasks(b, {{ciButton, slot}});
  b.Int(2);
  Header(b, ciButton);
  IntExpr(b, "last", 164);
  LabelCommand(b, ciLabel, "end");
  TPage page;
  Load(page, b.Bytes());
  ASSERT_EQ(page.Commands().Count(), 2);
  const auto& props = At(page, 0).Field("props").Props;
  ASSERT_NE(props[164], nullptr);
  EXPECT_EQ(Describe(*props[164]), "last=164");
  EXPECT_EQ(LabelName(page, 1), "end");
}

TEST(PageCommands, FlowRecordsLoadIntoTheirFields) {
  TRecordBytes b = PageStart(116);
  NoMasks(b);
  b.Int(4);
  Header(b, ciJump, 1, false, true, 5);
  b.Str("next.ksb").Int(12);
  IntExpr(b, "c", 1);
  Header(b, ciCall, 0, true, false, 6);
  b.Str("sub.ksb").Int(3).Str("ret");
  IntExpr(b, "d", 0);
  b.Int(2);
  IntExpr(b, "a", 1);
  IntExpr(b, "b", 2);
  Header(b, ciVarNew, 0, false, false, 7);
  b.Str("score").Byte(PT_INT);
  IntExpr(b, "score", 100);
  b.Byte(2);
  LabelCommand(b, ciLabel, "end");

  TPage page;
  Load(page, b.Bytes());
  ASSERT_EQ(page.Commands().Count(), 4);
  TCommand& jump = At(page, 0);
  EXPECT_EQ(jump.Indent, 1);
  EXPECT_FALSE(jump.Skipped);
  EXPECT_TRUE(jump.Continue);
  EXPECT_EQ(jump.Line, 5);
  EXPECT_EQ(jump.Field("page").Text, "next.ksb");
  EXPECT_EQ(jump.Field("pc").Int, 12);
  EXPECT_EQ(Describe(jump.Field("cond").Expr), "c=1");

  TCommand& call = At(page, 1);
  EXPECT_TRUE(call.Skipped);
  EXPECT_EQ(call.Field("page").Text, "sub.ksb");
  EXPECT_EQ(call.Field("pc").Int, 3);
  EXPECT_EQ(call.Field("result").Text, "ret");
  EXPECT_EQ(Describe(call.Field("cond").Expr), "d=0");
  const auto& args = call.Field("args").List;
  ASSERT_EQ(args.size(), 2u);
  EXPECT_EQ(Describe(args[0]), "a=1");
  EXPECT_EQ(Describe(args[1]), "b=2");

  TCommand& var = At(page, 2);
  EXPECT_EQ(var.Line, 7);
  EXPECT_EQ(var.Field("name").Text, "score");
  EXPECT_EQ(var.Field("kind").Int, PT_INT);
  EXPECT_EQ(Describe(var.Field("value").Expr), "score=100");
  EXPECT_EQ(var.Field("scope").Int, 2);
  EXPECT_EQ(LabelName(page, 3), "end");
}

TEST(PageCommands, WaitStoresBlockEventsFrom107) {
  for (int32_t version : {106, 107}) {
    TRecordBytes b = PageStart(version);
    NoMasks(b);
    b.Int(2);
    Header(b, ciWait);
    IntExpr(b, "c", 1);
    IntExpr(b, "t", 30);
    if (version >= 107) IntExpr(b, "k", 1);
    LabelCommand(b, ciLabel, "end");
    TPage page;
    Load(page, b.Bytes());
    ASSERT_EQ(page.Commands().Count(), 2) << version;
    TCommand& wait = At(page, 0);
    EXPECT_EQ(Describe(wait.Field("cond").Expr), "c=1");
    EXPECT_EQ(Describe(wait.Field("time").Expr), "t=30");
    EXPECT_EQ(Describe(wait.Field("block").Expr), version >= 107 ? "k=1" : "");
    EXPECT_EQ(LabelName(page, 1), "end") << version;
  }
}

TEST(PageCommands, GameSaveStoresItsPcFrom105) {
  for (int32_t version : {104, 105}) {
    TRecordBytes b = PageStart(version);
    NoMasks(b);
    b.Int(2);
    Header(b, ciGameSave);
    IntExpr(b, "slot", 4);
    b.Str("save.ksb");
    if (version >= 105) b.Int(9);
    IntExpr(b, "title", 1);
    LabelCommand(b, ciLabel, "end");
    TPage page;
    Load(page, b.Bytes());
    ASSERT_EQ(page.Commands().Count(), 2) << version;
    TCommand& save = At(page, 0);
    EXPECT_EQ(Describe(save.Field("slot").Expr), "slot=4");
    EXPECT_EQ(save.Field("page").Text, "save.ksb");
    EXPECT_EQ(save.Field("pc").Int, version >= 105 ? 9 : 0);
    EXPECT_EQ(Describe(save.Field("title").Expr), "title=1");
    EXPECT_EQ(LabelName(page, 1), "end") << version;
  }
}

class PageVersions : public ::testing::Test {
 protected:
  void SetUp() override { ResetAppGlobals(); }
  void TearDown() override { ResetAppGlobals(); }
};

TEST_F(PageVersions, BelowOldestAsksForARebuildAndStops) {
  TRecordBytes b = PageStart(102);
  NoMasks(b);
  b.Int(1);
  LabelCommand(b, ciLabel, "never");
  TRecordingUi ui;
  TPage page;
  Load(page, b.Bytes(), "old.ksb", &ui);
  EXPECT_EQ(page.Commands().Count(), 0);
  EXPECT_TRUE(AppTerminating);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0], "old.ksb\r\n" + Utf8ToCp932("リビルドしてください"));
  EXPECT_EQ(ui.Icons[0], TMessageIcon::Warning);

  ResetAppGlobals();
  TPage quiet;
  Load(quiet, PageStart(0).Bytes(), "old.ksb", nullptr);
  EXPECT_EQ(quiet.Commands().Count(), 0);
  EXPECT_TRUE(AppTerminating);
}

TEST_F(PageVersions, AboveNewestGivesAnEmptyPage) {
  // What follows the version is not even looked at.
  TRecordBytes b = PageStart(117);
  b.Int(-1).Int(-1);
  TRecordingUi ui;
  TPage page;
  Load(page, b.Bytes(), "new.ksb", &ui);
  EXPECT_EQ(page.Commands().Count(), 0);
  EXPECT_FALSE(AppTerminating);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(PageVersions, OldestAndNewestAreRead) {
  for (int32_t version : {103, 116}) {
    TRecordBytes b = PageStart(version);
    NoMasks(b);
    b.Int(1);
    LabelCommand(b, ciLabel, "here");
    TPage page;
    Load(page, b.Bytes());
    EXPECT_EQ(page.Version, version);
    EXPECT_EQ(page.Commands().Count(), 1) << version;
  }
  EXPECT_FALSE(AppTerminating);
}

TEST(PageLabels, FindLabelTakesTheFirstExactLabel) {
  TRecordBytes b = PageStart();
  NoMasks(b);
  b.Int(6);
  LabelCommand(b, ciLabel, "Start");
  LabelCommand(b, ciLabel, "start");
  LabelCommand(b, ciComment, "Note");
  LabelCommand(b, ciLabel, "Start");
  LabelCommand(b, ciLabel, "Note");
  LabelCommand(b, ciComment, "Only");
  TPage page;
  Load(page, b.Bytes());
  const TComList& list = page.Commands();
  EXPECT_EQ(list.FindLabel("Start"), 0);
  EXPECT_EQ(list.FindLabel("start"), 1);
  EXPECT_EQ(list.FindLabel("START"), -1);
  EXPECT_EQ(list.FindLabel("Note"), 4);
  EXPECT_EQ(list.FindLabel("Only"), -1);
  EXPECT_EQ(list.FindLabel(""), -1);
}

TEST(PageLifetime, FreeingThePageDeletesItsPageVariables) {
  TParamCollection vars;
  vars.CreateVar(TParamCollection::PageVarName("start.ksb"), PT_INT, PS_GLOBAL);
  vars.CreateVar(TParamCollection::PageVarName("other.ksb"), PT_INT, PS_GLOBAL);
  vars.CreateVar("start", PT_INT, PS_GLOBAL);
  TRecordBytes b = PageStart();
  NoMasks(b);
  b.Int(0);
  {
    TPage page(&vars);
    Load(page, b.Bytes(), "start.ksb");
    EXPECT_NE(vars.FindVar(TParamCollection::PageVarName("start.ksb")), nullptr);
  }
  EXPECT_EQ(vars.FindVar(TParamCollection::PageVarName("start.ksb")), nullptr);
  EXPECT_NE(vars.FindVar(TParamCollection::PageVarName("other.ksb")), nullptr);
  EXPECT_NE(vars.FindVar("start"), nullptr);
}

}  // namespace
}  // namespace kest
