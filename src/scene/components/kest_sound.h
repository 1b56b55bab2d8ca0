#pragma once
// A sound or piece of music. It plays one media item, taken from the scene's
// media managers when it starts and given back when it stops; volume changes
// can fade over its fade time. A sound that fades out takes a temporary name
// at once, so that a new sound of its name can start while it fades.

#include <memory>
#include <string>

#include "scene/components/kest_mixer.h"
#include "scene/components/media_player.h"
#include "scene/kest_object.h"

namespace kest {

class TDMediaItem;

class TKestSound : public TKestComponent, public IMediaPlayer {
 public:
  using TKestComponent::TKestComponent;
  ~TKestSound() override;
  TComponentKind Kind() const override { return LT_SOUND; }

  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  // "Source", the flags, volume and balance, fade time, position, play state
  // and play-end reference, then the load flags and the repeat position.
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;
  bool Update() override;

  uint8_t PlayState() const override { return FPlayState; }
  void SetPlayState(uint8_t state) override;
  void Replay() override;

  // The attenuation (hundredths of a dB) an item gets for a volume of
  // 0..1000. MIDI spans the whole range; others the upper half, where a
  // change is heard.
  static int32_t ItemVolume(int32_t volume, bool midi);
  TDMediaItem* Item() const { return FItem; }

 private:
  int32_t ItemVolume() const;
  bool Paused() const { return FPaused || FAniPaused; }
  void SetSource(const std::string& source);
  void SetPausedFlag(bool& flag, bool value);
  void ApplyPause();
  void StartFadein();
  void ReleaseItem();

  std::string FSource;
  uint8_t FPlayState = kPlayStateStopped;
  TDMediaItem* FItem = nullptr;
  // Drives FItem: it goes before the item does.
  std::unique_ptr<TKestMixer> FMixer;
  bool FRepeat = false;
  int32_t FRepeatPos = 0;
  bool FPaused = false;
  bool FAniPaused = false;
  int32_t FVolume = 0;
  int32_t FBalance = 0;
  int32_t FFadeTime = 0;
  int32_t FStartPosition = 0;
  bool FAutoScrap = false;
  std::string FOnPlayEnd;
  bool FEnded = false;
  bool FRewindOnLoad = false;
  bool FMuteOnLoad = false;
};

}  // namespace kest
