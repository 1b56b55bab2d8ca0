#include "script/call_man.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/sjis.h"
#include "common/trace.h"
#include "language/param_collection.h"
#include "language/param_types.h"
#include "language/sys_func_man.h"
#include "page_builder.h"
#include "project_fixture.h"
#include "script/page.h"
#include "storage/vr_file_manager.h"
#include "support/temp_files.h"

namespace kest {
namespace {

using test::TPageBuilder;

// The trace lines written while it lives.
class TTraceLog {
 public:
  TTraceLog() {
    Trace().SetRecorder([this](TTraceSink::TKind kind, std::string_view line) {
      if (kind == TTraceSink::TKind::Line) Lines.emplace_back(line);
    });
  }
  ~TTraceLog() { Trace().SetRecorder(nullptr); }
  std::vector<std::string> Lines;
};

struct TClosingGame : IGameHost {
  void CloseMainWindow() override { ++Closes; }
  int Closes = 0;
};

class CallManTest : public ::testing::Test {
 protected:
  CallManTest() : Files(NoDiscs()) {}

  static TVrFileManager::TOptions NoDiscs() {
    TVrFileManager::TOptions options;
    options.MountTable = "/nonexistent";
    return options;
  }

  void SetUp() override {
    ResetAppGlobals();
    AppTerminating = false;
    Files.SetBaseFolder(Dir.Path());
  }
  void TearDown() override { Trace().SetRecorder(nullptr); }

  // The game folder's pages, the fixture's functions and sender, and the
  // store and event queue given.
  TCallManParts Parts(TParamCollection& vars, TTimerList& events) {
    TCallManParts parts;
    parts.Files = &Files;
    parts.Vars = &vars;
    parts.Funcs = &Funcs;
    parts.Events = &events;
    parts.FindSender = [this](const std::string& name) { return name == Sender->Name ? Sender : nullptr; };
    parts.Hosts.Game = &Game;
    parts.Ui = &Ui;
    parts.Clock = &Clock;
    return parts;
  }
  TCallMan& Man() {
    if (!FMan) FMan = std::make_unique<TCallMan>(Parts(Vars, Events));
    return *FMan;
  }
  void Write(TPageBuilder& page) { page.WriteTo(Dir.Path()); }
  void Start(const std::string& page = "start.ksb") { Man().LoadStartPage(page); }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      Clock.Advance(15);
      Man().RunTick();
    }
  }
  int32_t Int(const std::string& name) {
    const TParamCollectionItem* v = Vars.FindVar(name);
    return v ? v->Value()->GetAsInt() : INT_MIN;
  }
  std::string Str(const std::string& name) {
    const TParamCollectionItem* v = Vars.FindVar(name);
    return v ? v->Value()->GetAsStr() : "<none>";
  }
  void Global(const std::string& name, uint8_t kind = PT_INT) { Vars.CreateVar(name, kind, PS_GLOBAL); }
  void Post(const std::string& reference) {
    TTimerData record;
    record.Reference = reference;
    record.Sender = TObjectRef(Sender);
    Events.PostEvent(std::move(record));
  }
  // Ten other pages, fetched to the front: the pages used before leave the
  // cache (all but the current one).
  void FillCache() {
    for (int i = 0; i < TCallMan::kPageCacheSize; ++i) {
      const std::string name = "f" + std::to_string(i) + ".ksb";
      TPageBuilder filler(name);
      filler.Wait("0");
      Write(filler);
      Man().GetPage(name, true);
    }
  }
  // Runs ticks until the variable is set; the tick it happened on, or 0.
  int TickWhen(const std::string& name, int limit) {
    for (int t = 1; t <= limit; ++t) {
      Tick();
      if (Int(name) == 1) return t;
    }
    return 0;
  }

  test::TTempDir Dir;
  TGameClock Clock;
  TVrFileManager Files;
  TParamCollection Vars;
  TSysFuncMan Funcs;
  TTimerList Events;
  TObjectHandle Sender = std::make_shared<TObjectLife>(TObjectLife{"btn"});
  TClosingGame Game;
  test::TAnsweringUi Ui;
  std::unique_ptr<TCallMan> FMan;
};

