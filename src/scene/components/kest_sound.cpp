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

void TKestSound::SaveState(TStream& stream) const {
  TKestComponent::SaveState(stream);
  WriteStr(stream, Source());
  WriteFlag(stream, FRepeat);
  WriteFlag(stream, FAutoScrap);
  WriteFlag(stream, FPaused);
  WriteFlag(stream, FAniPaused);
  WriteFlag(stream, FEnded);
  WriteInt(stream, FVolume);
  WriteInt(stream, FBalance);
  WriteInt(stream, FFadeTime);
  WriteInt(stream, ItemPosition());
  WriteByte(stream, StoredPlayState());
  WriteStr(stream, FOnPlayEnd);
  WriteFlag(stream, FRewindOnLoad);
  WriteFlag(stream, FMuteOnLoad);
  WriteInt(stream, FRepeatPos);
}

void TKestSound::LoadState(TStream& stream, int32_t version) {
  TKestComponent::LoadState(stream, version);
  TLoaded loaded;
  loaded.Source = ReadStr(stream);
  FRepeat = ReadFlag(stream);
  FAutoScrap = ReadFlag(stream);
  loaded.Paused = ReadFlag(stream);
  loaded.AniPaused = ReadFlag(stream);
  loaded.Ended = ReadFlag(stream);
  FVolume = ReadInt(stream);
  SetBalance(ReadInt(stream));
  loaded.FadeTime = ReadInt(stream);
  loaded.Position = ReadInt(stream);
  loaded.State = CheckedPlayState(ReadByte(stream));
  FOnPlayEnd = ReadStr(stream);
  if (version >= kSaveSinceRewindOnLoad) FRewindOnLoad = ReadFlag(stream);
  if (version >= kSaveSinceMuteOnLoad) FMuteOnLoad = ReadFlag(stream);
  if (version >= kSaveSinceRepeatPos) FRepeatPos = ReadInt(stream);
  ApplyLoaded(loaded);
}

}  // namespace kest
