#include "shell/form_view.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>

#include "common/app_globals.h"
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

std::string ProgramFolderOf(const std::string& program_path) {
  return std::filesystem::path(program_path).parent_path().string();
}

// SwitchingScreen is cleared however a switch ends.
struct TSwitchingScope {
  TSwitchingScope() { SwitchingScreen = true; }
  ~TSwitchingScope() { SwitchingScreen = false; }
};

}  // namespace

TFormView::TFormView(TFormViewServices services) : services_(std::move(services)) {}

TFormView::~TFormView() {
  if (player_initialised_) FormClose();
}

uint32_t TFormView::Now() const { return services_.Clock ? services_.Clock->NowMs() : 0; }

int TFormView::BaseWidth() const { return project_ ? project_->ScreenWidth() : kDefaultWidth; }
int TFormView::BaseHeight() const { return project_ ? project_->ScreenHeight() : kDefaultHeight; }

void TFormView::FormCreate() {
  const std::string folder = ProgramFolderOf(services_.ProgramPath);
  std::error_code ec;
  std::filesystem::remove(std::filesystem::path(folder) / "kestplay.log", ec);
  Trace().Step("FormCreate");
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  // A damaged game.dat fails as early as the mount: every failure from here
  // on ends in the warning box and a closed window.
  try {
    settings_ = LoadGameSettings(
        THostNameResolver().FindFile(folder + "/", "game.ini").value_or(folder + "/game.ini"));
    files_ = services_.Factory->CreateFiles();
    if (files_) files_->MountMemory();
    MountGameData();
    Trace().Step("TBasePanel.Create");
    services_.Factory->CreateVariables();
    services_.Factory->CreateSystemFunctions();
    InitPlayer();
  } catch (const std::exception& e) {
    services_.Dialogs->MessageBox(Cp932ToUtf8(e.what()), kDefaultCaption, TUiIcon::Warning, TUiButtons::Ok);
    PostClose();
  }
  if (AppTerminating) PostClose();
}

void TFormView::MountGameData() {
  if (!files_) return;
  for (const TMountStep& step :
       PlanMounts(services_.Params, services_.ProgramPath, services_.ProgramHasArchiveResource)) {
    switch (step.Kind) {
      case TMountStep::TKind::SetBaseFolder: files_->SetBaseFolder(step.Path); break;
      case TMountStep::TKind::MountResource: files_->MountProgramResource(); break;
      case TMountStep::TKind::MountFile: files_->MountFile(step.Path); break;
    }
  }
}

void TFormView::InitPlayer() {
  player_initialised_ = true;
  IPlayerFactory& factory = *services_.Factory;
  Trace().Step("DXSound.Initialize");
  if (settings_.DirectSound) {
    try {
      factory.InitSound();
    } catch (const std::exception&) {
      // A missing sound device leaves the game silent, never unplayable.
    }
  }
  Trace().Step("KestInitialize");
  scene_ = factory.CreateScene();
  Trace().Step("TProject.Create");
  project_ = factory.CreateProject();

  Trace().Step("MediaInit");
  TMediaInitArgs args;
  args.ScreenWidth = BaseWidth();
  args.ScreenHeight = BaseHeight();
  args.FullScreenWidth = project_ ? project_->FullScreenWidth() : args.ScreenWidth;
  args.FullScreenHeight = project_ ? project_->FullScreenHeight() : args.ScreenHeight;
  if (const TKestLib* lib = services_.KestLib) {
    lib->kestInit(nullptr, nullptr, nullptr, nullptr, KestStreamSize, KestStreamRead, KestStreamPosition,
                  KestStreamSeek, KestSaveFpu, KestRestoreFpu, 0);
    lib->kestOggmanSetUseThread(-1);
    kestlib_initialised_ = true;
  }
  if (args.ScreenWidth > 0 && args.ScreenHeight > 0) screen_ = factory.CreateScreen(args);
  media_ = factory.CreateMedia(args);

  Trace().Step("KestInitColor");
  factory.InitColourTables();

  if (project_) {
    const std::string title = project_->Title();
    if (!title.empty()) caption_ = Cp932ToUtf8(title);
  }
  if (services_.Window) services_.Window->SetTitle(caption_);
  dock_visible_ = project_ ? project_->ShowToolbar() : true;
  if (scene_) scene_->SetSize(BaseWidth(), BaseHeight());
  ApplyLayout();
  if (services_.Window) services_.Window->Show();
  if (services_.Loop) services_.Loop->Start(Now());
}