TEST_F(CallManTest, ContinueFlagsDecideWhereTheTickEnds) {
  Global("n");
  TPageBuilder all("start.ksb");
  for (int i = 0; i < 100; ++i) all.Calc("n = n + 1");
  Write(all);
  Start();
  Tick();
  EXPECT_EQ(Int("n"), 100) << "every command continues: the whole page in one tick";

  TPageBuilder tenth("tenth.ksb");
  for (int i = 0; i < 100; ++i) tenth.Calc("n = n + 1", 0, i != 9);
  Write(tenth);
  Vars.FindVar("n")->Value()->SetAsInt(0);
  Start("tenth.ksb");
  Tick();
  EXPECT_EQ(Int("n"), 10);
  Tick();
  EXPECT_EQ(Int("n"), 100);
}

TEST_F(CallManTest, IfElseifElseFollowIndents) {
  for (const char* name : {"x", "r", "after", "t"}) Global(name);
  Vars.FindVar("x")->Value()->SetAsInt(5);
  TPageBuilder p("start.ksb");
  p.If("x == 1").Calc("r = 1", 1).Elseif("x == 5").Calc("r = 2", 1).Calc("r = r * 10", 1).Else().Calc("r = 3", 1);
  p.Calc("after = 1");
  // True block running to its end skips the Elseif and the Else after it.
  p.If("x == 5").Calc("t = 1", 1).Elseif("TRUE").Calc("t = 2", 1).Else().Calc("t = 3", 1);
  // False with no Elseif/Else: on after the block, nested blocks skipped too.
  p.If("x == 0").If("TRUE", 1).Calc("t = 99", 2).Calc("t = 98", 1);
  // An empty condition is false: the Else block runs.
  p.Add(ciIf, 0);
  p.Calc("t = 97", 1).Else().Calc("t = t + 10", 1);
  Write(p);
  Start();
  Tick();
  EXPECT_EQ(Int("r"), 20);
  EXPECT_EQ(Int("after"), 1);
  EXPECT_EQ(Int("t"), 11);
}

TEST_F(CallManTest, NestedLoopsWithBreakAndContinue) {
  for (const char* name : {"i", "j", "count", "skips"}) Global(name);
  TPageBuilder p("start.ksb");
  p.While("i = 0", "i < 10");
  p.Break("i == 7", 1);
  p.While("j = 0", "j < 10", 1);
  p.Calc("skips = skips + 1", 2);
  p.Continue("j == 2", 2);
  p.Break("j == 5", 2);
  p.Calc("count = count + 1", 2);
  p.EndWhile("j = j + 1", 1);
  p.EndWhile("i = i + 1");
  p.Calc("j = 100");
  Write(p);
  Start();
  Tick();
  EXPECT_EQ(Int("count"), 7 * 4) << "j = 0, 1, 3, 4 for i = 0..6";
  EXPECT_EQ(Int("skips"), 7 * 6);
  EXPECT_EQ(Int("i"), 7);
  EXPECT_EQ(Int("j"), 100);
}

TEST_F(CallManTest, NegativeLoopTargetsEndThePage) {
  Global("n");
  TPageBuilder p("start.ksb");
  TCommand& brk = p.Expr(ciBreak, "cond", "TRUE");
  brk.Field("target").Int = -1;
  p.Calc("n = 1");
  Write(p);
  Start();
  Tick();
  EXPECT_EQ(Int("n"), 0);
  EXPECT_EQ(Man().CurrentPage(), nullptr);
}

TEST_F(CallManTest, WaitEndsOnTheTickItsTimeRunsOut) {
  Global("done");
  TPageBuilder p("start.ksb");
  p.Wait("100").Calc("done = 1");
  Write(p);
  Start();
  // The first tick does not count down; then 15 ms a tick: 7 x 15 >= 100.
  EXPECT_EQ(TickWhen("done", 50), 8);

  TPageBuilder second("second.ksb");
  second.Wait("1000").Calc("done = 1");
  Write(second);
  Vars.FindVar("done")->Value()->SetAsInt(0);
  Start("second.ksb");
  EXPECT_EQ(TickWhen("done", 100), 68);
}

