#include "scene/components/kest_sound.h"

#include "common/save_versions.h"
#include "common/stream.h"
#include "media/items/media_item.h"
#include "scene/scene_media.h"

namespace kest {

TDMediaItem* TKestSound::AddItem(ISceneMedia& media) { return media.AddSound(Source()); }

TPropValue TKestSound::GetProp(int32_t id) const {
  switch (id) {
    case PR_REPEATPOS: return FRepeatPos;
    case PR_ANIPAUSED: return FAniPaused;
    default: return TMediaObject::GetProp(id);
  }
}

void TKestSound::SetProp(int32_t id, TPropValue value) {
  switch (id) {
    case PR_ANIPAUSED: return SetPausedFlag(FAniPaused, std::get<bool>(value));
    case PR_REPEATPOS:
      FRepeatPos = std::get<int32_t>(value);
      if (Item()) Item()->SetRepeatPos(FRepeatPos);
      return;
    default: TMediaObject::SetProp(id, std::move(value));
  }
}

void TKestSound::Serialise(TStateIo& io) {
  TLoaded record = Recorded(StoredPlayState());
  int32_t balance = FBalance;
  io.Str(record.Source);
  io.Flag(FRepeat);
  io.Flag(FAutoScrap);
  io.Flag(record.Paused);
  io.Flag(record.AniPaused);
  io.Flag(record.Ended);
  io.Int(FVolume);
  io.Int(balance);
  io.Int(record.FadeTime);
  io.Int(record.Position);
  io.Byte(record.State);
  io.Str(FOnPlayEnd);
  if (io.Since(kSaveSinceRewindOnLoad)) io.Flag(FRewindOnLoad);
  if (io.Since(kSaveSinceMuteOnLoad)) io.Flag(FMuteOnLoad);
  if (io.Since(kSaveSinceRepeatPos)) io.Int(FRepeatPos);
  if (io.Reading()) TakeLoaded(std::move(record), balance);
}

void TKestSound::SaveState(TStream& stream) const {
  TKestComponent::SaveState(stream);
  // Writing reads the fields and changes none of them.
  TStateIo io = TStateIo::Writer(stream);
  const_cast<TKestSound*>(this)->Serialise(io);
}

void TKestSound::LoadState(TStream& stream, int32_t version) {
  TKestComponent::LoadState(stream, version);
  TStateIo io = TStateIo::Reader(stream, version);
  Serialise(io);
}

}  // namespace kest