void TFormView::ApplyLayout() {
  layout_.ClientWidth = BaseWidth();
  layout_.ClientHeight = BaseHeight() + (dock_visible_ ? kDockHeight : 0);
  layout_.ToolbarVisible = dock_visible_;
  PlacePanel();
}

void TFormView::PlacePanel() {
  const bool full = screen_ && screen_->IsFullScreen();
  panel_left_ = (layout_.ClientWidth - BaseWidth()) / 2;
  if (full)
    panel_top_ = (layout_.ClientHeight - BaseHeight()) / 2;
  else
    panel_top_ = dock_visible_ ? kDockHeight : 0;
  layout_.PanelLeft = panel_left_;
  layout_.PanelTop = panel_top_;
  layout_.PanelWidth = BaseWidth();
  layout_.PanelHeight = BaseHeight();
  if (services_.Window) services_.Window->SetLayout(layout_);
}

void TFormView::FormClose() {
  AppTerminating = true;
  FreePlayer();
  Trace().Step("FormClose");
}

void TFormView::FreePlayer() {
  if (!player_initialised_) return;
  player_initialised_ = false;
  if (services_.Loop) services_.Loop->Stop();
  Trace().Step("Project.Free");
  project_.reset();
  Trace().Step("SysFuncMan.Free");
  services_.Factory->FreeSystemFunctions();
  Trace().Step("ParamMan.Free");
  services_.Factory->FreeVariables();
  Trace().Step("KestFinalize");
  for (const char* step : {"TextRead.Free", "TextHistoryFormats.Free", "Bases.Free", "SelRectDIB.Free",
                           "TransBGDIB.Free", "PexaMan.Free", "ClipMan.Free"}) {
    Trace().Step(step);
    if (std::string_view(step) == "Bases.Free") scene_.reset();
  }
  Trace().Step("MediaFinal");
  Trace().Step("ScreenMan.Free");
  screen_.reset();
  for (const char* step : {"VideoMan.Free", "WaveMan.Free", "WmpMan.Free", "OggMan.Free", "CddaMan.Free", "MidiMan.Free"})
    Trace().Step(step);
  media_.reset();
  Trace().Step("kestFinal");
  if (kestlib_initialised_) services_.KestLib->kestFinal();
  kestlib_initialised_ = false;
}

void TFormView::OnLoop(int32_t elapsed) {
  GameTime += elapsed;
  FrameDelta = elapsed;
  if (SwitchingScreen) return;
  DoFrame();
}

void TFormView::DoFrame() {
  if (!project_ || in_tick_) return;
  in_tick_ = true;
  struct TEnd {
    bool& flag;
    ~TEnd() { flag = false; }
  } end{in_tick_};
  if (files_) files_->DeletePendingFiles();
  if (scene_) scene_->ProcessInput();
  project_->RunTick();
  if (AppTerminating) return;
  if (scene_) scene_->UpdateScene();
  FrameCount += 1;
  if (project_->DoRequests()) skip_draw_ = 1;
  if (skip_draw_ > 0) {
    --skip_draw_;
    return;
  }
  if (scene_) scene_->DrawScene();
  if (screen_) screen_->Present();
  if (scene_) scene_->ClearDirtyLists();
  if (media_) media_->VideoStep();
}

bool TFormView::InPanel(int x, int y) const {
  return x >= panel_left_ && y >= panel_top_ && x < panel_left_ + BaseWidth() && y < panel_top_ + BaseHeight();
}

