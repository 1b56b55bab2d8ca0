// The parts of the running player. It owns the sound device; the other parts
// are those of TEmptyPlayerFactory until their subsystems take their places.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "language/date_clock.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"
#include "scene/event_queue.h"
#include "platform/audio_device.h"
#include "platform/display.h"
#include "script/command_hosts.h"
#include "script/project_ui.h"
#include "shell/screen_part.h"
#include "storage/vr_file_manager.h"
#include "shell/player_placeholders.h"

namespace kest {

class IDialogs;

class TPlayerFactory final : public TEmptyPlayerFactory {
 public:
  // The sound card of the windowed player; nullptr (with the reason) when
  // there is none.
  using TOpenSoundCard = std::function<std::unique_ptr<IAudioDevice>(std::string* error)>;

  // Headless players get a silent device that runs on game time.
  explicit TPlayerFactory(bool headless, TOpenSoundCard open_sound_card = nullptr)
      : headless_(headless), open_sound_card_(std::move(open_sound_card)) {}

  // Opens the sound card; without one a silent device takes its place.
  void InitSound() override;
  // The variable store, reading dates from `clock` (the host's local time
  // when null).
  void SetDateClock(std::unique_ptr<IDateClock> clock) { date_clock_ = std::move(clock); }
  void CreateVariables() override;
  void FreeVariables() override { variables_.reset(); }
  TParamCollection* Variables() const { return variables_.get(); }

  // Where the screen manager's frames go and which display it controls; a
  // null display gives no full-screen modes.
  void SetScreen(IDisplay* display, IScreenOutput* output, int forced_bits,
                 TScreenPart::TFrameObserver observer = nullptr, bool test_pattern = false) {
    test_pattern_ = test_pattern;
    display_ = display;
    screen_output_ = output;
    forced_bits_ = forced_bits;
    frame_observer_ = std::move(observer);
  }
  std::unique_ptr<IPlayerScreen> CreateScreen(const TMediaInitArgs& args) override;

  // The virtual file manager, asking its disc questions through `dialogs`
  // and closing the player through `close`.
  void SetFileServices(std::string program_path, IDialogs* dialogs, std::function<void()> close) {
    program_path_ = std::move(program_path);
    dialogs_ = dialogs;
    close_ = std::move(close);
  }
  std::unique_ptr<IPlayerFiles> CreateFiles() override;
  // The project of the game folder (the first parameter; empty for a game
  // beside or inside the program).
  void SetGameFolder(std::string folder) { game_folder_ = std::move(folder); }
  std::unique_ptr<IPlayerProject> CreateProject() override;
  IAudioDevice* Audio() const { return audio_.get(); }
  // Posts an event as the headless input script's own sender.
  void PostScriptEvent(std::string reference, const std::vector<std::string>& args);
  // The headless player's device, advanced by each tick's length.
  TSilentAudioDevice* GameTimeAudio() const { return game_time_audio_; }

 private:
  bool headless_;
  TOpenSoundCard open_sound_card_;
  std::unique_ptr<IAudioDevice> audio_;
  TSilentAudioDevice* game_time_audio_ = nullptr;
  std::unique_ptr<IDateClock> date_clock_;
  std::unique_ptr<TParamCollection> variables_;
  IDisplay* display_ = nullptr;
  IScreenOutput* screen_output_ = nullptr;
  int forced_bits_ = 0;
  bool test_pattern_ = false;
  TScreenPart::TFrameObserver frame_observer_;
  std::string program_path_;
  IDialogs* dialogs_ = nullptr;
  std::function<void()> close_;
  // A game that ends itself closes the player as the toolbar's exit does.
  class TGameHost final : public IGameHost {
   public:
    explicit TGameHost(const std::function<void()>& close) : close_(close) {}
    void CloseMainWindow() override {
      if (close_) close_();
    }

   private:
    const std::function<void()>& close_;
  };
  TGameHost game_host_{close_};
  std::string game_folder_;
  TVrFileManager* files_ = nullptr;
  std::unique_ptr<IProjectUi> project_ui_;
  TSysFuncMan funcs_;
  TTimerList events_;
  TSenderHandle script_sender_ = std::make_shared<TEventSender>(TEventSender{"headless"});
};

}  // namespace kest
