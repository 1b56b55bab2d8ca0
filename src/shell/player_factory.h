// The parts of the running player. It owns the sound device; the other parts
// are those of TEmptyPlayerFactory until their subsystems take their places.
#pragma once

#include <memory>

#include "platform/audio_device.h"
#include "shell/player_placeholders.h"

namespace kest {

class TPlayerFactory final : public TEmptyPlayerFactory {
 public:
  // Headless players get a silent device that runs on game time.
  explicit TPlayerFactory(bool headless) : headless_(headless) {}

  // Opens the sound card; without one a silent device takes its place.
  void InitSound() override;
  IAudioDevice* Audio() const { return audio_.get(); }
  // The headless player's device, advanced by each tick's length.
  TSilentAudioDevice* GameTimeAudio() const { return game_time_audio_; }

 private:
  bool headless_;
  std::unique_ptr<IAudioDevice> audio_;
  TSilentAudioDevice* game_time_audio_ = nullptr;
};

}  // namespace kest
