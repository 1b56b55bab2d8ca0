#include "shell/form_view.h"

#include <cstdio>
#include <exception>
#include <filesystem>

#include "common/app_globals.h"
#include "common/program_random.h"
#include "common/sjis.h"
#include "common/trace.h"
#include "kestlib/kestlib_loader.h"
#include "kestlib/stream_callbacks.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "scene/scene_input.h"
#include "shell/loop_thread.h"
#include "shell/mount_plan.h"
#include "storage/host_name_resolver.h"

namespace kest {
namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

std::string ProgramFolderOf(const std::string& programPath) {
  return std::filesystem::path(programPath).parent_path().string();
}

// SwitchingScreen is cleared however a switch ends.
struct TSwitchingScope {
  TSwitchingScope() { SwitchingScreen = true; }
  ~TSwitchingScope() { SwitchingScreen = false; }
};

}  // namespace

TFormView::TFormView(TFormViewServices services) : FServices(std::move(services)) {}

TFormView::~TFormView() {
  if (FPlayerInitialised) FormClose();
}

uint32_t TFormView::Now() const { return FServices.Clock ? FServices.Clock->NowMs() : 0; }

int TFormView::BaseWidth() const { return FProject ? FProject->ScreenWidth() : kDefaultWidth; }
int TFormView::BaseHeight() const { return FProject ? FProject->ScreenHeight() : kDefaultHeight; }

void TFormView::FormCreate() {
  const std::string folder = ProgramFolderOf(FServices.ProgramPath);
  std::error_code ec;
  std::filesystem::remove(std::filesystem::path(folder) / "kestplay.log", ec);
  Trace().Step("FormCreate");
  ProgramRandom().SeedFromClock();
  // A damaged game.dat fails as early as the mount: every failure from here
  // on ends in the warning box and a closed window.
  try {
    FSettings =
        LoadGameSettings(!FServices.SettingsFile.empty()
                             ? FServices.SettingsFile
                             : THostNameResolver().FindFile(folder + "/", "game.ini").value_or(folder + "/game.ini"));
    FFiles = FServices.Factory->CreateFiles();
    if (FFiles) FFiles->MountMemory();
    MountGameData();
    Trace().Step("TBasePanel.Create");
    FServices.Factory->CreateVariables();
    FServices.Factory->CreateSystemFunctions();
    InitPlayer();
  } catch (const std::exception& e) {
    FServices.Dialogs->MessageBox(Cp932ToUtf8(e.what()), kDefaultCaption, TUiIcon::Warning, TUiButtons::Ok);
    PostClose();
  }
  if (AppTerminating) PostClose();
}

void TFormView::MountGameData() {
  if (!FFiles) return;
  for (const TMountStep& step :
       PlanMounts(FServices.Params, FServices.ProgramPath, FServices.ProgramHasArchiveResource)) {
    switch (step.Kind) {
      case TMountStep::TKind::SetBaseFolder: FFiles->SetBaseFolder(step.Path); break;
      case TMountStep::TKind::MountResource: FFiles->MountProgramResource(); break;
      case TMountStep::TKind::MountFile: FFiles->MountFile(step.Path); break;
    }
  }
}

void TFormView::InitPlayer() {
  FPlayerInitialised = true;
  IPlayerFactory& factory = *FServices.Factory;
  // Both sound paths end in the one device: the library's players with
  // DirectSound on, the player's wave mixer with it off.
  Trace().Step("DXSound.Initialize");
  try {
    factory.InitSound();
  } catch (const std::exception&) {
    // A missing sound device leaves the game silent, never unplayable.
  }
  Trace().Step("KestInitialize");
  FScene = factory.CreateScene();
  Trace().Step("TProject.Create");
  FProject = factory.CreateProject();

  Trace().Step("MediaInit");
  TMediaInitArgs args;
  args.ScreenWidth = BaseWidth();
  args.ScreenHeight = BaseHeight();
  args.FullScreenWidth = FProject ? FProject->FullScreenWidth() : args.ScreenWidth;
  args.FullScreenHeight = FProject ? FProject->FullScreenHeight() : args.ScreenHeight;
  args.KestLib = FServices.KestLib;
  args.DirectSound = FSettings.DirectSound;
  args.DelayTime = FSettings.DelayTime;
  if (const TKestLib* lib = FServices.KestLib) {
    void* sound = factory.SoundOutput();
    lib->kestInit(nullptr, nullptr, nullptr, &sound, KestStreamSize, KestStreamRead, KestStreamPosition, KestStreamSeek,
                  KestSaveFpu, KestRestoreFpu, 0);
    lib->kestOggmanSetUseThread(-1);
    FKestlibInitialised = true;
  }
  if (args.ScreenWidth > 0 && args.ScreenHeight > 0) FScreen = factory.CreateScreen(args);
  FMedia = factory.CreateMedia(args);

  Trace().Step("KestInitColor");
  factory.InitColourTables();

  if (FProject) {
    const std::string title = FProject->Title();
    if (!title.empty()) FCaption = Cp932ToUtf8(title);
  }
  if (FServices.Window) FServices.Window->SetTitle(FCaption);
  FDockVisible = FProject ? FProject->ShowToolbar() : true;
  if (FScene) FScene->SetSize(BaseWidth(), BaseHeight());
  ApplyLayout();
  if (FServices.Window) FServices.Window->Show();
  if (FServices.Loop) FServices.Loop->Start(Now());
}

