#include <gtest/gtest.h>

#include <algorithm>

#include "common/app_globals.h"
#include "common/sjis.h"
#include "common/trace.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "shell/form_view.h"
#include "shell/headless_driver.h"
#include "shell/headless_input.h"
#include "shell/loop_thread.h"
#include "shell/player_fakes.h"
#include "support/temp_files.h"

namespace kest {
namespace {

using test::TFakeFactory;
using test::TLog;
using T = TInputEvent::TType;

class FormViewTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAppGlobals(); }
  void TearDown() override {
    form_.reset();
    Trace().SetRecorder(nullptr);
    ResetAppGlobals();
  }

  TFormView& Create() {
    TFormViewServices s;
    s.Factory = &factory_;
    s.Dialogs = &dialogs_;
    s.Loop = &loop_;
    s.Clock = &clock_;
    s.Params = params_;
    s.ProgramPath = "/nonexistent/kestplayer";
    s.JapaneseLocale = japanese_;
    form_ = std::make_unique<TFormView>(s);
    form_->FormCreate();
    form_->HandleEvent({T::Activated});
    return *form_;
  }

  // The calls of one tick, from the first step on.
  TLog Tick() {
    const size_t before = factory_.log.size();
    form_->OnLoop(15);
    return TLog(factory_.log.begin() + static_cast<long>(before), factory_.log.end());
  }

  TFakeFactory factory_;
  TScriptedDialogs dialogs_;
  TLoopThread loop_;
  TManualClock clock_{1000};
  std::vector<std::string> params_;
  bool japanese_ = true;
  std::unique_ptr<TFormView> form_;
};

TEST_F(FormViewTest, TickRunsItsStepsInOrder) {
  Create();
  const TLog expected = {"DeletePendingFiles", "ProcessInput", "RunTick",         "UpdateScene", "DoRequests",
                         "DrawScene",          "Present",      "ClearDirtyLists", "VideoStep"};
  EXPECT_EQ(Tick(), expected);
  EXPECT_EQ(factory_.clock.FrameCount, 1);
  EXPECT_EQ(factory_.clock.GameTime, 15);
  EXPECT_EQ(factory_.clock.FrameDelta, 15);
}

TEST_F(FormViewTest, TerminatingStopsTheTickAfterTheInterpreter) {
  Create();
  factory_.project->on_tick = [] { AppTerminating = true; };
  EXPECT_EQ(Tick(), (TLog{"DeletePendingFiles", "ProcessInput", "RunTick"}));
  EXPECT_EQ(factory_.clock.FrameCount, 0);
}

TEST_F(FormViewTest, TheTickThatLoadedAGameDrawsNothing) {
  Create();
  factory_.project->load_next = true;
  TLog loading = Tick();
  EXPECT_EQ(std::count(loading.begin(), loading.end(), "DrawScene"), 0);
  EXPECT_EQ(loading.back(), "DoRequests");
  TLog next = Tick();
  EXPECT_EQ(std::count(next.begin(), next.end(), "DrawScene"), 1);
  EXPECT_EQ(factory_.clock.FrameCount, 2);
}

TEST_F(FormViewTest, SwitchingScreenSkipsTicksButCountsTime) {
  Create();
  SwitchingScreen = true;
  EXPECT_TRUE(Tick().empty());
  EXPECT_EQ(factory_.clock.GameTime, 15);
  SwitchingScreen = false;
}

TEST_F(FormViewTest, StartUpAndShutDownStepsComeInOrder) {
  std::vector<std::string> steps;
  Trace().SetRecorder([&](TTraceSink::TKind kind, std::string_view text) {
    if (kind == TTraceSink::TKind::Step) steps.emplace_back(text);
  });
  Create();
  form_->FormClose();
  const std::vector<std::string> expected = {"FormCreate",
                                             "TBasePanel.Create",
                                             "DXSound.Initialize",
                                             "KestInitialize",
                                             "TProject.Create",
                                             "MediaInit",
                                             "KestInitColor",
                                             "Project.Free",
                                             "SysFuncMan.Free",
                                             "ParamMan.Free",
                                             "KestFinalize",
                                             "TextRead.Free",
                                             "TextHistoryFormats.Free",
                                             "Bases.Free",
                                             "SelRectDIB.Free",
                                             "TransBGDIB.Free",
                                             "PexaMan.Free",
                                             "ClipMan.Free",
                                             "MediaFinal",
                                             "ScreenMan.Free",
                                             "VideoMan.Free",
                                             "WaveMan.Free",
                                             "WmpMan.Free",
                                             "OggMan.Free",
                                             "CddaMan.Free",
                                             "MidiMan.Free",
                                             "kestFinal",
                                             "FormClose"};
  EXPECT_EQ(steps, expected);
  EXPECT_TRUE(AppTerminating);
  EXPECT_FALSE(loop_.Running());
}