TEST_F(CallManTest, WaitConditions) {
  Global("done");
  Global("go");
  TPageBuilder p("start.ksb");
  p.Wait("1000", "FALSE").Calc("done = 1");
  Write(p);
  Start();
  EXPECT_EQ(TickWhen("done", 5), 1) << "a false condition ends the wait at once";

  TPageBuilder forever("forever.ksb");
  forever.Wait("0", "go == 0").Calc("done = 1");
  Write(forever);
  Vars.FindVar("done")->Value()->SetAsInt(0);
  Start("forever.ksb");
  EXPECT_EQ(TickWhen("done", 30), 0) << "no time: waits while the condition holds";
  Vars.FindVar("go")->Value()->SetAsInt(1);
  EXPECT_EQ(TickWhen("done", 2), 1);
}

TEST_F(CallManTest, CallWithArgumentsAndAResult) {
  Global("fib");
  TPageBuilder fib("fib.ksb");
  fib.Result(PT_INT);
  fib.VarNew("n", PT_INT, "@ParamStr[0]", PS_LOCAL);
  fib.If("n < 2").Calc("@Result = n", 1).Exit("TRUE", 1);
  fib.VarNew("a", PT_INT, "0", PS_LOCAL).VarNew("b", PT_INT, "0", PS_LOCAL);
  fib.Call("fib.ksb", 0, {"n - 1"}, "a").Call("fib.ksb", 0, {"n - 2"}, "b");
  fib.Calc("@Result = a + b");
  Write(fib);
  TPageBuilder start("start.ksb");
  start.Call("fib.ksb", 0, {"20"}, "fib");
  start.Call("fib.ksb", 0, {"1"}, "fib", "FALSE");
  Write(start);
  Start();
  Tick();
  EXPECT_EQ(Int("fib"), 6765);
  EXPECT_EQ(Man().Stack().Count(), 0);
  EXPECT_EQ(Vars.FindVar("n"), nullptr) << "locals go with their call";
}

TEST_F(CallManTest, ACallWithoutAResultKeepsItsVariableAndSavesItsFrame) {
  Global("v");
  Global("after");
  Vars.FindVar("v")->Value()->SetAsInt(5);
  TPageBuilder none("none.ksb");
  none.Result(PT_NONE).Wait("30");
  Write(none);
  TPageBuilder start("start.ksb");
  start.Call("none.ksb", 0, {}, "v").Calc("after = 1");
  Write(start);
  Start();
  Tick();
  ASSERT_EQ(Man().Stack().Count(), 1);
  TByteStream saved;
  Man().SaveState(saved);
  TByteStream again(saved.Bytes());
  Man().LoadState(again, 140);
  EXPECT_EQ(again.Position(), again.Size()) << "the frame holds no result value to read";
  EXPECT_EQ(TickWhen("after", 10), 2);
  EXPECT_EQ(Int("v"), 5) << "no result: the variable keeps its value";
}

TEST_F(CallManTest, TheResultHasTheRunningPagesKind) {
  for (const char* name : {"spaced", "plain"}) Global(name);
  TPageBuilder number("number.ksb");
  number.Result(PT_INT).Calc("@Result = 5").Jump("text.ksb", 0);
  Write(number);
  TPageBuilder text("text.ksb");
  text.Result(PT_STR).Calc("spaced = @Result == \" 5\"").Calc("plain = @Result == \"5\"");
  Write(text);
  TPageBuilder start("start.ksb");
  start.Call("number.ksb", 0, {}, "");
  Write(start);
  Start();
  Tick();
  EXPECT_EQ(Int("spaced"), 0) << "compared as text, not as the integer 5";
  EXPECT_EQ(Int("plain"), 1);
}

