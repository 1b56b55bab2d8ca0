#include "shell/media_part.h"

#include "common/errors.h"
#include "media/items/ogg_wave_item.h"
#include "media/items/silent_items.h"

namespace kest {

TMediaPart::TMediaPart(const TKestLib& lib, TVrFileManager* files, const TOptions& options)
    : FLib(lib),
      FOptions(options),
      FFiles(files),
      FVideo(lib, FFiles),
      FWmp(lib, FFiles),
      FOgg(lib, FFiles, options.DirectSound || !options.Bus,
           [this](TMediaManager& manager, std::unique_ptr<TStream> stream, bool isOgg) {
             return MakeWaveItem(manager, std::move(stream), isOgg);
           }) {}

std::unique_ptr<TDMediaItem> TMediaPart::MakeWaveItem(TMediaManager& manager, std::unique_ptr<TStream> stream,
                                                      bool isOgg) {
  std::unique_ptr<TOggStream> source;
  try {
    source = std::make_unique<TOggStream>(FLib, std::move(stream), isOgg);
  } catch (const EKestError&) {
    return std::make_unique<TRefusedItem>(manager);
  }
  if (!FMixer) {
    FMixer = std::make_unique<TWavOut>(*FOptions.Bus, FOptions.DelayTime,
                                       FOptions.Clock ? *FOptions.Clock : static_cast<IClock&>(FSteadyClock));
    FMixer->Start(!FOptions.MixOnTick);
  }
  return std::make_unique<TOggWaveItem>(manager, *FMixer, std::move(source));
}

// Items go before the library is told to finish (kestFinal follows).
TMediaPart::~TMediaPart() {
  FMidi.Clear();
  FCdda.Clear();
  FOgg.Clear();
  FWmp.Clear();
  FVideo.Clear();
  if (FMixer) FMixer->Stop();
}

void TMediaPart::VideoStep() {
  FLib.kestVidmanProcessEvent(nullptr);
  if (FMixer && FOptions.MixOnTick) FMixer->MixPass();
}

void TMediaPart::VideoPause() { FVideo.Suspend(); }

void TMediaPart::SuspendManagers() {
  FWmp.Suspend();
  FOgg.Suspend();
  FCdda.Suspend();
  FMidi.Suspend();
}

void TMediaPart::ResumeManagers() {
  FVideo.Resume();
  FWmp.Resume();
  FOgg.Resume();
  FCdda.Resume();
  FMidi.Resume();
}

}  // namespace kest
