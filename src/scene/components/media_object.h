#pragma once
// What sounds and movies share: one media item, taken from the scene's media
// managers when the object starts and given back when it stops; the play
// states; volume fades over the fade time; pausing; the end of the item; and
// the order in which a saved state is applied again. An object that fades
// out takes a temporary name at once, so that a new one of its name can
// start while it fades. `Base` is the scene class the kind derives from.

#include <memory>
#include <string>

#include "common/state_io.h"
#include "scene/components/kest_mixer.h"
#include "scene/components/media_player.h"
#include "scene/kest_object.h"

namespace kest {

class ISceneMedia;
class TDMediaItem;

template <class Base>
class TMediaObject : public Base, public IMediaPlayer {
 public:
  using Base::Base;
  ~TMediaObject() override;

  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  bool Update() override;
  // A new sound or movie starts once it has its properties, fading in when
  // it was given a fade time.
  void Created() override;

  uint8_t PlayState() const override { return FPlayState; }
  void SetPlayState(uint8_t state) override;
  void Replay() override;

  // The attenuation (hundredths of a dB) an item gets for a volume of
  // 0..1000. MIDI spans the whole range; others the upper half, where a
  // change is heard.
  static int32_t ItemVolume(int32_t volume, bool midi);
  TDMediaItem* Item() const { return FItem; }

 protected:
  // The item of the source from the kind's manager; null when none plays it.
  virtual TDMediaItem* AddItem(ISceneMedia& media) = 0;
  // The item came or is about to go.
  virtual void ItemOpened() {}
  virtual void ItemClosing() {}
  // Whether a restart without a fade has to start the item again.
  virtual bool ReplayResumes(TDMediaItem& item);

  // What the state records of both kinds hold.
  struct TLoaded {
    std::string Source;
    bool Paused = false;
    bool AniPaused = false;
    bool Ended = false;
    int32_t FadeTime = 0;
    int32_t Position = 0;
    uint8_t State = kPlayStateStopped;
  };
  // Applies a loaded state: the source, the position (or the start with
  // rewind on load), the pauses, and the play state.
  void ApplyLoaded(const TLoaded& loaded);
  // The record's shared fields as they stand, with the play state to keep.
  TLoaded Recorded(uint8_t state) const;
  // A record read: its balance, then the rest of it applied.
  void TakeLoaded(TLoaded loaded, int32_t balance);
  // The play state a record keeps: a short sound that is playing is over by
  // the time a saved game comes back, and is kept as stopped.
  uint8_t StoredPlayState() const;
  static uint8_t CheckedPlayState(uint8_t state);
  int32_t ItemPosition() const;
  void SetBalance(int32_t balance);

  const std::string& Source() const { return FSource; }
  bool Paused() const { return FPaused || FAniPaused; }
  void SetPausedFlag(bool& flag, bool value);
  void SetSource(const std::string& source);

  bool FRepeat = false;
  int32_t FRepeatPos = 0;
  bool FPaused = false;
  bool FAniPaused = false;
  int32_t FVolume = 0;
  int32_t FBalance = 0;
  int32_t FFadeTime = 0;
  bool FAutoScrap = false;
  std::string FOnPlayEnd;
  bool FEnded = false;
  bool FRewindOnLoad = false;
  bool FMuteOnLoad = false;

 private:
  int32_t ItemVolume() const;
  void ApplyPause();
  void StartFadein();
  void ReleaseItem();
  int32_t PassingLength() const;

  std::string FSource;
  uint8_t FPlayState = kPlayStateStopped;
  TDMediaItem* FItem = nullptr;
  // Drives FItem: it goes before the item does.
  std::unique_ptr<TKestMixer> FMixer;
  int32_t FStartPosition = 0;
};

}  // namespace kest