TEST_F(CallManTest, AResultWithQuotesReachesAnArrayElementThroughText) {
  Global("q", PT_STR);
  Vars.FindVar("q")->Value()->SetAsStr("a\"b\\c\\n");
  Global("arr", PT_STR);
  Vars.FindVar("arr")->Value()->SetCount(3);
  TPageBuilder callee("r.ksb");
  callee.Result(PT_STR).Calc("@Result = q");
  Write(callee);
  TPageBuilder start("start.ksb");
  start.Call("r.ksb", 0, {}, "arr[1]");
  Write(start);
  Start();
  Tick();
  EXPECT_EQ(Vars.FindVar("arr")->Value()->GetStr(1), "a\"b\\c\\n");
}

TEST_F(CallManTest, JumpAcrossPagesToALabel) {
  Global("n");
  TPageBuilder other("other.ksb");
  other.Calc("n = n + 100").Label("there").Calc("n = n + 1").Jump("start.ksb", 3);
  Write(other);
  TPageBuilder start("start.ksb");
  start.Jump("other.ksb", 1).Calc("n = n + 1000").Label("back").Calc("n = n * 2");
  Write(start);
  Start();
  Tick();
  EXPECT_EQ(Int("n"), 2);
  EXPECT_EQ(Man().Pages().size(), 2u);
}

TEST_F(CallManTest, PagesThatCannotLoadChangeNothing) {
  Global("n");
  std::ofstream(Dir / "bad.ksb", std::ios::binary) << std::string("\x74\x00\x00\x00\x01\x3d\x00\x00", 8);
  TPageBuilder p("start.ksb");
  p.Calc("n = n + 1").Jump("bad.ksb", 0).Calc("n = n + 10").Call("bad.ksb", 0, {}, "").Calc("n = n + 100");
  p.Jump("gone.ksb", 0).Jump("gone.ksb", 0);
  Write(p);
  Start();
  Tick();
  EXPECT_EQ(Int("n"), 111) << "no restart at 0, no frame left behind";
  EXPECT_EQ(Man().Stack().Count(), 0);
  ASSERT_EQ(Ui.Messages.size(), 2u) << "the player is told of each page once, whatever reaches it";
  EXPECT_EQ(Ui.Messages[0].rfind("bad.ksb", 0), 0u) << Cp932ToUtf8(Ui.Messages[0]);
  EXPECT_EQ(Ui.Messages[1], "gone.ksb" + Utf8ToCp932(":ファイルがありません"));

  Post("bad.kst");
  Tick(3);
  EXPECT_EQ(Man().Stack().Count(), 0) << "no frame leaked per tick";
  EXPECT_EQ(Events.Count(), 0) << "a handler page that cannot be read is dropped";
}

TEST_F(CallManTest, ACommandThatStaysOnItsPcEndsTheTick) {
  Global("n");
  TPageBuilder p("start.ksb");
  p.Calc("n = n + 1").Jump("start.ksb", 1);
  Write(p);
  Start();
  Tick(3);
  EXPECT_EQ(Int("n"), 1);
}

TEST_F(CallManTest, AnEventDuringAWaitRunsAndTheWaitKeepsItsTime) {
  for (const char* name : {"done", "hits"}) Global(name);
  TPageBuilder h("h.ksb");
  h.Calc("hits = hits + 1");
  Write(h);
  TPageBuilder p("start.ksb");
  p.Wait("300").Calc("done = 1");
  Write(p);
  Start();
  Tick(4);
  Post("h.kst");
  Tick();
  EXPECT_EQ(Int("hits"), 1);
  EXPECT_EQ(Man().State(), 0);
  EXPECT_EQ(Events.Count(), 0);
  EXPECT_EQ(TickWhen("done", 50) + 5, 21) << "a handler that does not wait costs the wait nothing";

  // A handler whose wait runs out on its fourth tick holds the main wait for
  // those ticks and the next: a yielding command ends a handler's tick even
  // on the tick it finishes.
  TPageBuilder slow("slow.ksb");
  slow.Wait("45").Calc("hits = hits + 1");
  Write(slow);
  Vars.FindVar("done")->Value()->SetAsInt(0);
  Start();
  Tick(4);
  Post("slow.kst");
  EXPECT_EQ(TickWhen("done", 50) + 4, 25);
  EXPECT_EQ(Int("hits"), 2);
}

