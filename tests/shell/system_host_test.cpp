#include <gtest/gtest.h>

#include <array>

#include "common/app_globals.h"
#include "common/sjis.h"
#include "language/custom_param.h"
#include "language/param_collection.h"
#include "language/param_types.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "shell/form_system_host.h"
#include "shell/form_view.h"
#include "shell/loop_thread.h"
#include "shell/player_fakes.h"
#include "shell/variable_dump.h"

namespace kest {
namespace {

TEST(VariableDump, ListsTheGamesVariablesSortedOneValuePerLine) {
  TParamCollection store;
  store.CreateVar("score", PT_INT, PS_GLOBAL).Item->Value()->SetAsInt(42);
  store.CreateVar(Utf8ToCp932("名前"), PT_STR, PS_GLOBAL).Item->Value()->SetAsStr(Utf8ToCp932("テ\"スト"));
  TCustomParam* grid = store.CreateVar("grid", PT_INT, PS_GLOBAL).Item->Value();
  const std::array<int32_t, 2> dims{2, 3};
  grid->SetDims(dims);
  grid->SetInt(5, 7);
  grid->SetInt(1, -1);
  TCustomParam* list = store.CreateVar("list", PT_FLOAT, PS_GLOBAL).Item->Value();
  list->SetCount(12);
  list->SetFloat(10, 1.5L);
  store.CreateVar("flag", PT_BOOL, PS_GLOBAL).Item->Value()->SetAsFlag(true);
  const std::string dump = DumpVariables(store);
  std::string lists;
  for (int i = 0; i < 12; ++i) lists += "list[" + std::to_string(i) + "]=" + (i == 10 ? "1.5" : "0") + "\n";
  EXPECT_EQ(dump,
            "flag=TRUE\n"
            "grid[0][0]=0\ngrid[0][1]=-1\ngrid[0][2]=0\ngrid[1][0]=0\ngrid[1][1]=0\ngrid[1][2]=7\n" +
                lists +
                "score=42\n"
                "名前=テ\"スト\n");
}

TEST(FormSystemHost, AnswersForTheWindowAndTheProject) {
  ResetAppGlobals();
  test::TFakeFactory factory;
  factory.chosen_mode = 1;
  TScriptedDialogs dialogs;
  TLoopThread loop;
  TManualClock clock;
  TFormViewServices s;
  s.Factory = &factory;
  s.Dialogs = &dialogs;
  s.Loop = &loop;
  s.Clock = &clock;
  s.ProgramPath = "/nonexistent/kestplayer";
  TFormView form(s);
  form.FormCreate();
  TFormSystemHost host(form);
  EXPECT_EQ(host.ScreenWidth(), 800);
  EXPECT_EQ(host.ScreenHeight(), 600);
  EXPECT_EQ(host.Title(), "Demo");
  EXPECT_EQ(host.DisplayModeCount(), 3);
  EXPECT_EQ(host.DisplayModeIndex(), 1);
  host.SetDisplayModeIndex(7);  // outside the list: nothing changes
  EXPECT_EQ(host.DisplayModeIndex(), 1);
  host.SetDisplayModeIndex(2);
  EXPECT_EQ(host.DisplayModeIndex(), 2);
  EXPECT_FALSE(host.FullScreen());
  host.SetFullScreen(true);
  EXPECT_TRUE(host.FullScreen());
  EXPECT_EQ(factory.screen->mode, 2);
  form.FormClose();
  ResetAppGlobals();
}

}  // namespace
}  // namespace kest
