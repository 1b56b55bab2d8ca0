#include "shell/player_factory.h"

#include <cstdio>

#include "shell/player_files.h"
#include "shell/project_part.h"
#include "script/call_man.h"

#include <filesystem>

namespace kest {

void TPlayerFactory::InitSound() {
  if (audio_) return;
  if (headless_) {
    auto silent = std::make_unique<TSilentAudioDevice>(TSilentAudioDevice::TClock::GameTime);
    game_time_audio_ = silent.get();
    audio_ = std::move(silent);
    return;
  }
  std::string error = "none opened";
  if (open_sound_card_) audio_ = open_sound_card_(&error);
  if (!audio_) {
    std::fprintf(stderr, "kestplayer: no sound device (%s); playing silently\n", error.c_str());
    audio_ = std::make_unique<TSilentAudioDevice>(TSilentAudioDevice::TClock::RealTime);
  }
}

std::unique_ptr<IPlayerScreen> TPlayerFactory::CreateScreen(const TMediaInitArgs& args) {
  if (!screen_output_) return nullptr;
  auto manager = std::make_unique<TScreenManager>(display_, screen_output_, args.ScreenWidth, args.ScreenHeight,
                                                  args.FullScreenWidth, args.FullScreenHeight, forced_bits_);
  auto part = std::make_unique<TScreenPart>(std::move(manager), frame_observer_);
  part->SetTestPattern(test_pattern_);
  return part;
}

std::unique_ptr<IPlayerFiles> TPlayerFactory::CreateFiles() {
  auto files = std::make_unique<TPlayerFiles>(program_path_, dialogs_, close_);
  files_ = &files->Manager();
  return files;
}

std::unique_ptr<IPlayerProject> TPlayerFactory::CreateProject() {
  if (!files_ || !variables_) return nullptr;
  project_ui_ = std::make_unique<TProjectUi>(dialogs_);
  TProjectParts parts;
  parts.Files = files_;
  parts.Vars = variables_.get();
  parts.Ui = project_ui_.get();
  parts.MakeInterpreter = [this](TProject& project) -> std::unique_ptr<IProjectInterpreter> {
    TCallManParts man;
    man.Files = files_;
    man.Vars = variables_.get();
    man.Funcs = &funcs_;
    man.Ui = project_ui_.get();
    man.Events = &events_;
    man.EnsureFile = [&project](std::string_view page) { return project.EnsureFile(page); };
    man.Hosts.Game = &game_host_;
    return std::make_unique<TCallMan>(std::move(man));
  };
  TProjectOptions options;
  options.GameFolder = game_folder_;
  options.ProgramFolder = std::filesystem::path(program_path_).parent_path().string();
  options.SavePlaces = TSaveDataPlaces::FromEnvironment("");
  return std::make_unique<TProjectPart>(std::make_unique<TProject>(std::move(parts), std::move(options)));
}

void TPlayerFactory::PostScriptEvent(std::string reference, const std::vector<std::string>& args) {
  TTimerData record;
  record.Reference = std::move(reference);
  record.Sender = TSenderRef(script_sender_);
  for (const std::string& arg : args) record.Args.Add(arg);
  events_.PostEvent(std::move(record));
}

void TPlayerFactory::CreateVariables() {
  if (!date_clock_) date_clock_ = std::make_unique<TSystemDateClock>();
  variables_ = std::make_unique<TParamCollection>();
  variables_->SetDateClock(date_clock_.get());
}

}  // namespace kest
