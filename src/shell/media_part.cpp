#include "shell/media_part.h"

namespace kest {

TMediaPart::TMediaPart(const TKestLib& lib, TVrFileManager* files, bool directSound,
                       TOggManager::TWaveItemMaker makeWaveItem)
    : FLib(lib),
      FFiles(files),
      FVideo(lib, FFiles),
      FWmp(lib, FFiles),
      FOgg(lib, FFiles, directSound, std::move(makeWaveItem)) {}

// Items go before the library is told to finish (kestFinal follows).
TMediaPart::~TMediaPart() {
  FMidi.Clear();
  FCdda.Clear();
  FOgg.Clear();
  FWmp.Clear();
  FVideo.Clear();
}

void TMediaPart::VideoStep() { FLib.kestVidmanProcessEvent(nullptr); }

void TMediaPart::VideoPause() { FVideo.Suspend(); }

void TMediaPart::SuspendManagers() {
  FWmp.Suspend();
  FOgg.Suspend();
  FCdda.Suspend();
  FMidi.Suspend();
}

void TMediaPart::ResumeManagers() {
  FWmp.Resume();
  FOgg.Resume();
  FCdda.Resume();
  FMidi.Resume();
}

}  // namespace kest
