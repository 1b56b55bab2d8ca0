#include "scene/components/kest_sound.h"

#include <algorithm>

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/stream.h"
#include "media/items/media_item.h"
#include "media/items/silent_items.h"
#include "scene/kest_base_list.h"
#include "scene/scene_media.h"

namespace kest {

namespace {

constexpr int32_t kSilent = -10000;
// The name a fading sound takes: the 0x01 keeps scripts from naming it.
constexpr std::string_view kScrapPrefix = "\x01SCRAP_";
// A sound at least this long (ms) comes back from a saved game as it was; a
// shorter one that was playing is over by then.
constexpr int32_t kResumedLength = 3000;

bool IsMidi(const TDMediaItem& item) { return dynamic_cast<const TMidiItem*>(&item) != nullptr; }

}  // namespace

TKestSound::~TKestSound() { ReleaseItem(); }

int32_t TKestSound::ItemVolume(int32_t volume, bool midi) {
  // MIDI is clamped too: above 1000 the controller would get a value past 127.
  if (midi) return static_cast<int32_t>(std::clamp<int64_t>(int64_t{volume} * 10 - 10000, kSilent, 0));
  const int64_t x = int64_t{volume} * 5 - 5000;
  if (x <= -5000) return kSilent;
  return x > 0 ? 0 : static_cast<int32_t>(x);
}

int32_t TKestSound::ItemVolume() const { return ItemVolume(FVolume, FItem && IsMidi(*FItem)); }

void TKestSound::ReleaseItem() {
  FMixer.reset();
  if (!FItem) return;
  TDMediaItem& item = *FItem;
  FItem = nullptr;
  // Without the managers (the player shutting down) they free the item.
  if (ISceneMedia* media = Scene().Media()) {
    item.SetVolume(kSilent);
    media->Release(item);
  }
}

void TKestSound::SetPlayState(uint8_t state) {
  FMixer.reset();
  FEnded = false;
  FPlayState = state == kPlayStateFadingIn && FFadeTime <= 0 ? kPlayStatePlaying : state;
  ISceneMedia* media = Scene().Media();
  if (FPlayState == kPlayStatePlaying || FPlayState == kPlayStateFadingIn) {
    if (!FItem) {
      const bool cd = FSource.starts_with("CD_");
      if (!cd && !(media && media->Exists(FSource))) {
        if (FAutoScrap) Scene().Scrap(*this);
        return;
      }
      FItem = media ? media->AddSound(FSource) : nullptr;
      if (FItem) {
        FItem->SetPan(FBalance);
        if (FStartPosition > 0) FItem->SetPosition(FStartPosition);
      }
    }
  } else if (FPlayState == kPlayStateStopped) {
    if (FItem) {
      ReleaseItem();
      FStartPosition = 0;
      Scene().Scrap(*this);
    }
  }
  switch (FPlayState) {
    case kPlayStatePlaying:
      if (!FItem) return;
      FItem->SetRepeat(FRepeat);
      FItem->SetRepeatPos(FRepeatPos);
      FItem->SetVolume(ItemVolume());
      if (FPaused)
        FItem->Pause();
      else
        FItem->Play();
      if (FStartPosition > 0) FItem->SetPosition(FStartPosition);
      return;
    case kPlayStateFadingIn:
      if (!FItem) return;
      FItem->SetRepeat(FRepeat);
      FItem->SetRepeatPos(FRepeatPos);
      if (!FPaused) StartFadein();
      return;
    case kPlayStateFadingOut:
      if (!FItem) {
        Scene().Scrap(*this);
        return;
      }
      FMixer = std::make_unique<TKestMixerFadeout>(*FItem, FFadeTime);
      FStartPosition = 0;
      // A sound loaded while it faded has the temporary name already.
      if (!Name().starts_with(kScrapPrefix)) SetName(std::string(kScrapPrefix) + Name());
      return;
    default: return;
  }
}

void TKestSound::StartFadein() { FMixer = std::make_unique<TKestMixerFadein>(*FItem, ItemVolume(), FFadeTime); }

void TKestSound::Replay() {
  FStartPosition = 0;
  FPaused = false;
  FEnded = false;
  SetPlayState(kPlayStateFadingIn);
  if (!FItem) return;
  FMixer.reset();
  if (FFadeTime > 0) {
    FItem->Pause();
    FItem->SetVolume(kSilent);
    FItem->SetPosition(0);
    StartFadein();
    return;
  }
  FItem->SetVolume(ItemVolume());
  FItem->SetPosition(0);
  if (!FItem->IsPlaying()) FItem->Play();
}

bool TKestSound::Update() {
  if (FItem && FItem->IsEnd()) {
    if (FRepeat) {
      FItem->SetPosition(0);
    } else {
      FEnded = true;
      if (FAutoScrap) return true;
      Scene().PostEvent(*this, FOnPlayEnd, TArrayString(), PR_ONPLAYEND);
    }
  }
  if (FMixer && FMixer->Step()) {
    const bool faded_out = FMixer->FadesOut();
    FMixer.reset();
    if (faded_out) return true;
  }
  return false;
}

void TKestSound::SetSource(const std::string& source) {
  if (source == FSource) return;
  FSource = source;
  ReleaseItem();
  FPlayState = kPlayStateStopped;
  FPaused = false;
  FStartPosition = 0;
  FEnded = false;
}

void TKestSound::ApplyPause() {
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

void TKestSound::SetPausedFlag(bool& flag, bool value) {
  flag = value;
  ApplyPause();
}

TPropValue TKestSound::GetProp(int32_t id) const {
  switch (id) {
    case PR_SOURCE: return FSource;
    case PR_REPEAT: return FRepeat;
    case PR_REPEATPOS: return FRepeatPos;
    case PR_PAUSED: return FPaused;
    case PR_ANIPAUSED: return FAniPaused;
    case PR_VOLUME: return FVolume;
    case PR_BALANCE: return FBalance;
    case PR_DELAY: return FFadeTime;
    case PR_AUTOSCRAP: return FAutoScrap;
    case PR_ONPLAYEND: return FOnPlayEnd;
    case PR_REWINDONLOAD: return FRewindOnLoad;
    case PR_MUTEONLOAD: return FMuteOnLoad;
    case PR_PLAYING: return FItem != nullptr && FItem->IsPlaying();
    case PR_INDEX: return FItem ? FItem->GetPosition() : 0;
    case PR_COUNT: {
      if (FItem) return FItem->GetLength();
      // The length of a sound not yet started is read from a passing item.
      ISceneMedia* media = Scene().Media();
      if (!media || !media->Exists(FSource)) return 0;
      TDMediaItem* item = media->AddSound(FSource);
      if (!item) return 0;
      const int32_t length = item->GetLength();
      media->Release(*item);
      return length;
    }
    default: return TKestComponent::GetProp(id);
  }
}

void TKestSound::SetProp(int32_t id, TPropValue value) {
  switch (id) {
    case PR_SOURCE: return SetSource(std::get<std::string>(value));
    case PR_PAUSED: return SetPausedFlag(FPaused, std::get<bool>(value));
    case PR_ANIPAUSED: return SetPausedFlag(FAniPaused, std::get<bool>(value));
    case PR_VOLUME:
      FVolume = std::get<int32_t>(value);
      if (FItem) FItem->SetVolume(ItemVolume());
      return;
    case PR_BALANCE:
      FBalance = std::clamp(std::get<int32_t>(value), -10000, 10000);
      if (FItem) FItem->SetPan(FBalance);
      return;
    case PR_REPEATPOS:
      FRepeatPos = std::get<int32_t>(value);
      if (FItem) FItem->SetRepeatPos(FRepeatPos);
      return;
    case PR_REPEAT:
      FRepeat = std::get<bool>(value);
      if (!FItem) return;
      FItem->SetRepeat(FRepeat);
      // A sound that ended before it was told to repeat starts over.
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
    default: TKestComponent::SetProp(id, std::move(value));
  }
}

void TKestSound::SaveState(TStream& stream) const {
  TKestComponent::SaveState(stream);
  WriteStr(stream, FSource);
  WriteFlag(stream, FRepeat);
  WriteFlag(stream, FAutoScrap);
  WriteFlag(stream, FPaused);
  WriteFlag(stream, FAniPaused);
  WriteFlag(stream, FEnded);
  WriteInt(stream, FVolume);
  WriteInt(stream, FBalance);
  WriteInt(stream, FFadeTime);
  WriteInt(stream, FItem ? FItem->GetPosition() : 0);
  const bool resumes = FRepeat || (FItem && FItem->GetLength() >= kResumedLength) || FPlayState != kPlayStatePlaying;
  WriteByte(stream, resumes ? FPlayState : kPlayStateStopped);
  WriteStr(stream, FOnPlayEnd);
  WriteFlag(stream, FRewindOnLoad);
  WriteFlag(stream, FMuteOnLoad);
  WriteInt(stream, FRepeatPos);
}

void TKestSound::LoadState(TStream& stream, int32_t version) {
  TKestComponent::LoadState(stream, version);
  const std::string source = ReadStr(stream);
  FRepeat = ReadFlag(stream);
  FAutoScrap = ReadFlag(stream);
  const bool paused = ReadFlag(stream);
  const bool ani_paused = ReadFlag(stream);
  const bool ended = ReadFlag(stream);
  FVolume = ReadInt(stream);
  FBalance = std::clamp(ReadInt(stream), -10000, 10000);
  const int32_t fade_time = ReadInt(stream);
  const int32_t position = ReadInt(stream);
  const uint8_t state = ReadByte(stream);
  if (state > kPlayStateFadingOut) throw EReadError("Sound: bad play state " + std::to_string(state));
  FOnPlayEnd = ReadStr(stream);
  if (version >= kSaveSinceRewindOnLoad) FRewindOnLoad = ReadFlag(stream);
  if (version >= kSaveSinceMuteOnLoad) FMuteOnLoad = ReadFlag(stream);
  if (version >= kSaveSinceRepeatPos) FRepeatPos = ReadInt(stream);

  if (FMuteOnLoad) FVolume = 0;
  SetSource(source);
  FStartPosition = FRewindOnLoad ? 0 : position;
  FPaused = paused;
  FAniPaused = ani_paused;
  FEnded = ended;
  // A fade-out goes on from the sound playing as it was.
  if (state == kPlayStateFadingOut) SetPlayState(kPlayStatePlaying);
  FFadeTime = fade_time;
  if (ended)
    FPlayState = state;
  else
    SetPlayState(state);
  if (Paused()) ApplyPause();
}

}  // namespace kest
