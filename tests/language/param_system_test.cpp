#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/sjis.h"
#include "fake_hosts.h"
#include "language/param_collection.h"
#include "language/param_system.h"
#include "language/param_var.h"
#include "language/system_variables.h"
#include "language/typed_param.h"

namespace kest {
namespace {

class SystemVariables : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAppGlobals();
    Store.Hosts = Hosts.All();
    Store.Hosts.Clock = &Game;
    Clock.Follow(&Game);
    Store.SetDateClock(&Clock);
  }
  void TearDown() override { ResetAppGlobals(); }

  TCustomParam& Var(uint8_t id) { return *Store.SystemVar(id)->Value(); }

  test::FakeHosts Hosts;
  TGameClock Game;
  TPinnedDateClock Clock = *TPinnedDateClock::Parse("2024-02-29T23:59:58");
  TParamCollection Store;
};

TEST_F(SystemVariables, TableMatchesTheStore) {
  const auto table = SysVarTable();
  ASSERT_EQ(table.size(), 51u);
  for (uint8_t id = 0; id < kSysVarCount; ++id) {
    auto* value = dynamic_cast<TParamSystem*>(Store.Items(id)->Value());
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->SysId(), id);
    EXPECT_EQ(Store.Items(id)->Name(), table[id].Name);
    EXPECT_TRUE(Store.Items(id)->IsSystem());
    if (table[id].Type != PT_NONE) {
      EXPECT_EQ(value->ParamType(), table[id].Type) << table[id].Name;
    }
  }
}

TEST_F(SystemVariables, ReadFromTheHosts) {
  auto& s = Hosts.Scene;
  s.LClick = true, s.RPush = true, s.X = 320, s.Y = -4, s.Dither = true, s.Sound = true, s.Active = "btn";
  s.Down = true;
  Hosts.History.Count = 12, Hosts.History.MaxCount = 100;
  Hosts.CallStack.Params = {"a", "b"}, Hosts.CallStack.Sender = "img", Hosts.CallStack.Stack = 3;
  Hosts.Project.Width = 800, Hosts.Project.Height = 600, Hosts.Project.Name = "\x83\x51\x81\x5B\x83\x80";
  Hosts.Screen.Full = true, Hosts.Screen.Modes = 4, Hosts.Screen.Mode = 2;
  Hosts.Midi.Ports = {"FluidSynth", "Other"}, Hosts.Midi.Port = "FluidSynth";
  EXPECT_TRUE(Var(SV_LCLICK).GetAsFlag());
  EXPECT_FALSE(Var(SV_RCLICK).GetAsFlag());
  EXPECT_FALSE(Var(SV_LPUSH).GetAsFlag());
  EXPECT_TRUE(Var(SV_RPUSH).GetAsFlag());
  EXPECT_EQ(Var(SV_MOUSEX).GetAsInt(), 320);
  EXPECT_EQ(Var(SV_MOUSEY).GetAsStr(), "-4");
  EXPECT_EQ(Var(SV_TEXTDELAY).GetAsInt(), 50);
  EXPECT_EQ(Var(SV_HISTORYCOUNT).GetAsInt(), 12);
  EXPECT_EQ(Var(SV_PARAMCOUNT).GetAsInt(), 2);
  EXPECT_EQ(Var(SV_SENDER).GetAsStr(), "img");
  EXPECT_EQ(Var(SV_SCRWIDTH).GetAsInt(), 800);
  EXPECT_EQ(Var(SV_SCRHEIGHT).GetAsFloat(), 600.0L);
  EXPECT_TRUE(Var(SV_FULLSCR).GetAsFlag());
  EXPECT_TRUE(Var(SV_CGDITHER).GetAsFlag());
  EXPECT_EQ(Var(SV_DISPLAYMODECOUNT).GetAsInt(), 4);
  EXPECT_EQ(Var(SV_DISPLAYMODEINDEX).GetAsInt(), 2);
  EXPECT_EQ(Var(SV_TITLE).GetAsStr(), "\x83\x51\x81\x5B\x83\x80");
  EXPECT_EQ(Var(SV_SOUNDON).GetAsStr(), "TRUE");
  EXPECT_EQ(Var(SV_ACTIVECOMPO).GetAsStr(), "btn");
  EXPECT_EQ(Var(SV_HISTORYMAXCOUNT).GetAsInt(), 100);
  EXPECT_EQ(Var(SV_MIDIPORT).GetAsStr(), "FluidSynth");
  EXPECT_TRUE(Var(SV_WHEELDOWN).GetAsFlag());
  EXPECT_FALSE(Var(SV_WHEELUP).GetAsFlag());
  EXPECT_FALSE(Var(SV_ISDEBUG).GetAsFlag());
  EXPECT_EQ(Var(SV_STACKCOUNT).GetAsInt(), 3);
}

