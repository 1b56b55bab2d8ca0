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
  IWindow* Window = nullptr;               // null when headless
  TLoopThread* Loop = nullptr;
  const TKestLib* KestLib = nullptr;       // null: no extension library calls
  std::vector<std::string> Params;         // the game folder and further data
  std::string ProgramPath;
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
  bool InTick() const { return in_tick_; }

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
  bool CloseRequested() const { return close_requested_; }
  void PostClose() { close_requested_ = true; }

  bool Active() const { return active_; }
  int PanelLeft() const { return panel_left_; }
  int PanelTop() const { return panel_top_; }
  bool DockVisible() const { return dock_visible_; }
  const TWindowLayout& Layout() const { return layout_; }
  const TGameSettings& Settings() const { return settings_; }
  std::string Caption() const { return caption_; }
  IPlayerScene* Scene() { return scene_.get(); }
  IPlayerProject* Project() { return project_.get(); }
  IPlayerScreen* Screen() { return screen_.get(); }

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
  void ToolbarRuleInFullScreen(int y);
  bool OnToolbar(int x, int y) const;
  bool InPanel(int x, int y) const;
  int BaseWidth() const;
  int BaseHeight() const;
  uint32_t Now() const;

  TFormViewServices services_;
  TGameSettings settings_;
  std::unique_ptr<IPlayerFiles> files_;
  std::unique_ptr<IPlayerScene> scene_;
  std::unique_ptr<IPlayerProject> project_;
  std::unique_ptr<IPlayerMedia> media_;
  std::unique_ptr<IPlayerScreen> screen_;
  TWindowLayout layout_;
  std::string caption_ = kDefaultCaption;
  bool active_ = false;
  int panel_left_ = 0;
  int panel_top_ = 0;
  int skip_draw_ = 0;
  bool dock_visible_ = true;
  bool close_requested_ = false;
  bool in_tick_ = false;
  bool player_initialised_ = false;
  bool kestlib_initialised_ = false;
};

}  // namespace kest