TEST_F(FormViewTest, SubsystemsAreMadeInStartUpOrder) {
  params_ = {"/nonexistent/game"};
  Create();
  const TLog expected = {"MountMemory",     "SetBaseFolder /nonexistent/game/",
                         "CreateVariables", "CreateSystemFunctions",
                         "InitSound",       "SetSize 800x600"};
  TLog start(factory_.log.begin(), factory_.log.begin() + 5);
  EXPECT_EQ(start, TLog(expected.begin(), expected.begin() + 5));
  EXPECT_NE(std::find(factory_.log.begin(), factory_.log.end(), "SetSize 800x600"), factory_.log.end());
}

TEST_F(FormViewTest, SoundFailureIsSwallowed) {
  factory_.sound_fails = true;
  Create();
  EXPECT_FALSE(form_->CloseRequested());
  EXPECT_EQ(dialogs_.Shown(), 0);
}

TEST_F(FormViewTest, StartUpErrorShowsOneWarningThenCloses) {
  factory_.project_fails = true;
  factory_.project_error = Utf8ToCp932("データが壊れています");
  std::string shown;
  dialogs_.SetObserver([&](const std::string&, const std::string& text, TUiResult) { shown = text; });
  Create();
  EXPECT_EQ(dialogs_.Shown(), 1);
  EXPECT_EQ(shown, "データが壊れています");
  EXPECT_TRUE(form_->CloseRequested());
}

TEST_F(FormViewTest, ADamagedGameDataFileShowsTheWarningThenCloses) {
  const test::TTempDir game;
  test::WriteFile(game / "game.dat", test::TBytes(200, 0xA5));
  params_ = {game.Path()};
  factory_.mount_error = "game.dat: the index counts more entries than it holds";
  std::string shown;
  dialogs_.SetObserver([&](const std::string&, const std::string& text, TUiResult) { shown = text; });
  Create();
  EXPECT_EQ(shown, factory_.mount_error);
  EXPECT_TRUE(form_->CloseRequested());
  EXPECT_EQ(form_->Project(), nullptr);
}

TEST_F(FormViewTest, LayoutFollowsTheToolbarSetting) {
  Create();
  EXPECT_EQ(form_->Layout().ClientWidth, 800);
  EXPECT_EQ(form_->Layout().ClientHeight, 600 + 22);
  EXPECT_EQ(form_->PanelTop(), 22);
  EXPECT_EQ(form_->PanelLeft(), 0);
  form_.reset();
  factory_.toolbar = false;
  Create();
  EXPECT_EQ(form_->Layout().ClientHeight, 600);
  EXPECT_FALSE(form_->Layout().ToolbarVisible);
  EXPECT_EQ(form_->PanelTop(), 0);
}

TEST_F(FormViewTest, ExitQuestionYesCloses) {
  dialogs_.Push(TUiResult::Yes);
  std::string caption, text;
  dialogs_.SetObserver([&](const std::string& c, const std::string& t, TUiResult) {
    caption = c;
    text = t;
  });
  Create();
  form_->HandleEvent({.Type = T::ToolbarClick, .ToolbarButton = 0});
  EXPECT_EQ(caption, "Demo");
  EXPECT_EQ(text, "「Demo」を終了しますか？");
  EXPECT_TRUE(form_->CloseRequested());
  EXPECT_TRUE(AppTerminating);
}

TEST_F(FormViewTest, ExitQuestionNoRestoresRunning) {
  japanese_ = false;
  dialogs_.Push(TUiResult::No);
  TLog during;
  std::string text;
  Create();
  // While the question is open, ticks run the interpreter and nothing else.
  dialogs_.SetObserver([&](const std::string&, const std::string& t, TUiResult) {
    text = t;
    during = Tick();
  });
  form_->btnExitClick();
  EXPECT_EQ(text, "Do you want to exit Demo?");
  EXPECT_EQ(during, (TLog{"DeletePendingFiles", "ProcessInput", "RunTick"}));
  EXPECT_FALSE(form_->CloseRequested());
  EXPECT_FALSE(AppTerminating);
  EXPECT_EQ(Tick().back(), "VideoStep");
}