TEST_F(SystemVariables, StoreValuesAndConstants) {
  Store.CursorName = "wait.cur", Store.SelStr = "item", Store.SelIndex = 5;
  EXPECT_EQ(Var(SV_CURSOR).GetAsStr(), "wait.cur");
  EXPECT_EQ(Var(SV_SELSTR).GetAsStr(), "item");
  EXPECT_EQ(Var(SV_SELINDEX).GetAsInt(), 5);
  EXPECT_EQ(Var(SV_PI).GetAsFloat(), std::numbers::pi_v<long double>);
  EXPECT_EQ(Var(SV_PI).GetAsStr(), "3.14159265358979");
  EXPECT_EQ(Var(SV_1HOUR).GetAsFloat(), 1.0L / 24);
  EXPECT_EQ(Var(SV_1MIN).GetAsFloat(), 1.0L / 1440);
  EXPECT_EQ(Var(SV_1SEC).GetAsFloat(), 1.0L / 86400);
}

TEST_F(SystemVariables, ClocksAndThePinnedDate) {
  Game.GameTime = 2500;
  Game.FrameCount = 77;
  EXPECT_EQ(Var(SV_TICKCOUNT).GetAsInt(), 2500);
  EXPECT_EQ(Var(SV_PCTICKCOUNT).GetAsInt(), 2500);
  EXPECT_EQ(Var(SV_UPDATECOUNT).GetAsInt(), 77);
  // 23:59:58 plus 2.5 s of game time is the next day, a Friday.
  EXPECT_EQ(Var(SV_YEAR).GetAsInt(), 2024);
  EXPECT_EQ(Var(SV_MONTH).GetAsInt(), 3);
  EXPECT_EQ(Var(SV_DAY).GetAsInt(), 1);
  EXPECT_EQ(Var(SV_WEEK).GetAsInt(), 6);
  EXPECT_EQ(Var(SV_HOUR).GetAsInt(), 0);
  EXPECT_EQ(Var(SV_MIN).GetAsInt(), 0);
  EXPECT_EQ(Var(SV_SEC).GetAsInt(), 0);
  Game.GameTime = int64_t{1} << 32 | 5;
  EXPECT_EQ(Var(SV_TICKCOUNT).GetAsInt(), 5);  // the low 32 bits
}

TEST(DateClock, ParseRefusesImpossibleDates) {
  EXPECT_TRUE(TPinnedDateClock::Parse("2023-12-31").has_value());
  EXPECT_TRUE(TPinnedDateClock::Parse("2023-12-31 10:00:00").has_value());
  EXPECT_FALSE(TPinnedDateClock::Parse("2023-02-29").has_value());
  EXPECT_FALSE(TPinnedDateClock::Parse("2023-13-01").has_value());
  EXPECT_FALSE(TPinnedDateClock::Parse("2023-01-01T24:00:00").has_value());
  EXPECT_FALSE(TPinnedDateClock::Parse("2023-1-1").has_value());
  EXPECT_FALSE(TPinnedDateClock::Parse("").has_value());
  ResetAppGlobals();
  TPinnedDateClock clock = *TPinnedDateClock::Parse("1999-12-31");
  EXPECT_EQ(clock.Now().Week, 6);  // a Friday
  TSystemDateClock host;
  const TLocalDateTime now = host.Now();
  EXPECT_GE(now.Week, 1);
  EXPECT_LE(now.Week, 7);
}

TEST_F(SystemVariables, WritesReachTheirOwners) {
  Hosts.Scene.Controls = {"edit"};
  Var(SV_LCLICK).SetAsInt(1);
  Var(SV_RCLICK).SetAsFlag(true);
  Var(SV_MOUSEX).SetAsInt(10);
  Var(SV_MOUSEY).SetAsFloat(20.7L);
  Var(SV_TEXTDELAY).SetAsStr("15");
  Var(SV_FULLSCR).SetAsFlag(true);
  Var(SV_CURSOR).SetAsStr("x.cur");
  Var(SV_SELSTR).SetAsInt(3);
  Var(SV_SELINDEX).SetAsInt(-1);
  Var(SV_CGDITHER).SetAsFlag(true);
  Var(SV_DISPLAYMODEINDEX).SetAsInt(1);
  Var(SV_SOUNDON).SetAsFlag(true);
  Var(SV_ACTIVECOMPO).SetAsStr("edit");
  Var(SV_ACTIVECOMPO).SetAsStr("nothing");
  Var(SV_HISTORYMAXCOUNT).SetAsInt(30);
  Var(SV_MIDIPORT).SetAsStr("Other");
  EXPECT_TRUE(Hosts.Scene.LClick);
  EXPECT_TRUE(Hosts.Scene.RClick);
  EXPECT_EQ(Hosts.Screen.CursorXs, std::vector<int32_t>({10}));
  EXPECT_EQ(Hosts.Screen.CursorYs, std::vector<int32_t>({20}));
  EXPECT_EQ(Store.TextDelay, 15);
  EXPECT_TRUE(Hosts.Screen.Full);
  EXPECT_EQ(Store.CursorName, "x.cur");
  EXPECT_EQ(Store.SelStr, "3");
  EXPECT_EQ(Store.SelIndex, -1);
  EXPECT_TRUE(Hosts.Scene.Dither);
  EXPECT_EQ(Hosts.Screen.Mode, 1);
  EXPECT_TRUE(Hosts.Scene.Sound);
  EXPECT_EQ(Hosts.Scene.Active, "edit");
  EXPECT_EQ(Hosts.History.MaxCount, 30);
  EXPECT_EQ(Hosts.Midi.Port, "Other");
}