void TFormView::ApplyLayout() {
  FLayout.ClientWidth = BaseWidth();
  FLayout.ClientHeight = BaseHeight() + (FDockVisible ? kDockHeight : 0);
  FLayout.ToolbarVisible = FDockVisible;
  PlacePanel();
}

void TFormView::PlacePanel() {
  const bool full = FScreen && FScreen->IsFullScreen();
  FPanelLeft = (FLayout.ClientWidth - BaseWidth()) / 2;
  if (full)
    FPanelTop = (FLayout.ClientHeight - BaseHeight()) / 2;
  else
    FPanelTop = FDockVisible ? kDockHeight : 0;
  FLayout.PanelLeft = FPanelLeft;
  FLayout.PanelTop = FPanelTop;
  FLayout.PanelWidth = BaseWidth();
  FLayout.PanelHeight = BaseHeight();
  if (FServices.Window) FServices.Window->SetLayout(FLayout);
}

void TFormView::FormClose() {
  AppTerminating = true;
  FreePlayer();
  Trace().Step("FormClose");
}

void TFormView::FreePlayer() {
  if (!FPlayerInitialised) return;
  FPlayerInitialised = false;
  if (FServices.Loop) FServices.Loop->Stop();
  Trace().Step("Project.Free");
  FProject.reset();
  Trace().Step("SysFuncMan.Free");
  FServices.Factory->FreeSystemFunctions();
  Trace().Step("ParamMan.Free");
  FServices.Factory->FreeVariables();
  Trace().Step("KestFinalize");
  for (const char* step : {"TextRead.Free", "TextHistoryFormats.Free", "Bases.Free", "SelRectDIB.Free",
                           "TransBGDIB.Free", "PexaMan.Free", "ClipMan.Free"}) {
    Trace().Step(step);
    if (std::string_view(step) == "Bases.Free") FScene.reset();
  }
  Trace().Step("MediaFinal");
  Trace().Step("ScreenMan.Free");
  FScreen.reset();
  for (const char* step :
       {"VideoMan.Free", "WaveMan.Free", "WmpMan.Free", "OggMan.Free", "CddaMan.Free", "MidiMan.Free"})
    Trace().Step(step);
  FMedia.reset();
  Trace().Step("kestFinal");
  if (FKestlibInitialised) FServices.KestLib->kestFinal();
  FKestlibInitialised = false;
}

void TFormView::OnLoop(int32_t elapsed) {
  if (FServices.Factory) FServices.Factory->Clock().Advance(elapsed);
  if (SwitchingScreen) return;
  DoFrame();
}

void TFormView::DoFrame() {
  if (!FProject || FInTick) return;
  FInTick = true;
  struct TEnd {
    bool& flag;
    ~TEnd() { flag = false; }
  } end{FInTick};
  if (FFiles) FFiles->DeletePendingFiles();
  if (FScene) FScene->ProcessInput();
  FProject->RunTick();
  if (AppTerminating) return;
  if (FScene) FScene->UpdateScene();
  if (FServices.Factory) FServices.Factory->Clock().FrameCount += 1;
  if (FProject->DoRequests()) FSkipDraw = 1;
  if (FSkipDraw > 0) {
    --FSkipDraw;
    return;
  }
  if (FScene) FScene->DrawScene();
  SyncTextInput();
  if (FScreen) FScreen->Present();
  if (FScene) FScene->ClearDirtyLists();
  if (FMedia) FMedia->VideoStep();
}

bool TFormView::InPanel(int x, int y) const {
  return x >= FPanelLeft && y >= FPanelTop && x < FPanelLeft + BaseWidth() && y < FPanelTop + BaseHeight();
}

