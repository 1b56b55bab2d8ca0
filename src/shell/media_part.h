// The media managers as the main window drives them: made at start-up in
// their fixed order, suspended with the window and freed in reverse.
#pragma once

#include <memory>

#include "kestlib/kestlib_loader.h"
#include "media/items/media_managers.h"
#include "shell/player_parts.h"

namespace kest {

class TVrFileManager;

class TMediaPart final : public IPlayerMedia {
 public:
  // DirectSound off: Ogg and WAV sounds go through the player's own mixer,
  // made by `makeWaveItem`.
  TMediaPart(const TKestLib& lib, TVrFileManager* files, bool directSound,
             TOggManager::TWaveItemMaker makeWaveItem = nullptr);
  ~TMediaPart() override;

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
  const TKestLib& FLib;
  TMediaFiles FFiles;
  // In the order they are made; they go in the reverse.
  TVideoManager FVideo;
  TWmpManager FWmp;
  TOggManager FOgg;
  TCddaManager FCdda;
  TMidiManager FMidi;
};

}  // namespace kest
