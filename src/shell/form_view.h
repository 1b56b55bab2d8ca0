// The player's main window: start-up and shut-down of every subsystem, the
// tick, input routing, activation, the exit question and the screen switch.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/input_event.h"
#include "platform/window.h"
#include "shell/game_settings.h"
#include "shell/player_parts.h"

namespace kest {

class IClock;
class IDialogs;
class TLoopThread;
struct TKestLib;

struct TFormViewServices {
  IPlayerFactory* Factory = nullptr;
  IDialogs* Dialogs = nullptr;
  IWindow* Window = nullptr;  // null when headless
  TLoopThread* Loop = nullptr;
  const TKestLib* KestLib = nullptr;  // null: no extension library calls
  std::vector<std::string> Params;    // the game folder and further data
  std::string ProgramPath;
  std::string SettingsFile;  // empty: game.ini beside the program
  bool JapaneseLocale = false;
  bool ProgramHasArchiveResource = false;
  // The frame loop's clock, read when the loop is started or resumed.
  IClock* Clock = nullptr;
};

class TFormView {
 public:
  static constexpr int kDockHeight = 22;
  static constexpr const char* kDefaultCaption = "KestPlayer";

  explicit TFormView(TFormViewServices services);
  ~TFormView();

  // The creation sequence: settings, mounting, the subsystems, the layout
  // and the loop. Afterwards CloseRequested() tells whether start-up failed.
  void FormCreate();
  // The close: AppTerminating, then every subsystem freed in reverse.
  void FormClose();

  // One period of the frame loop ended after `elapsed` ms.
  void OnLoop(int32_t elapsed);
  void DoFrame();
  bool InTick() const { return FInTick; }

  void HandleEvent(const TInputEvent& event);

  void btnExitClick();
  void btnScreenClick();
  void SetFullScreen(bool on);
  void RestoreScreenMode();
  void SetCursorX(int x);
  void SetCursorY(int y);

  void ApplicationActivate();
  void ApplicationDeactivate();

  // A close was asked for (the game, the toolbar, the window manager): the
  // loop ends after the current tick and FormClose follows.
  bool CloseRequested() const { return FCloseRequested; }
  void PostClose() { FCloseRequested = true; }

  bool Active() const { return FActive; }
  int PanelLeft() const { return FPanelLeft; }
  int PanelTop() const { return FPanelTop; }
  bool DockVisible() const { return FDockVisible; }
  const TWindowLayout& Layout() const { return FLayout; }
  const TGameSettings& Settings() const { return FSettings; }
  std::string Caption() const { return FCaption; }
  IPlayerScene* Scene() { return FScene.get(); }
  IPlayerProject* Project() { return FProject.get(); }
  IPlayerScreen* Screen() { return FScreen.get(); }

  // The exit question's text for a title (CP932), by the user's language.
  static std::string ExitQuestion(const std::string& title, bool japanese);

 private:
  void InitPlayer();
  void FreePlayer();
  void MountGameData();
  void ApplyLayout();
  void PlacePanel();
  void RestoreWindowed();
  void PanelMouseDown(const TInputEvent& event);
  void PanelMouseUp();
  void PanelMouseMove(const TInputEvent& event);
  void FormMouseMove(const TInputEvent& event);
  void KeyDownMessage(const TInputEvent& event);
  // Typed text is asked of the window only while a text box holds the keys.
  void SyncTextInput();
  void ToolbarRuleInFullScreen(int y);
  bool OnToolbar(int x, int y) const;
  bool InPanel(int x, int y) const;
  int BaseWidth() const;
  int BaseHeight() const;
  uint32_t Now() const;

  TFormViewServices FServices;
  TGameSettings FSettings;
  std::unique_ptr<IPlayerFiles> FFiles;
  std::unique_ptr<IPlayerScene> FScene;
  std::unique_ptr<IPlayerProject> FProject;
  std::unique_ptr<IPlayerMedia> FMedia;
  std::unique_ptr<IPlayerScreen> FScreen;
  TWindowLayout FLayout;
  std::string FCaption = kDefaultCaption;
  bool FActive = false;
  int FPanelLeft = 0;
  int FPanelTop = 0;
  int FSkipDraw = 0;
  bool FDockVisible = true;
  bool FCloseRequested = false;
  bool FInTick = false;
  bool FPlayerInitialised = false;
  bool FTextInputOn = false;
  TPixelRect FTextInputArea;
  bool FKestlibInitialised = false;
};

}  // namespace kest
