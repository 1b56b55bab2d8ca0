#pragma once
// The player's media managers over the extension library, on a sound output
// pulled by hand: what the tests of real sounds and movies in a scene stand on.

#include <memory>

#include "kestlib/stream_callbacks.h"
#include "media/sound/sound_bus.h"
#include "platform/audio_device.h"
#include "platform/clock.h"
#include "shell/media_part.h"
#include "shell/scene_media_part.h"
#include "support/sound_checks.h"

namespace kest::test {

struct TPlayerMediaRig {
  TManualAudioDevice Device;
  TSoundBus Bus{Device};
  TManualClock Clock;
  std::unique_ptr<TMediaPart> Media;
  std::unique_ptr<TSceneMediaPart> SceneMedia;

  // Starts the library on the output and makes the managers.
  void Open(bool directSound) {
    void* shared = Bus.CBus();
    SoundLib().kestInit(nullptr, nullptr, nullptr, &shared, KestStreamSize, KestStreamRead, KestStreamPosition,
                        KestStreamSeek, KestSaveFpu, KestRestoreFpu, 0);
    SoundLib().kestOggmanSetUseThread(-1);
    TMediaPart::TOptions options;
    options.DirectSound = directSound;
    options.DelayTime = 100;
    options.Bus = &Bus;
    options.Clock = &Clock;
    options.MixOnTick = true;
    Media = std::make_unique<TMediaPart>(SoundLib(), nullptr, options);
    SceneMedia = std::make_unique<TSceneMediaPart>(*Media, nullptr);
  }
  // The scenes using the managers go first.
  void Close() {
    SceneMedia.reset();
    if (!Media) return;
    Media.reset();
    SoundLib().kestFinal();
  }
};

}  // namespace kest::test