void TFormView::HandleEvent(const TInputEvent& event) {
  using T = TInputEvent::TType;
  switch (event.Type) {
    case T::KeyDown: KeyDownMessage(event); break;
    case T::KeyUp:
      if (FScene && event.Key >= 0 && event.Key < 256) FScene->Input().KeyUp(event.Key);
      break;
    case T::MouseDown:
      if (InPanel(event.X, event.Y)) PanelMouseDown(event);
      break;
    case T::MouseUp: PanelMouseUp(); break;
    case T::MouseMove: {
      const bool captured = FScene && (FScene->Input().Base(0).LeftHeld || FScene->Input().Base(0).RightHeld);
      // Moves over the toolbar are the toolbar's own, in full screen too,
      // where it lies over the top of the panel: it stays while used.
      if (!captured && OnToolbar(event.X, event.Y)) break;
      if (InPanel(event.X, event.Y) || captured)
        PanelMouseMove(event);
      else
        FormMouseMove(event);
      break;
    }
    case T::TextInput:
      if (FActive && FScene)
        if (IKeyboardBox* box = FScene->Input().KeyboardBox()) box->TypeText(event.Text);
      break;
    case T::Wheel:
      if (FScene && event.WheelSteps != 0) FScene->Input().Wheel(event.WheelSteps < 0);
      break;
    case T::Activated: ApplicationActivate(); break;
    case T::Deactivated: ApplicationDeactivate(); break;
    case T::CloseRequest: PostClose(); break;
    case T::ToolbarClick:
      if (event.ToolbarButton == 0)
        btnExitClick();
      else
        btnScreenClick();
      break;
  }
}

void TFormView::KeyDownMessage(const TInputEvent& event) {
  if (!FActive || !FScene) return;
  // A text box takes the keyboard's own repeats; the scene makes its own.
  IKeyboardBox* box = FScene->Input().KeyboardBox();
  if (box && box->TypeKey(event.Key)) return;
  if (event.Repeat) return;
  if (event.Key >= 0 && event.Key < 256) FScene->Input().KeyDown(event.Key);
}

void TFormView::SyncTextInput() {
  IKeyboardBox* box = FScene ? FScene->Input().KeyboardBox() : nullptr;
  TPixelRect area;
  if (box) {
    const TRect r = box->TextArea();
    area = {r.Left + FPanelLeft, r.Top + FPanelTop, r.Right + FPanelLeft, r.Bottom + FPanelTop};
  }
  const bool changed = (box != nullptr) != FTextInputOn || area.Left != FTextInputArea.Left ||
                       area.Top != FTextInputArea.Top || area.Bottom != FTextInputArea.Bottom;
  if (!changed) return;
  FTextInputOn = box != nullptr;
  FTextInputArea = area;
  if (FServices.Window) FServices.Window->SetTextInput(FTextInputOn, area);
}

void TFormView::PanelMouseDown(const TInputEvent& event) {
  if (!FActive || !FScene) return;
  const TMouseButton button = event.Button == TInputEvent::kLeft    ? TMouseButton::Left
                              : event.Button == TInputEvent::kRight ? TMouseButton::Right
                                                                    : TMouseButton::Middle;
  FScene->Input().MouseDown(button);
}

void TFormView::PanelMouseUp() {
  if (FScene) FScene->Input().MouseUp();
}

void TFormView::PanelMouseMove(const TInputEvent& event) {
  if (FScene) FScene->Input().MouseMove(event.X - FPanelLeft, event.Y - FPanelTop);
  ToolbarRuleInFullScreen(event.Y);
}

void TFormView::FormMouseMove(const TInputEvent& event) { ToolbarRuleInFullScreen(event.Y); }

bool TFormView::OnToolbar(int x, int y) const {
  return FLayout.ToolbarVisible && x >= 0 && x < FLayout.ClientWidth && y >= 0 && y < kDockHeight;
}

void TFormView::ToolbarRuleInFullScreen(int y) {
  if (!FScreen || !FScreen->IsFullScreen()) return;
  // In desktop full screen the game sits in the middle of the screen: the
  // toolbar shows while the mouse is on the panel's top row or in the border
  // above it, and goes once the mouse leaves it for anywhere lower.
  const bool show = y <= 0;
  if (show == FLayout.ToolbarVisible) return;
  FLayout.ToolbarVisible = show;
  if (FServices.Window) FServices.Window->SetLayout(FLayout);
}

void TFormView::ApplicationDeactivate() {
  if (FProject && !FProject->StopWhenInactive()) return;
  if (FServices.Loop) FServices.Loop->Suspend();
  if (!FScene) return;
  FActive = false;
  if (FMedia) {
    FMedia->VideoPause();
    FMedia->SuspendManagers();
  }
  FScene->Input().ClearKeys();
}

void TFormView::ApplicationActivate() {
  if (!FProject || FProject->StopWhenInactive()) {
    if (FServices.Loop) FServices.Loop->Resume(Now());
    if (!FScene) return;
    FActive = true;
    if (FMedia) FMedia->ResumeManagers();
  } else if (FScene) {
    FActive = true;
  }
}