TEST_F(FormViewTest, AHeadlessQuestionLeftWithoutAnAnswerEndsTheRun) {
  Create();
  EXPECT_EQ(dialogs_.MessageBox("note", "Demo", TUiIcon::Information, TUiButtons::Ok), TUiResult::Ok);
  THeadlessInput input;
  ASSERT_TRUE(input.Parse("3 toolbar exit\n", nullptr));
  dialogs_.Push(TUiResult::No);
  EXPECT_FALSE(THeadlessDriver(*form_, loop_, clock_, input, 15).Run(10).Unanswered);
  const THeadlessResult result = THeadlessDriver(*form_, loop_, clock_, input, 15).Run(10);
  EXPECT_TRUE(result.Unanswered);
  EXPECT_EQ(result.Periods, 3);
}

TEST_F(FormViewTest, HeldKeyHitsOnceAndStaysHeld) {
  Create();
  TSceneInput& in = factory_.scene->input;
  form_->HandleEvent({.Type = T::KeyDown, .Key = 0x41});
  EXPECT_EQ(in.Keys().PressedSinceLastFrame[0x41], 1);
  in.Keys().PressedSinceLastFrame[0x41] = 0;  // the scene's input phase consumed it
  form_->HandleEvent({.Type = T::KeyDown, .Key = 0x41, .Repeat = true});
  form_->HandleEvent({.Type = T::KeyDown, .Key = 0x41, .Repeat = true});
  EXPECT_EQ(in.Keys().PressedSinceLastFrame[0x41], 0);
  EXPECT_EQ(in.Keys().Held[0x41], 1);
  form_->HandleEvent({.Type = T::KeyUp, .Key = 0x41});
  EXPECT_EQ(in.Keys().Held[0x41], 0);
  // Codes from 256 on are not tracked and harm nothing.
  form_->HandleEvent({.Type = T::KeyDown, .Key = 300});
}

TEST_F(FormViewTest, RightButtonClearsLeftHeldOnBothBaseScreens) {
  Create();
  TSceneInput& in = factory_.scene->input;
  const int x = 10, y = 22 + 10;  // inside the panel, below the toolbar
  form_->HandleEvent({.Type = T::MouseDown, .X = x, .Y = y, .Button = TInputEvent::kLeft});
  EXPECT_TRUE(in.Base(0).LeftHeld && in.Base(1).LeftHeld);
  EXPECT_TRUE(in.Front().LeftClickLatch);
  EXPECT_FALSE(in.Base(1).LeftClickLatch);
  form_->HandleEvent({.Type = T::MouseDown, .X = x, .Y = y, .Button = TInputEvent::kRight});
  EXPECT_FALSE(in.Base(0).LeftHeld || in.Base(1).LeftHeld);
  EXPECT_TRUE(in.Base(0).RightHeld && in.Base(1).RightHeld);
  form_->HandleEvent({.Type = T::MouseDown, .X = x, .Y = y, .Button = TInputEvent::kMiddle});
  EXPECT_FALSE(in.Base(0).LeftHeld || in.Base(0).RightHeld);
  form_->HandleEvent({.Type = T::MouseUp, .X = x, .Y = y, .Button = TInputEvent::kLeft});
  EXPECT_FALSE(in.Base(1).RightHeld);
  // Positions reach the scene in panel coordinates.
  form_->HandleEvent({.Type = T::MouseMove, .X = 30, .Y = 22 + 40});
  EXPECT_EQ(in.Base(1).MouseX, 30);
  EXPECT_EQ(in.Base(1).MouseY, 40);
  // A press on the toolbar row is not the panel's.
  in.Front().LeftClickLatch = false;
  form_->HandleEvent({.Type = T::MouseDown, .X = 5, .Y = 5, .Button = TInputEvent::kLeft});
  EXPECT_FALSE(in.Front().LeftClickLatch);
  form_->HandleEvent({.Type = T::Wheel, .WheelSteps = -1});
  EXPECT_TRUE(in.Front().WheelDownLatch);
  EXPECT_FALSE(in.Front().WheelUpLatch);
}

TEST_F(FormViewTest, InputWaitsForTheFirstActivation) {
  TFormViewServices s;
  s.Factory = &factory_;
  s.Dialogs = &dialogs_;
  s.Loop = &loop_;
  s.Clock = &clock_;
  s.ProgramPath = "/nonexistent/kestplayer";
  TFormView form(s);
  form.FormCreate();
  EXPECT_FALSE(form.Active());
  form.HandleEvent({.Type = T::KeyDown, .Key = 0x20});
  form.HandleEvent({.Type = T::MouseDown, .X = 1, .Y = 30, .Button = TInputEvent::kLeft});
  EXPECT_EQ(factory_.scene->input.Keys().Held[0x20], 0);
  EXPECT_FALSE(factory_.scene->input.Base(0).LeftHeld);
}