TEST_F(CallManTest, ASecondEventNestsWhileTheFirstHandlerWaits) {
  Global("log", PT_STR);
  TPageBuilder a("a.ksb");
  a.Calc("log = log ++ \"a1 \"").Wait("30").Calc("log = log ++ \"a2 \"");
  Write(a);
  TPageBuilder b("b.ksb");
  b.Calc("log = log ++ \"b \"");
  Write(b);
  TPageBuilder p("start.ksb");
  p.Wait("0");
  Write(p);
  Start();
  Tick();
  Post("a.kst");
  Tick();
  EXPECT_EQ(Str("log"), "a1 ");
  Post("b.kst");
  Tick();
  EXPECT_EQ(Str("log"), "a1 b ") << "b starts on top of the waiting a";
  Tick(3);
  EXPECT_EQ(Str("log"), "a1 b a2 ");
  EXPECT_EQ(Man().State(), 0);
  EXPECT_EQ(Man().Stack().Count(), 0);
  EXPECT_EQ(Events.Count(), 0);
}

TEST_F(CallManTest, AWaitThatBlocksEventsHoldsThemBack) {
  for (const char* name : {"hit", "after"}) Global(name);
  TPageBuilder h("h.ksb");
  h.Calc("hit = 1");
  Write(h);
  TPageBuilder p("start.ksb");
  p.Wait("60", "", "TRUE").Calc("after = 1").Wait("0");
  Write(p);
  Start();
  Tick();
  Post("h.kst");
  EXPECT_EQ(TickWhen("hit", 10), 4) << "held until the wait ends on tick 5";
  EXPECT_EQ(Int("after"), 1);
}

TEST_F(CallManTest, EventReferencesNameASourcePageAndALabel) {
  Global("n");
  TPageBuilder h("menu.ksb");
  h.Calc("n = n + 1").Label("top").Calc("n = n + 10");
  Write(h);
  TPageBuilder p("start.ksb");
  p.Wait("0");
  Write(p);
  Start();
  Post("menu.kst:top");
  Tick();
  EXPECT_EQ(Int("n"), 10);
  Post("menu.kst:nowhere");
  Tick();
  EXPECT_EQ(Int("n"), 21) << "a missing label starts the page at its first command";
}

TEST_F(CallManTest, AnEventAfterTheMainScriptEndedRunsAndReturns) {
  Global("hit");
  TPageBuilder h("h.ksb");
  h.Calc("hit = 1");
  Write(h);
  TPageBuilder p("start.ksb");
  p.Calc("hit = 0");
  Write(p);
  Start();
  Tick();
  Post("h.kst");
  Tick(2);
  EXPECT_EQ(Int("hit"), 1);
  EXPECT_EQ(Man().CurrentPage(), nullptr);
  EXPECT_EQ(Man().Stack().Count(), 0);
}

TEST_F(CallManTest, TheCacheKeepsTenPagesAndFreesThePageVariablesOfTheEvicted) {
  for (int i = 0; i <= 10; ++i) {
    TPageBuilder p("p" + std::to_string(i) + ".ksb");
    p.Wait("0");
    Write(p);
  }
  TParamCollectionItem* scoped = Vars.AddVar(PT_INT);
  scoped->SetName(TParamCollection::PageVarName("p1.ksb"));
  Start("p0.ksb");
  for (int i = 1; i <= 10; ++i) Man().GetPage("p" + std::to_string(i) + ".ksb", true);
  EXPECT_EQ(Man().Pages().size(), 11u) << "eviction stops at the current page";
  Start("p10.ksb");
  TPageBuilder other("Other.ksb");
  other.Wait("0");
  Write(other);
  EXPECT_NE(Vars.FindVar(TParamCollection::PageVarName("p1.ksb")), nullptr);
  Man().GetPage("Other.ksb", true);
  EXPECT_EQ(Man().Pages().size(), 10u) << "p0 and p1 were the least recently used";
  EXPECT_EQ(Vars.FindVar(TParamCollection::PageVarName("p1.ksb")), nullptr) << "freed with its page";
  Man().GetPage("other.ksb", true);
  EXPECT_EQ(Man().Pages().front()->Name(), "other.ksb") << "names are case-sensitive: a second entry";
  EXPECT_EQ((*std::next(Man().Pages().begin()))->Name(), "Other.ksb");
}

