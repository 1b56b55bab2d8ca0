#include "scene/components/media_object.h"

#include <algorithm>

#include "common/errors.h"
#include "media/items/media_item.h"
#include "media/items/silent_items.h"
#include "scene/components/kest_custom_image.h"
#include "scene/kest_base_list.h"
#include "scene/scene_media.h"

namespace kest {

namespace {

constexpr int32_t kSilent = -10000;
// The name a fading object takes: the 0x01 keeps scripts from naming it.
constexpr std::string_view kScrapPrefix = "\x01SCRAP_";
// A sound at least this long (ms) comes back from a saved game as it was; a
// shorter one that was playing is over by then.
constexpr int32_t kResumedLength = 3000;

bool IsMidi(const TDMediaItem& item) { return dynamic_cast<const TMidiItem*>(&item) != nullptr; }

}  // namespace

template <class Base>
TMediaObject<Base>::~TMediaObject() {
  ReleaseItem();
}

template <class Base>
typename TMediaObject<Base>::TLoaded TMediaObject<Base>::Recorded(uint8_t state) const {
  TLoaded record;
  record.Source = FSource;
  record.Paused = FPaused;
  record.AniPaused = FAniPaused;
  record.Ended = FEnded;
  record.FadeTime = FFadeTime;
  record.Position = ItemPosition();
  record.State = state;
  return record;
}

template <class Base>
void TMediaObject<Base>::TakeLoaded(TLoaded loaded, int32_t balance) {
  SetBalance(balance);
  loaded.State = CheckedPlayState(loaded.State);
  ApplyLoaded(loaded);
}

template <class Base>
void TMediaObject<Base>::Created() {
  SetPlayState(std::get<int32_t>(GetProp(PR_DELAY)) > 0 ? kPlayStateFadingIn : kPlayStatePlaying);
}

template <class Base>
int32_t TMediaObject<Base>::ItemVolume(int32_t volume, bool midi) {
  // MIDI is clamped too: above 1000 the controller would get a value past 127.
  if (midi) return static_cast<int32_t>(std::clamp<int64_t>(int64_t{volume} * 10 - 10000, kSilent, 0));
  const int64_t x = int64_t{volume} * 5 - 5000;
  if (x <= -5000) return kSilent;
  return x > 0 ? 0 : static_cast<int32_t>(x);
}

template <class Base>
int32_t TMediaObject<Base>::ItemVolume() const {
  return ItemVolume(FVolume, FItem && IsMidi(*FItem));
}

template <class Base>
void TMediaObject<Base>::ReleaseItem() {
  FMixer.reset();
  if (!FItem) return;
  ItemClosing();
  TDMediaItem& item = *FItem;
  FItem = nullptr;
  // Without the managers (the player shutting down) they free the item.
  if (ISceneMedia* media = this->Scene().Media()) {
    item.SetVolume(kSilent);
    media->Release(item);
  }
}

template <class Base>
void TMediaObject<Base>::SetPlayState(uint8_t state) {
  FMixer.reset();
  FEnded = false;
  FPlayState = state == kPlayStateFadingIn && FFadeTime <= 0 ? kPlayStatePlaying : state;
  ISceneMedia* media = this->Scene().Media();
  if (FPlayState == kPlayStatePlaying || FPlayState == kPlayStateFadingIn) {
    if (!FItem) {
      const bool cd = FSource.starts_with("CD_");
      if (!cd && !(media && media->Exists(FSource))) {
        if (FAutoScrap) this->Scene().Scrap(*this);
        return;
      }
      FItem = media ? AddItem(*media) : nullptr;
      if (FItem) {
        FItem->SetPan(FBalance);
        if (FStartPosition > 0) FItem->SetPosition(FStartPosition);
        ItemOpened();
      }
    }
  } else if (FPlayState == kPlayStateStopped) {
    if (FItem) {
      ReleaseItem();
      FStartPosition = 0;
      this->Scene().Scrap(*this);
    }
  }
  switch (FPlayState) {
    case kPlayStatePlaying:
      if (!FItem) return;
      FItem->SetRepeat(FRepeat);
      FItem->SetRepeatPos(FRepeatPos);
      FItem->SetVolume(ItemVolume());
      if (Paused())
        FItem->Pause();
      else
        FItem->Play();
      if (FStartPosition > 0) FItem->SetPosition(FStartPosition);
      return;
    case kPlayStateFadingIn:
      if (!FItem) return;
      FItem->SetRepeat(FRepeat);
      FItem->SetRepeatPos(FRepeatPos);
      if (!Paused()) StartFadein();
      return;
    case kPlayStateFadingOut:
      if (!FItem) {
        this->Scene().Scrap(*this);
        return;
      }
      FMixer = std::make_unique<TKestMixerFadeout>(*FItem, FFadeTime);
      FStartPosition = 0;
      // An object loaded while it faded has the temporary name already.
      if (!this->Name().starts_with(kScrapPrefix)) this->SetName(std::string(kScrapPrefix) + this->Name());
      return;
    default: return;
  }
}

template <class Base>
void TMediaObject<Base>::StartFadein() {
  FMixer = std::make_unique<TKestMixerFadein>(*FItem, ItemVolume(), FFadeTime);
}

template <class Base>
bool TMediaObject<Base>::ReplayResumes(TDMediaItem& item) {
  return !item.IsPlaying();
}

template <class Base>
void TMediaObject<Base>::Replay() {
  FStartPosition = 0;
  FPaused = false;
  FEnded = false;
  SetPlayState(kPlayStateFadingIn);
  if (!FItem) return;
  FMixer.reset();
  // An animation pause outlasts the restart: the fade waits for its end.
  if (Paused()) {
    FItem->SetPosition(0);
    ApplyPause();
    return;
  }
  if (FFadeTime > 0) {
    FItem->Pause();
    FItem->SetVolume(kSilent);
    FItem->SetPosition(0);
    StartFadein();
    return;
  }
  FItem->SetVolume(ItemVolume());
  FItem->SetPosition(0);
  if (ReplayResumes(*FItem)) FItem->Play();
}

template <class Base>
bool TMediaObject<Base>::Update() {
  if (FItem && FItem->IsEnd()) {
    if (FRepeat) {
      FItem->SetPosition(0);
    } else {
      FEnded = true;
      if (FAutoScrap) return true;
      this->Scene().PostEvent(*this, FOnPlayEnd, TArrayString(), PR_ONPLAYEND);
    }
  }
  if (FMixer && FMixer->Step(this->Clock().GameTime)) {
    const bool faded_out = FMixer->FadesOut();
    FMixer.reset();
    if (faded_out) return true;
  }
  return false;
}

template <class Base>
void TMediaObject<Base>::SetSource(const std::string& source) {
  if (source == FSource) return;
  FSource = source;
  ReleaseItem();
  FPlayState = kPlayStateStopped;
  FPaused = false;
  FStartPosition = 0;
  FEnded = false;
}

template <class Base>
void TMediaObject<Base>::ApplyPause() {
  if (!FItem) return;
  if (Paused()) {
    FItem->Pause();
    FItem->SetVolume(kSilent);
  } else if (FPlayState == kPlayStateFadingIn) {
    StartFadein();
  } else {
    FItem->SetVolume(ItemVolume());
    FItem->Play();
  }
}

template <class Base>
void TMediaObject<Base>::SetPausedFlag(bool& flag, bool value) {
  // Written again unchanged, a pause would start a fade-in over or replay
  // a sound that has ended.
  if (flag == value) return;
  flag = value;
  ApplyPause();
}

template <class Base>
void TMediaObject<Base>::SetBalance(int32_t balance) {
  FBalance = std::clamp(balance, -10000, 10000);
  if (FItem) FItem->SetPan(FBalance);
}

template <class Base>
int32_t TMediaObject<Base>::ItemPosition() const {
  return FItem ? FItem->GetPosition() : 0;
}

template <class Base>
int32_t TMediaObject<Base>::PassingLength() const {
  // The length of an object not yet started is read from a passing item.
  ISceneMedia* media = this->Scene().Media();
  if (!media || !media->Exists(FSource)) return 0;
  TDMediaItem* item = const_cast<TMediaObject*>(this)->AddItem(*media);
  if (!item) return 0;
  const int32_t length = item->GetLength();
  media->Release(*item);
  return length;
}

template <class Base>
TPropValue TMediaObject<Base>::GetProp(int32_t id) const {
  switch (id) {
    case PR_SOURCE: return FSource;
    case PR_REPEAT: return FRepeat;
    case PR_PAUSED: return FPaused;
    case PR_VOLUME: return FVolume;
    case PR_BALANCE: return FBalance;
    case PR_DELAY: return FFadeTime;
    case PR_AUTOSCRAP: return FAutoScrap;
    case PR_ONPLAYEND: return FOnPlayEnd;
    case PR_REWINDONLOAD: return FRewindOnLoad;
    case PR_MUTEONLOAD: return FMuteOnLoad;
    case PR_PLAYING: return FItem != nullptr && FItem->IsPlaying();
    case PR_INDEX: return ItemPosition();
    case PR_COUNT: return FItem ? FItem->GetLength() : PassingLength();
    default: return Base::GetProp(id);
  }
}

template <class Base>
void TMediaObject<Base>::SetProp(int32_t id, TPropValue value) {
  switch (id) {
    case PR_SOURCE: return SetSource(std::get<std::string>(value));
    case PR_PAUSED: return SetPausedFlag(FPaused, std::get<bool>(value));
    case PR_VOLUME:
      FVolume = std::get<int32_t>(value);
      if (FItem) FItem->SetVolume(ItemVolume());
      return;
    case PR_BALANCE: return SetBalance(std::get<int32_t>(value));
    case PR_REPEAT:
      FRepeat = std::get<bool>(value);
      if (!FItem) return;
      FItem->SetRepeat(FRepeat);
      // An item that ended before it was told to repeat starts over.
      if (FRepeat && !Paused() && FItem->GetPosition() >= FItem->GetLength()) FItem->SetPosition(0);
      return;
    case PR_INDEX:
      FStartPosition = std::get<int32_t>(value);
      if (!FItem) return;
      FItem->SetPosition(FStartPosition);
      FEnded = false;
      if (!Paused()) FItem->Play();
      return;
    case PR_DELAY: FFadeTime = std::get<int32_t>(value); return;
    case PR_AUTOSCRAP: FAutoScrap = std::get<bool>(value); return;
    case PR_ONPLAYEND: FOnPlayEnd = std::get<std::string>(value); return;
    case PR_REWINDONLOAD: FRewindOnLoad = std::get<bool>(value); return;
    case PR_MUTEONLOAD: FMuteOnLoad = std::get<bool>(value); return;
    case PR_PLAYING:
    case PR_COUNT: return;
    default: Base::SetProp(id, std::move(value));
  }
}

template <class Base>
uint8_t TMediaObject<Base>::StoredPlayState() const {
  const bool resumes = FRepeat || (FItem && FItem->GetLength() >= kResumedLength) || FPlayState != kPlayStatePlaying;
  return resumes ? FPlayState : kPlayStateStopped;
}

template <class Base>
uint8_t TMediaObject<Base>::CheckedPlayState(uint8_t state) {
  if (state > kPlayStateFadingOut) throw EReadError("media: bad play state " + std::to_string(state));
  return state;
}

template <class Base>
void TMediaObject<Base>::ApplyLoaded(const TLoaded& loaded) {
  if (FMuteOnLoad) FVolume = 0;
  SetSource(loaded.Source);
  FStartPosition = FRewindOnLoad ? 0 : loaded.Position;
  FPaused = loaded.Paused;
  FAniPaused = loaded.AniPaused;
  FEnded = loaded.Ended;
  // A fade-out goes on from the object playing as it was.
  if (loaded.State == kPlayStateFadingOut) SetPlayState(kPlayStatePlaying);
  FFadeTime = loaded.FadeTime;
  if (loaded.Ended)
    FPlayState = loaded.State;
  else
    SetPlayState(loaded.State);
  if (Paused()) ApplyPause();
}

template class TMediaObject<TKestComponent>;
template class TMediaObject<TKestCustomImage>;

}  // namespace kest
