// The media managers as the main window drives them: made at start-up in
// their fixed order, suspended with the window and freed in reverse.
#pragma once

#include <memory>

#include "kestlib/kestlib_loader.h"
#include "media/items/media_managers.h"
#include "media/sound/wav_out.h"
#include "platform/clock.h"
#include "shell/player_parts.h"

namespace kest {

class TVrFileManager;

class TMediaPart final : public IPlayerMedia {
 public:
  struct TOptions {
    // Off: Ogg and WAV sounds are played by the player's own wave mixer on
    // the bus, started with the first of them.
    bool DirectSound = true;
    int DelayTime = TWavOut::kDefaultDelayTime;
    TSoundBus* Bus = nullptr;
    IClock* Clock = nullptr;  // none: the steady clock
    // The mixer mixes on each tick instead of on its own thread, so that a
    // headless run stays the same from run to run.
    bool MixOnTick = false;
  };
  TMediaPart(const TKestLib& lib, TVrFileManager* files, const TOptions& options);
  ~TMediaPart() override;

  // Each tick: the video manager's step, and the mixer's pass when it mixes
  // on the tick.
  void VideoStep() override;
  void VideoPause() override;
  void VideoSuspend() override { FVideo.Suspend(); }
  void VideoResume() override { FVideo.Resume(); }
  void SuspendManagers() override;
  void ResumeManagers() override;
  void MidiCloseForSwitch() override {}
  void MidiReopenAfterSwitch() override {}

  TVideoManager& Video() { return FVideo; }
  TWmpManager& Wmp() { return FWmp; }
  TOggManager& Ogg() { return FOgg; }
  TCddaManager& Cdda() { return FCdda; }
  TMidiManager& Midi() { return FMidi; }

 private:
  std::unique_ptr<TDMediaItem> MakeWaveItem(TMediaManager& manager, std::unique_ptr<TStream> stream, bool isOgg);

  const TKestLib& FLib;
  TOptions FOptions;
  TSteadyClock FSteadyClock;
  std::unique_ptr<TWavOut> FMixer;  // made with the first item it plays
  TMediaFiles FFiles;
  // In the order they are made; they go in the reverse.
  TVideoManager FVideo;
  TWmpManager FWmp;
  TOggManager FOgg;
  TCddaManager FCdda;
  TMidiManager FMidi;
};

}  // namespace kest
