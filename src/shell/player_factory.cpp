#include "shell/player_factory.h"

#include <cstdio>

namespace kest {

void TPlayerFactory::InitSound() {
  if (audio_) return;
  if (headless_) {
    auto silent = std::make_unique<TSilentAudioDevice>(TSilentAudioDevice::TClock::GameTime);
    game_time_audio_ = silent.get();
    audio_ = std::move(silent);
    return;
  }
  std::string error;
  audio_ = OpenSdlAudio(&error);
  if (!audio_) {
    std::fprintf(stderr, "kestplayer: no sound device (%s); playing silently\n", error.c_str());
    audio_ = std::make_unique<TSilentAudioDevice>(TSilentAudioDevice::TClock::RealTime);
  }
}

void TPlayerFactory::CreateVariables() {
  if (!date_clock_) date_clock_ = std::make_unique<TSystemDateClock>();
  variables_ = std::make_unique<TParamCollection>();
  variables_->SetDateClock(date_clock_.get());
}

}  // namespace kest