TEST_F(CallManTest, AJumpPageAfterALoadReturnsToTheWaitWithItsState) {
  for (const char* name : {"done", "jumped"}) Global(name);
  TPageBuilder main("start.ksb");
  main.Wait("90").Calc("done = 1");
  Write(main);
  TPageBuilder jump("jump.ksb");
  jump.Calc("jumped = jumped + 1").Calc("jumped = jumped + 10");
  Write(jump);
  Start();
  Tick(3);  // the wait has 60 ms left
  Man().EnterJumpPage("jump.ksb", 1);
  // Ten other pages push the restored page out of the cache before the
  // jump page returns; its wait resumes from the state kept in the frame.
  FillCache();
  Tick();
  EXPECT_EQ(Int("jumped"), 10) << "the jump page starts at its pc";
  EXPECT_EQ(Int("done"), 0);
  // The tick of the return ends with it (the restored script had stopped for
  // the tick); the 60 ms left then take four ticks. A wait that lost its
  // state would wait for ever.
  EXPECT_EQ(TickWhen("done", 10), 4);
  EXPECT_THROW(Man().EnterJumpPage("missing.ksb", 0), EKestError);
  EXPECT_EQ(Man().Stack().Count(), 0) << "a page that cannot be read pushes nothing";
}

TEST_F(CallManTest, ADamagedSavedStateChangesNothing) {
  TPageBuilder main("start.ksb");
  main.Wait("200");
  Write(main);
  TPageBuilder a("a.ksb");
  a.Wait("60");
  Write(a);
  Start();
  Tick();
  Post("a.kst");
  Tick();
  TByteStream saved;
  Man().SaveState(saved);
  const std::vector<uint8_t> bytes = saved.Bytes();
  ASSERT_EQ(Man().Stack().Count(), 1);

  TPageBuilder other("other.ksb");
  other.Wait("0");
  Write(other);
  Start("other.ksb");
  // Cut short anywhere before the waiting command's own state.
  for (size_t n = 0; n + 16 < bytes.size(); ++n) {
    TByteStream cut(std::span<const uint8_t>(bytes.data(), n));
    EXPECT_THROW(Man().LoadState(cut, 140), EReadError) << n;
    ASSERT_EQ(Man().CurrentPage()->Name(), "other.ksb") << n;
    ASSERT_EQ(Man().Stack().Count(), 0) << n;
    ASSERT_EQ(Vars.CurrentLocalId, 0) << n;
  }
  TByteStream whole(bytes);
  Man().LoadState(whole, 140);
  EXPECT_EQ(Man().CurrentPage()->Name(), "a.ksb");
  EXPECT_EQ(Man().Stack().Count(), 1);
  EXPECT_EQ(Vars.CurrentLocalId, 1);
}

TEST_F(CallManTest, DeleteStackDropsASavedFrameAndItsVariables) {
  for (const char* name : {"ok", "bad", "seen", "after"}) Global(name);
  TPageBuilder start("start.ksb");
  start.VarNew("mine", PT_INT, "1", PS_AUTODELETE);
  start.Call("a.ksb", 0, {}, "");
  start.Calc("after = 1");
  Write(start);
  TPageBuilder a("a.ksb");
  a.VarNew("x", PT_INT, "7", PS_LOCAL);
  a.Calc("ok = DeleteStack(0)").Calc("bad = DeleteStack(1)").Calc("seen = x");
  Write(a);
  Start();
  Tick();
  EXPECT_EQ(Int("ok"), 1);
  EXPECT_EQ(Int("bad"), 0) << "no frame 1";
  EXPECT_EQ(Int("seen"), 7) << "the running page still sees its own local";
  EXPECT_EQ(Vars.FindVar("mine"), nullptr) << "the variables of depth 0 went with its frame";
  EXPECT_EQ(Int("after"), 0) << "nothing to return to: the script ends with the page";
  EXPECT_EQ(Man().Stack().Count(), 0);
  EXPECT_EQ(Vars.CurrentLocalId, 0);
}