TEST_F(FormViewTest, StopWhenInactiveSuspendsLoopAndMedia) {
  Create();
  ASSERT_TRUE(loop_.Running());
  factory_.scene->input.KeyDown(0x41);
  form_->HandleEvent({T::Deactivated});
  EXPECT_FALSE(loop_.Running());
  EXPECT_FALSE(form_->Active());
  EXPECT_EQ(factory_.scene->input.Keys().Held[0x41], 0);
  EXPECT_NE(std::find(factory_.log.begin(), factory_.log.end(), "SuspendManagers"), factory_.log.end());
  form_->HandleEvent({T::Activated});
  EXPECT_TRUE(loop_.Running());
  EXPECT_TRUE(form_->Active());
  EXPECT_EQ(factory_.log.back(), "ResumeManagers");
}

TEST_F(FormViewTest, RunningInTheBackgroundKeepsTicking) {
  factory_.stop_when_inactive = false;
  Create();
  form_->HandleEvent({T::Deactivated});
  EXPECT_TRUE(loop_.Running());
  EXPECT_TRUE(form_->Active());
  EXPECT_EQ(std::find(factory_.log.begin(), factory_.log.end(), "SuspendManagers"), factory_.log.end());
}

TEST_F(FormViewTest, ScreenSwitchWithoutAChosenModeChangesNothing) {
  Create();
  const size_t before = factory_.log.size();
  form_->HandleEvent({.Type = T::ToolbarClick, .ToolbarButton = 1});
  EXPECT_EQ(factory_.log.size(), before);  // MIDI is not closed for a switch that cannot happen
  EXPECT_FALSE(SwitchingScreen);
}

TEST_F(FormViewTest, ScreenSwitchToFullAndBack) {
  factory_.chosen_mode = 2;
  Create();
  form_->SetFullScreen(true);
  EXPECT_EQ(factory_.screen->mode, 2);
  EXPECT_EQ(form_->Layout().ClientHeight, 600);
  EXPECT_EQ(form_->PanelTop(), 0);
  EXPECT_FALSE(form_->Layout().ToolbarVisible);
  // In full screen the toolbar shows while the mouse is on the top row or in
  // the border above, and stays while the mouse is on it.
  TSceneInput& in = factory_.scene->input;
  form_->HandleEvent({.Type = T::MouseMove, .X = 50, .Y = 0});
  EXPECT_TRUE(form_->Layout().ToolbarVisible);
  form_->HandleEvent({.Type = T::MouseMove, .X = 90, .Y = 12});
  EXPECT_TRUE(form_->Layout().ToolbarVisible);
  EXPECT_EQ(in.Base(0).MouseY, 0) << "a move over the toolbar is not the scene's";
  form_->HandleEvent({.Type = T::MouseMove, .X = 90, .Y = 30});
  EXPECT_FALSE(form_->Layout().ToolbarVisible);
  EXPECT_EQ(in.Base(0).MouseY, 30);
  form_->HandleEvent({.Type = T::MouseMove, .X = 90, .Y = -60});
  EXPECT_TRUE(form_->Layout().ToolbarVisible);
  form_->HandleEvent({.Type = T::MouseMove, .X = 90, .Y = 5});
  form_->HandleEvent({.Type = T::ToolbarClick, .ToolbarButton = 1});
  EXPECT_EQ(factory_.screen->mode, -1);
  EXPECT_EQ(form_->Layout().ClientHeight, 622);
  EXPECT_EQ(form_->PanelTop(), 22);
  EXPECT_FALSE(SwitchingScreen);
}

TEST_F(FormViewTest, FailedSwitchRestoresTheWindowLayout) {
  factory_.chosen_mode = 0;
  Create();
  factory_.screen->fail_switch = true;
  form_->SetFullScreen(true);
  EXPECT_EQ(factory_.screen->mode, -1);
  EXPECT_EQ(form_->Layout().ClientHeight, 622);
  EXPECT_EQ(form_->PanelTop(), 22);
  EXPECT_TRUE(form_->Layout().ToolbarVisible);
  EXPECT_NE(std::find(factory_.log.begin(), factory_.log.end(), "MidiReopen"), factory_.log.end());
}

}  // namespace
}  // namespace kest