TEST_F(SystemVariables, ReadOnlyVariablesIgnoreWrites) {
  Hosts.Project.Width = 640;
  Game.GameTime = 9;
  for (uint8_t id = 0; id < kSysVarCount; ++id) {
    if (!SysVarTable()[id].ReadOnly) continue;
    SCOPED_TRACE(SysVarTable()[id].Name);
    const std::string before = Var(id).GetAsStr();
    Var(id).SetAsInt(12345);
    Var(id).SetAsStr("TRUE");
    Var(id).SetInt(0, 1);
    Var(id).FillInt(3);
    EXPECT_EQ(Var(id).GetAsStr(), before);
  }
  EXPECT_EQ(Var(SV_SCRWIDTH).GetAsInt(), 640);
  EXPECT_TRUE(Hosts.Screen.CursorXs.empty());
}

// A flag system variable given text takes the integer rule; element writes
// take "TRUE" as every flag does.
TEST_F(SystemVariables, FlagsGivenText) {
  Var(SV_LCLICK).SetAsStr("TRUE");
  EXPECT_FALSE(Hosts.Scene.LClick);
  Var(SV_LCLICK).SetAsStr("1");
  EXPECT_TRUE(Hosts.Scene.LClick);
  Var(SV_LCLICK).SetStr(0, "1");
  EXPECT_FALSE(Hosts.Scene.LClick);
  Var(SV_LCLICK).SetStr(5, "TRUE");
  EXPECT_TRUE(Hosts.Scene.LClick);
}

TEST_F(SystemVariables, KeyTables) {
  Hosts.Scene.Push[13] = true;
  Hosts.Scene.Click[27] = true;
  Hosts.Scene.Repeat[38] = true;
  Hosts.Scene.Up = true;
  for (uint8_t id : {SV_KEYPUSH, SV_KEYCLICK, SV_KEYREPEAT}) {
    EXPECT_EQ(Var(id).Count(), 258);
    EXPECT_EQ(Var(id).DimCount(), 1);
    EXPECT_EQ(Var(id).GetDim(0), 258);
    EXPECT_EQ(Var(id).GetDim(1), 1);
    EXPECT_FALSE(Var(id).GetAsFlag());
    EXPECT_FALSE(Var(id).GetFlag(256));
    EXPECT_TRUE(Var(id).GetFlag(257));
    EXPECT_FALSE(Var(id).GetFlag(300));
    EXPECT_FALSE(Var(id).GetFlag(-1));
  }
  EXPECT_TRUE(Var(SV_KEYPUSH).GetFlag(13));
  EXPECT_FALSE(Var(SV_KEYPUSH).GetFlag(27));
  EXPECT_TRUE(Var(SV_KEYCLICK).GetFlag(27));
  EXPECT_EQ(Var(SV_KEYREPEAT).GetStr(38), "TRUE");
  EXPECT_EQ(Var(SV_KEYPUSH).IndexOfStr("TRUE", true, false), 13);
}

TEST_F(SystemVariables, NameLists) {
  Hosts.CallStack.Params = {"one", "two"};
  EXPECT_EQ(Var(SV_PARAMSTR).Count(), 2);
  EXPECT_EQ(Var(SV_PARAMSTR).GetAsStr(), "");
  EXPECT_EQ(Var(SV_PARAMSTR).GetStr(1), "two");
  EXPECT_EQ(Var(SV_PARAMSTR).GetStr(2), "");
  EXPECT_EQ(Var(SV_PARAMSTR).GetStr(-1), "");
  EXPECT_EQ(Var(SV_MIDIPORTS).Count(), 0);
  Hosts.Midi.Ports = {"p0"};
  EXPECT_EQ(Var(SV_MIDIPORTS).GetStr(0), "p0");
  EXPECT_EQ(Var(SV_MIDIPORTS).GetAsStr(), "");
  // Scalars answer whatever index is asked.
  Hosts.Scene.X = 8;
  EXPECT_EQ(Var(SV_MOUSEX).GetInt(99), 8);
}