TEST_F(CallManTest, TerminateStopsTheScriptsAndClosesTheWindow) {
  Global("n");
  TPageBuilder p("start.ksb");
  p.Calc("n = 1");
  p.Add(ciTerminate);
  p.Calc("n = 2");
  Write(p);
  Start();
  Tick();
  EXPECT_TRUE(AppTerminating);
  EXPECT_EQ(Game.Closes, 1);
  EXPECT_EQ(Int("n"), 1) << "nothing runs after it in the tick";
}

TEST_F(CallManTest, APageTooOldToRunClosesTheWindow) {
  Global("n");
  std::ofstream(Dir / "old.ksb", std::ios::binary) << std::string("\x66\x00\x00\x00", 4);
  TPageBuilder p("start.ksb");
  p.Calc("n = 1").Jump("old.ksb", 0).Calc("n = 2");
  Write(p);
  Start();
  Tick();
  EXPECT_TRUE(AppTerminating);
  EXPECT_EQ(Game.Closes, 1);
  EXPECT_EQ(Int("n"), 1);
}

TEST_F(CallManTest, AHandlerWhoseContextIsGoneEndsWithinTheTick) {
  for (const char* name : {"back", "ok", "main"}) Global(name);
  TPageBuilder main("start.ksb");
  main.Wait("200").Calc("main = 1");
  Write(main);
  TPageBuilder h("h.ksb");
  h.Call("sub.ksb", 0, {}, "").Calc("back = 1");
  Write(h);
  TPageBuilder sub("sub.ksb");
  sub.Wait("30");
  Write(sub);
  Start();
  Tick();
  Post("h.kst");
  Tick();
  ASSERT_EQ(Man().CurrentPage()->Name(), "sub.ksb");
  // The handler's page leaves the cache and can no longer be read when the
  // call returns to it: the handler ends there, back to the main script.
  FillCache();
  std::filesystem::remove(Dir / "h.ksb");
  Tick(4);
  EXPECT_EQ(Int("back"), 0);
  EXPECT_EQ(Man().Stack().Count(), 0);
  EXPECT_EQ(Man().CurrentPage()->Name(), "start.ksb");
  EXPECT_EQ(TickWhen("main", 20), 12) << "the main wait goes on with the time it had left";

  // A handler that drops the frame it would return to ends the scripts.
  TPageBuilder drop("drop.ksb");
  drop.Calc("ok = DeleteStack(0)");
  Write(drop);
  Start();
  Post("drop.kst");
  Tick();
  EXPECT_EQ(Int("ok"), 1);
  EXPECT_EQ(Man().CurrentPage(), nullptr);
}

TEST_F(CallManTest, TheTraceShowsEachCommandOnceWithItsPageAndLine) {
  Global("n");
  TPageBuilder p("start.ksb");
  p.Label("top").Calc("n = n + 1");
  p.Add(ciMenuClose);
  p.Wait("30").Calc("n = n + 1");
  p.VarNew("v", 9, "", PS_LOCAL);
  Write(p);
  TTraceLog log;
  Start();
  Tick(4);
  EXPECT_EQ(log.Lines,
            (std::vector<std::string>{"0000000f : start.ksb(1)", "0000000f : start.ksb(2)", "0000000f : start.ksb(3)",
                                      "0000000f : start.ksb(3) MenuClose: not played by this player yet",
                                      "0000000f : start.ksb(4)", "0000002d : start.ksb(5)", "0000002d : start.ksb(6)",
                                      "0000002d : start.ksb(6) pc 5 VarNew: " + Utf8ToCp932("変数の型が不正です")}));
  EXPECT_EQ(Int("n"), 2) << "a command this player cannot play yet moves on";
}

