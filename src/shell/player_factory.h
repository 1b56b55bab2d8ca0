// The parts of the running player. It owns the sound device; the other parts
// are those of TEmptyPlayerFactory until their subsystems take their places.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "language/date_clock.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"
#include "media/sound/sound_bus.h"
#include "platform/audio_device.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "scene/event_queue.h"
#include "scene/scene_function_host.h"
#include "script/command_hosts.h"
#include "script/game_state_host.h"
#include "script/project_ui.h"
#include "script/read_list_status_part.h"
#include "script/script_story_pages.h"
#include "shell/desktop_host.h"
#include "shell/game_file_functions.h"
#include "shell/player_placeholders.h"
#include "shell/program_runner.h"
#include "shell/scene_media_part.h"
#include "shell/screen_part.h"
#include "storage/vr_file_manager.h"
#include "text/var_evaluator.h"

namespace kest {

class ICursorSink;
class IDialogs;
class TMediaPart;
class TProject;
class TScenePart;
class TFontPixelManager;

class TPlayerFactory final : public TEmptyPlayerFactory {
 public:
  // The sound card of the windowed player; nullptr (with the reason) when
  // there is none.
  using TOpenSoundCard = std::function<std::unique_ptr<IAudioDevice>(std::string* error)>;

  // Headless players get a silent device that runs on game time, or one that
  // writes a WAV file.
  explicit TPlayerFactory(bool headless, TOpenSoundCard openSoundCard = nullptr)
      : FHeadless(headless), FOpenSoundCard(std::move(openSoundCard)) {}

  // Headless: what the player sounds goes to `path` as a WAV file rather than
  // nowhere. False, with the reason, when the file cannot be created.
  bool SetWavOutput(const std::string& path, std::string* error);
  // Opens the sound card; without one a silent device takes its place.
  void InitSound() override;
  void* SoundOutput() override;
  // The clock the wave mixer times its blocks by: the game's in a headless
  // player (which then mixes on each tick), else the steady clock.
  void SetMediaClock(IClock* clock) { FMediaClock = clock; }
  // The variable store, reading dates from `clock` (the host's local time
  // when null).
  void SetDateClock(std::unique_ptr<IDateClock> clock) { FDateClock = std::move(clock); }
  // The process's glyph cache, which every scene draws its text with.
  void SetFonts(TFontPixelManager* fonts) { FFonts = fonts; }
  // Where the scene's mouse cursor goes (none when headless).
  void SetCursorSink(ICursorSink* sink) { FCursorSink = sink; }
  void CreateVariables() override;
  // The variables go before the scene: nothing reads the scene after them.
  void FreeVariables() override;
  std::unique_ptr<IPlayerScene> CreateScene() override;
  TParamCollection* Variables() const { return FVariables.get(); }
  // The scene's read marks while the scene exists.
  TKestReadList* ReadMarks() const;

  // Where the screen manager's frames go and which display it controls; a
  // null display gives no full-screen modes.
  void SetScreen(IDisplay* display, IScreenOutput* output, int forcedBits,
                 TScreenPart::TFrameObserver observer = nullptr, bool testPattern = false) {
    FTestPattern = testPattern;
    FDisplay = display;
    FScreenOutput = output;
    FForcedBits = forcedBits;
    FFrameObserver = std::move(observer);
  }
  std::unique_ptr<IPlayerScreen> CreateScreen(const TMediaInitArgs& args) override;
  std::unique_ptr<IPlayerMedia> CreateMedia(const TMediaInitArgs& args) override;
  // The media managers once made (null before and after).
  TMediaPart* Media() const { return FMedia; }

  // The virtual file manager, asking its disc questions through `dialogs`
  // and closing the player through `close`.
  void SetFileServices(std::string programPath, IDialogs* dialogs, std::function<void()> close) {
    FProgramPath = std::move(programPath);
    FDialogs = dialogs;
    FClose = std::move(close);
  }
  std::unique_ptr<IPlayerFiles> CreateFiles() override;
  // The project of the game folder (the first parameter; empty for a game
  // beside or inside the program).
  void SetGameFolder(std::string folder) { FGameFolder = std::move(folder); }
  // What keeps the window turning while a helper program's dialog is open.
  void SetHelperTurn(std::function<void()> turn) { FRunner->SetTurn(std::move(turn)); }
  std::unique_ptr<IPlayerProject> CreateProject() override;
  IAudioDevice* Audio() const { return FAudio.get(); }
  // Posts an event as the headless input script's own sender.
  void PostScriptEvent(std::string reference, const std::vector<std::string>& args);
  // The headless player's device takes the sound of each period.
  void AdvanceSound(int32_t ms) {
    if (FAdvanceSound) FAdvanceSound(ms);
  }

 private:
  void OpenSound();
  // The file functions reach the project's save file and discs.
  void ConnectFileHosts(TProject& project);

  bool FHeadless;
  TOpenSoundCard FOpenSoundCard;
  std::unique_ptr<IAudioDevice> FAudio;
  std::unique_ptr<TSoundBus> FBus;
  IClock* FMediaClock = nullptr;
  // Set for a device that runs on game time.
  std::function<void(int32_t)> FAdvanceSound;
  std::unique_ptr<IDateClock> FDateClock;
  std::unique_ptr<TParamCollection> FVariables;
  IDisplay* FDisplay = nullptr;
  IScreenOutput* FScreenOutput = nullptr;
  int FForcedBits = 0;
  bool FTestPattern = false;
  TScreenPart::TFrameObserver FFrameObserver;
  TFontPixelManager* FFonts = nullptr;
  ICursorSink* FCursorSink = nullptr;
  std::string FProgramPath;
  IDialogs* FDialogs = nullptr;
  std::function<void()> FClose;
  // A game that ends itself closes the player as the toolbar's exit does.
  class TGameHost final : public IGameHost {
   public:
    explicit TGameHost(const std::function<void()>& close) : FClose(close) {}
    void CloseMainWindow() override {
      if (FClose) FClose();
    }

   private:
    const std::function<void()>& FClose;
  };
  TGameHost FGameHost{FClose};
  std::string FGameFolder;
  TVrFileManager* FFiles = nullptr;
  std::unique_ptr<IProjectUi> FProjectUi;
  TSysFuncMan FFuncs;
  // What the component and game-state functions of expressions reach: the
  // scene while it exists; the saved games, histories and display modes.
  std::unique_ptr<TSceneFunctionHost> FSceneFunctions;
  TScenePropertyTypes FPropertyTypes;
  TGameStateHost FGameState;
  // The file and desktop functions of expressions; a headless player starts
  // no helper program, recording what it would have started.
  std::unique_ptr<IProgramRunner> FRunner = MakeProgramRunner(FHeadless);
  TDesktopHost FDesktopHost{*FRunner};
  TGameFileFunctions FFileHost{TGameFileParts{}};
  // The script pages the histories read back, and the read marks as the
  // status record keeps them.
  std::unique_ptr<TScriptStoryPages> FStoryPages;
  std::unique_ptr<TReadListStatusPart> FReadListPart;
  // What VAR tags in the scene's texts are evaluated with.
  std::unique_ptr<TStoreVarEvaluator> FTextVariables;
  // The scene's event queue; before the scene exists, one of the factory's.
  TTimerList* Events();
  TScenePart* FScene = nullptr;
  TMediaPart* FMedia = nullptr;
  // The managers as the scene's sounds and movies reach them.
  std::unique_ptr<TSceneMediaPart> FSceneMedia;
  TTimerList FEvents;
  TObjectHandle FScriptSender = std::make_shared<TObjectLife>(TObjectLife{"headless"});
};

}  // namespace kest