void TFormView::HandleEvent(const TInputEvent& event) {
  using T = TInputEvent::TType;
  switch (event.Type) {
    case T::KeyDown: KeyDownMessage(event); break;
    case T::KeyUp:
      if (scene_ && event.Key >= 0 && event.Key < 256) scene_->Input().KeyUp(event.Key);
      break;
    case T::MouseDown:
      if (InPanel(event.X, event.Y)) PanelMouseDown(event);
      break;
    case T::MouseUp: PanelMouseUp(); break;
    case T::MouseMove: {
      const bool captured = scene_ && (scene_->Input().Base(0).LeftHeld || scene_->Input().Base(0).RightHeld);
      // Moves over the toolbar are the toolbar's own, in full screen too,
      // where it lies over the top of the panel: it stays while used.
      if (!captured && OnToolbar(event.X, event.Y)) break;
      if (InPanel(event.X, event.Y) || captured)
        PanelMouseMove(event);
      else
        FormMouseMove(event);
      break;
    }
    case T::Wheel:
      if (scene_ && event.WheelSteps != 0) scene_->Input().Wheel(event.WheelSteps < 0);
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
  // Held keys repeat at the keyboard's rate; the scene makes its own repeats.
  if (event.Repeat || !active_ || !scene_) return;
  if (event.Key >= 0 && event.Key < 256) scene_->Input().KeyDown(event.Key);
}

void TFormView::PanelMouseDown(const TInputEvent& event) {
  if (!active_ || !scene_) return;
  const TMouseButton button = event.Button == TInputEvent::kLeft    ? TMouseButton::Left
                              : event.Button == TInputEvent::kRight ? TMouseButton::Right
                                                                    : TMouseButton::Middle;
  scene_->Input().MouseDown(button);
}

void TFormView::PanelMouseUp() {
  if (scene_) scene_->Input().MouseUp();
}

void TFormView::PanelMouseMove(const TInputEvent& event) {
  if (scene_) scene_->Input().MouseMove(event.X - panel_left_, event.Y - panel_top_);
  ToolbarRuleInFullScreen(event.Y);
}

void TFormView::FormMouseMove(const TInputEvent& event) { ToolbarRuleInFullScreen(event.Y); }

bool TFormView::OnToolbar(int x, int y) const {
  return layout_.ToolbarVisible && x >= 0 && x < layout_.ClientWidth && y >= 0 && y < kDockHeight;
}

void TFormView::ToolbarRuleInFullScreen(int y) {
  if (!screen_ || !screen_->IsFullScreen()) return;
  // In desktop full screen the game sits in the middle of the screen: the
  // toolbar shows while the mouse is on the panel's top row or in the border
  // above it, and goes once the mouse leaves it for anywhere lower.
  const bool show = y <= 0;
  if (show == layout_.ToolbarVisible) return;
  layout_.ToolbarVisible = show;
  if (services_.Window) services_.Window->SetLayout(layout_);
}

void TFormView::ApplicationDeactivate() {
  if (project_ && !project_->StopWhenInactive()) return;
  if (services_.Loop) services_.Loop->Suspend();
  if (!scene_) return;
  active_ = false;
  if (media_) {
    media_->VideoPause();
    media_->SuspendManagers();
  }
  scene_->Input().ClearKeys();
}

void TFormView::ApplicationActivate() {
  if (!project_ || project_->StopWhenInactive()) {
    if (services_.Loop) services_.Loop->Resume(Now());
    if (!scene_) return;
    active_ = true;
    if (media_) media_->ResumeManagers();
  } else if (scene_) {
    active_ = true;
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
  const std::string title = project_ ? project_->Title() : std::string();
  const TUiResult answer = services_.Dialogs->MessageBox(
      Cp932ToUtf8(ExitQuestion(title, services_.JapaneseLocale)), Cp932ToUtf8(title), TUiIcon::Question,
      TUiButtons::YesNo);
  if (answer == TUiResult::Yes)
    PostClose();
  else
    AppTerminating = was_terminating;
}

void TFormView::btnScreenClick() { SetFullScreen(!(screen_ && screen_->IsFullScreen())); }

void TFormView::RestoreWindowed() {
  layout_.ClientWidth = BaseWidth();
  layout_.ClientHeight = BaseHeight() + (dock_visible_ ? kDockHeight : 0);
  layout_.ToolbarVisible = dock_visible_;
}

void TFormView::SetFullScreen(bool on) {
  Trace().Step("SetFullScreen");
  TSwitchingScope switching;
  const bool full = screen_ && screen_->IsFullScreen();
  if (on == full) return;
  if (on && (!screen_ || screen_->ChosenMode() < 0)) {
    Trace().Step("SetFullScreen.Full");
    return;
  }
  if (media_) media_->MidiCloseForSwitch();
  if (on) {
    Trace().Step("SetFullScreen.Full");
    Trace().Step("SetFullScreen.Full.Bases.FreeDX");
    if (scene_) scene_->FreeSurfaces();
    Trace().Step("SetFullScreen.Full.MediaSuspend");
    if (media_) media_->VideoSuspend();
    layout_.ToolbarVisible = false;
    Trace().Step("SetFullScreen.Full.ScreenMan.FreeDX");
    screen_->ReleaseDisplay();
    Trace().Step("SetFullScreen.Full.StoreWindow");
    layout_.ClientWidth = BaseWidth();
    layout_.ClientHeight = BaseHeight();
    Trace().Step("SetFullScreen.Full.SetScreenManIndex");
    const bool switched = screen_->SetMode(screen_->ChosenMode()) && screen_->CurrentMode() == screen_->ChosenMode();
    if (!switched) {
      Trace().Step("SetFullScreen.Full.SetScreenManIndexFail");
      RestoreWindowed();
      screen_->SetMode(-1);
    }
  } else {
    Trace().Step("SetFullScreen.Normal");
    Trace().Step("SetFullScreen.Normal.Bases.FreeDX");
    if (scene_) scene_->FreeSurfaces();
    Trace().Step("SetFullScreen.Normal.MediaSuspend");
    if (media_) media_->VideoSuspend();
    Trace().Step("SetFullScreen.Normal.ScreenMan.FreeDX");
    screen_->ReleaseDisplay();
    Trace().Step("SetFullScreen.Normal.RestoreWindow");
    RestoreWindowed();
    screen_->SetMode(-1);
  }
  Trace().Step("SetFullScreen.SetBounds");
  PlacePanel();
  if (media_) media_->MidiReopenAfterSwitch();
  Trace().Step("SetFullScreen.Bases.Reload");
  if (scene_) scene_->ReloadSurfaces();
  Trace().Step("SetFullScreen.MediaResume");
  if (media_) media_->VideoResume();
}

void TFormView::RestoreScreenMode() {
  if (!screen_ || !screen_->IsFullScreen() || screen_->ChosenMode() < 0) return;
  if (screen_->CurrentMode() == screen_->ChosenMode()) return;
  TSwitchingScope switching;
  if (scene_) scene_->FreeSurfaces();
  if (media_) media_->VideoSuspend();
  if (!screen_->SetMode(screen_->ChosenMode()) || screen_->CurrentMode() != screen_->ChosenMode()) {
    RestoreWindowed();
    screen_->SetMode(-1);
  }
  PlacePanel();
  if (scene_) scene_->ReloadSurfaces();
  if (media_) media_->VideoResume();
}

void TFormView::SetCursorX(int x) {
  if (!services_.Window || !scene_) return;
  services_.Window->WarpMouse(panel_left_ + x, panel_top_ + scene_->Input().Front().MouseY);
}

void TFormView::SetCursorY(int y) {
  if (!services_.Window || !scene_) return;
  services_.Window->WarpMouse(panel_left_ + scene_->Input().Front().MouseX, panel_top_ + y);
}

}  // namespace kest