TEST_F(SystemVariables, FontListsAreSortedAndTrimmed) {
  Hosts.Screen.Fonts = {"IPAPGothic", " IPAGothic", "\x82\x6C\x82\x72 \x96\xBE\x92\xA9", "ipaMincho"};
  Hosts.Screen.FixedFonts = {"IPAGothic"};
  // Sorted by folded name (the leading blank sorts first, then goes with the trim).
  EXPECT_EQ(Var(SV_FONTS).GetAsStr(), "IPAGothic\r\nipaMincho\r\nIPAPGothic\r\n\x82\x6C\x82\x72 \x96\xBE\x92\xA9");
  EXPECT_EQ(Var(SV_FIXEDFONTS).GetAsStr(), "IPAGothic");
}

TEST_F(SystemVariables, ResultForwardsToTheTopFrame) {
  EXPECT_EQ(Var(SV_RESULT).GetAsInt(), 0);
  EXPECT_EQ(Var(SV_RESULT).Count(), 1);
  Var(SV_RESULT).SetAsInt(5);
  Hosts.CallStack.PageType = PT_STR;
  EXPECT_EQ(Var(SV_RESULT).ParamType(), PT_STR);
  TParamFloat result;
  Hosts.CallStack.Result = &result;
  Var(SV_RESULT).SetAsStr("2.5");
  EXPECT_EQ(result.GetAsFloat(), 2.5L);
  const int32_t dims[] = {4};
  Var(SV_RESULT).SetDims(dims);
  Var(SV_RESULT).SetFloat(3, 1.0L);
  EXPECT_EQ(result.Count(), 4);
  EXPECT_EQ(Var(SV_RESULT).GetFloat(3), 1.0L);
  EXPECT_EQ(Var(SV_RESULT).ParamType(), PT_STR) << "the running page's kind, not the frame value's";
}

TEST_F(SystemVariables, TempStandsForANamedVariable) {
  EXPECT_EQ(Var(SV_TEMP).ParamType(), PT_NONE);
  EXPECT_EQ(Var(SV_TEMP).GetAsStr(), "");
  EXPECT_EQ(Var(SV_TEMP).Count(), 1);
  EXPECT_FALSE(Store.AssignTemp("nothing"));
  TParamCollectionItem* item = Store.AddVar(PT_STR);
  item->SetName("name");
  ASSERT_TRUE(Store.AssignTemp("NAME"));
  Var(SV_TEMP).SetAsStr("Kest");
  EXPECT_EQ(item->Value()->GetAsStr(), "Kest");
  EXPECT_EQ(Var(SV_TEMP).ParamType(), PT_STR);
  // @Temp never stands for itself, directly or through a reference.
  EXPECT_FALSE(Store.AssignTemp("@temp"));
  EXPECT_EQ(Store.TempTarget, "NAME");
  TParamCollectionItem* loop = Store.AddVar(PT_NONE);
  loop->SetName("loop");
  const int32_t zero[] = {0};
  static_cast<TParamVar*>(loop->Value())->SetReference("@Temp", zero);
  ASSERT_TRUE(Store.AssignTemp("loop"));
  EXPECT_EQ(Var(SV_TEMP).GetAsStr(), "");
  Var(SV_TEMP).SetAsInt(1);
  EXPECT_EQ(Var(SV_TEMP).Count(), 1);
}

TEST_F(SystemVariables, WithoutHostsReadEmptyAndIgnoreWrites) {
  TParamCollection bare;
  for (uint8_t id = 0; id < kSysVarCount; ++id) {
    TCustomParam& v = *bare.SystemVar(id)->Value();
    EXPECT_NO_THROW(v.GetAsStr());
    EXPECT_NO_THROW(v.SetAsInt(1));
    EXPECT_NO_THROW(v.GetStr(3));
  }
  EXPECT_EQ(bare.SystemVar(SV_MOUSEX)->GetAsInt(), 0);
  EXPECT_EQ(bare.SystemVar(SV_TEXTDELAY)->GetAsInt(), 1);
}

TEST(SystemVariable, IdsBeyondTheTableAreAnInternalError) {
  TParamCollection store;
  TParamSystem stray(&store, 51);
  try {
    stray.GetAsInt();
    FAIL();
  } catch (const EKestError& e) {
    EXPECT_EQ(Cp932ToUtf8(e.what()), "内部エラー");
  }
  EXPECT_THROW(stray.SetAsInt(1), EKestError);
  EXPECT_THROW(stray.Count(), EKestError);
}

}  // namespace
}  // namespace kest