std::string TFormView::ExitQuestion(const std::string& title, bool japanese) {
  if (japanese) return Utf8ToCp932("「") + title + Utf8ToCp932("」を終了しますか？");
  return "Do you want to exit " + title + "?";
}

void TFormView::btnExitClick() {
  const bool was_terminating = AppTerminating;
  // While the question is open ticks neither update nor draw the scene.
  AppTerminating = true;
  const std::string title = FProject ? FProject->Title() : std::string();
  const TUiResult answer = FServices.Dialogs->MessageBox(Cp932ToUtf8(ExitQuestion(title, FServices.JapaneseLocale)),
                                                         Cp932ToUtf8(title), TUiIcon::Question, TUiButtons::YesNo);
  if (answer == TUiResult::Yes)
    PostClose();
  else
    AppTerminating = was_terminating;
}

void TFormView::btnScreenClick() { SetFullScreen(!(FScreen && FScreen->IsFullScreen())); }

void TFormView::RestoreWindowed() {
  FLayout.ClientWidth = BaseWidth();
  FLayout.ClientHeight = BaseHeight() + (FDockVisible ? kDockHeight : 0);
  FLayout.ToolbarVisible = FDockVisible;
}

void TFormView::SetFullScreen(bool on) {
  Trace().Step("SetFullScreen");
  TSwitchingScope switching;
  const bool full = FScreen && FScreen->IsFullScreen();
  if (on == full) return;
  if (on && (!FScreen || FScreen->ChosenMode() < 0)) {
    Trace().Step("SetFullScreen.Full");
    return;
  }
  if (FMedia) FMedia->MidiCloseForSwitch();
  if (on) {
    Trace().Step("SetFullScreen.Full");
    Trace().Step("SetFullScreen.Full.Bases.FreeDX");
    if (FScene) FScene->FreeSurfaces();
    Trace().Step("SetFullScreen.Full.MediaSuspend");
    if (FMedia) FMedia->VideoSuspend();
    FLayout.ToolbarVisible = false;
    Trace().Step("SetFullScreen.Full.ScreenMan.FreeDX");
    FScreen->ReleaseDisplay();
    Trace().Step("SetFullScreen.Full.StoreWindow");
    FLayout.ClientWidth = BaseWidth();
    FLayout.ClientHeight = BaseHeight();
    Trace().Step("SetFullScreen.Full.SetScreenManIndex");
    const bool switched = FScreen->SetMode(FScreen->ChosenMode()) && FScreen->CurrentMode() == FScreen->ChosenMode();
    if (!switched) {
      Trace().Step("SetFullScreen.Full.SetScreenManIndexFail");
      RestoreWindowed();
      FScreen->SetMode(-1);
    }
  } else {
    Trace().Step("SetFullScreen.Normal");
    Trace().Step("SetFullScreen.Normal.Bases.FreeDX");
    if (FScene) FScene->FreeSurfaces();
    Trace().Step("SetFullScreen.Normal.MediaSuspend");
    if (FMedia) FMedia->VideoSuspend();
    Trace().Step("SetFullScreen.Normal.ScreenMan.FreeDX");
    FScreen->ReleaseDisplay();
    Trace().Step("SetFullScreen.Normal.RestoreWindow");
    RestoreWindowed();
    FScreen->SetMode(-1);
  }
  Trace().Step("SetFullScreen.SetBounds");
  PlacePanel();
  if (FMedia) FMedia->MidiReopenAfterSwitch();
  Trace().Step("SetFullScreen.Bases.Reload");
  if (FScene) FScene->ReloadSurfaces();
  Trace().Step("SetFullScreen.MediaResume");
  if (FMedia) FMedia->VideoResume();
}

void TFormView::RestoreScreenMode() {
  if (!FScreen || !FScreen->IsFullScreen() || FScreen->ChosenMode() < 0) return;
  if (FScreen->CurrentMode() == FScreen->ChosenMode()) return;
  TSwitchingScope switching;
  if (FScene) FScene->FreeSurfaces();
  if (FMedia) FMedia->VideoSuspend();
  if (!FScreen->SetMode(FScreen->ChosenMode()) || FScreen->CurrentMode() != FScreen->ChosenMode()) {
    RestoreWindowed();
    FScreen->SetMode(-1);
  }
  PlacePanel();
  if (FScene) FScene->ReloadSurfaces();
  if (FMedia) FMedia->VideoResume();
}

void TFormView::SetCursorX(int x) {
  if (!FServices.Window || !FScene) return;
  FServices.Window->WarpMouse(FPanelLeft + x, FPanelTop + FScene->Input().Front().MouseY);
}

void TFormView::SetCursorY(int y) {
  if (!FServices.Window || !FScene) return;
  FServices.Window->WarpMouse(FPanelLeft + FScene->Input().Front().MouseX, FPanelTop + y);
}

}  // namespace kest