TEST_F(CallManTest, ASavedStateInANestedHandlerContinuesWithTheSameTrace) {
  auto write_game = [this] {
    TPageBuilder main("start.ksb");
    main.Wait("200").Calc("done = 1").Wait("0");
    Write(main);
    TPageBuilder a("a.ksb");
    a.Calc("la = la + 1").Wait("60").Call("sub.ksb", 0, {"\"x\""}, "got").Calc("la = la + 1");
    Write(a);
    TPageBuilder b("b.ksb");
    b.Wait("45").Calc("lb = lb + 1");
    Write(b);
    TPageBuilder sub("sub.ksb");
    sub.Result(PT_STR).Wait("15").Calc("@Result = @ParamStr[0] ++ \"y\"");
    Write(sub);
  };
  write_game();
  auto declare = [](TParamCollection& vars) {
    for (const char* name : {"done", "la", "lb"}) vars.CreateVar(name, PT_INT, PS_GLOBAL);
    vars.CreateVar("got", PT_STR, PS_GLOBAL);
  };
  auto post_at = [this](int tick) {
    if (tick == 2) Post("a.kst");
    if (tick == 3) Post("b.kst");
  };
  constexpr int kSaveAfter = 4;
  constexpr int kTicks = 30;

  std::vector<std::string> whole;
  std::string whole_vars;
  {
    declare(Vars);
    TTraceLog log;
    Start();
    for (int t = 1; t <= kTicks; ++t) {
      post_at(t);
      Tick();
      if (t == kSaveAfter) log.Lines.clear();
    }
    whole = log.Lines;
    whole_vars = std::to_string(Int("done")) + Str("got") + std::to_string(Int("la")) + std::to_string(Int("lb"));
  }
  ASSERT_EQ(whole_vars, "1xy21");

  // Again, saved after tick 4 (b waits nested on a's wait) and restored into
  // a fresh interpreter, store and event queue.
  FMan.reset();
  Vars.ClearGameVars();
  Events.Clear();
  declare(Vars);
  Clock.GameTime = 0;
  TByteStream state, vars;
  std::vector<std::pair<std::string, int32_t>> queue;
  {
    Start();
    for (int t = 1; t <= kSaveAfter; ++t) {
      post_at(t);
      Tick();
      // The states of the main wait, a waiting handler and a nested one seed
      // the fuzzer of saved interpreter states.
      if (const char* seeds = std::getenv("KEST_WRITE_CALL_STATE_SEEDS")) {
        TByteStream seed;
        Man().SaveState(seed);
        std::ofstream(std::string(seeds) + "/tick" + std::to_string(t), std::ios::binary)
            .write(reinterpret_cast<const char*>(seed.Bytes().data()), std::streamsize(seed.Bytes().size()));
      }
    }
    ASSERT_EQ(Man().State(), 2);
    ASSERT_EQ(Man().Level(), 3);
    Man().SaveState(state);
    Vars.SaveGameVars(vars);
    for (int i = 0; i < Events.Count(); ++i) queue.emplace_back(Events.Items(i).Reference, Events.Items(i).Running);
  }
  FMan.reset();
  TParamCollection fresh_vars;
  TTimerList fresh_events;
  for (auto& [reference, running] : queue) {
    TTimerData record;
    record.Reference = reference;
    record.Sender = TObjectRef(Sender);
    record.Running = running;
    fresh_events.PostEvent(std::move(record));
  }
  TCallMan restored(Parts(fresh_vars, fresh_events));
  vars.Seek(0);
  fresh_vars.LoadGameVars(vars, 140);
  state.Seek(0);
  restored.LoadState(state, 140);
  TTraceLog log;
  for (int t = kSaveAfter + 1; t <= kTicks; ++t) {
    Clock.Advance(15);
    restored.RunTick();
  }
  EXPECT_EQ(log.Lines, whole);
  auto value = [&](const char* name) { return fresh_vars.FindVar(name)->Value()->GetAsStr(); };
  EXPECT_EQ(value("done") + value("got") + value("la") + value("lb"), whole_vars);
}

}  // namespace
}  // namespace kest
